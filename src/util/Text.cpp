#include "util/Text.h"

#include <utility>

#include <algorithm>
#include <iterator>

namespace loom {
namespace {

struct UpcaseRun {
  char16_t first, last;
  uint16_t stride;
  int32_t delta;
};

constexpr UpcaseRun kUpcaseRuns[] = {
#include "util/UpcaseTable.inc"
};

}  // namespace

char16_t UpcaseUnit(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
  auto it = std::upper_bound(std::begin(kUpcaseRuns), std::end(kUpcaseRuns), c,
                             [](char16_t v, const UpcaseRun& r) { return v < r.first; });
  if (it == std::begin(kUpcaseRuns)) return c;
  const UpcaseRun& r = *--it;
  if (c > r.last || (c - r.first) % r.stride != 0) return c;
  return char16_t(int32_t(c) + r.delta);
}

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

bool EqualsNoCaseUnicode(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && UpcaseUnit(a[i]) != UpcaseUnit(b[i])) return false;
  return true;
}

bool EqualsNoCaseAscii(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  auto cont = [&](size_t k) { return k < s.size() && (uint8_t(s[k]) & 0xC0) == 0x80; };
  while (i < s.size()) {
    uint8_t b = uint8_t(s[i]);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (b < 0x80) {
      cp = b;
    } else if (b >= 0xC2 && b < 0xE0 && cont(i + 1)) {
      cp = ((b & 0x1Fu) << 6) | (uint8_t(s[i + 1]) & 0x3Fu);
      len = 2;
    } else if (b >= 0xE0 && b < 0xF0 && cont(i + 1) && cont(i + 2)) {
      uint32_t v = ((b & 0x0Fu) << 12) | ((uint8_t(s[i + 1]) & 0x3Fu) << 6) | (uint8_t(s[i + 2]) & 0x3Fu);
      if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) {
        cp = v;
        len = 3;
      }
    } else if (b >= 0xF0 && b < 0xF5 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      uint32_t v = ((b & 0x07u) << 18) | ((uint8_t(s[i + 1]) & 0x3Fu) << 12) | ((uint8_t(s[i + 2]) & 0x3Fu) << 6) |
                   (uint8_t(s[i + 3]) & 0x3Fu);
      if (v >= 0x10000 && v <= 0x10FFFF) {
        cp = v;
        len = 4;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(char(cp));
    } else if (cp < 0x800) {
      out.push_back(char(0xC0 | (cp >> 6)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(char(0xE0 | (cp >> 12)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (cp >> 18)));
      out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string FromUtf16LeBytes(const void* bytes, size_t byteCount) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  std::u16string out(byteCount / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) out[i] = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
  return out;
}

std::string ToUtf16LeBytes(std::u16string_view s) {
  std::string out(s.size() * 2, '\0');
  for (size_t i = 0; i < s.size(); ++i) {
    out[2 * i] = char(s[i] & 0xFF);
    out[2 * i + 1] = char(s[i] >> 8);
  }
  return out;
}

std::u16string_view TrimView(std::u16string_view s, std::u16string_view chars) { return TrimView(s, chars, chars); }

std::u16string_view TrimView(std::u16string_view s, std::u16string_view front, std::u16string_view back) {
  while (!s.empty() && front.find(s.front()) != std::u16string_view::npos) s.remove_prefix(1);
  while (!s.empty() && back.find(s.back()) != std::u16string_view::npos) s.remove_suffix(1);
  return s;
}

void ReplaceAll(std::u16string& text, std::u16string_view what, std::u16string_view with) {
  if (what.empty()) return;
  std::u16string out;
  size_t from = 0;
  for (size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, from)) {
    out.append(text, from, at - from);
    out.append(with);
    from = at + what.size();
  }
  if (from == 0) return;
  out.append(text, from, std::u16string::npos);
  text = std::move(out);
}

std::u16string Quoted(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 2);
  out += u'"';
  out += text;
  out += u'"';
  return out;
}

std::u16string DecimalText(long long n) {
  std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

std::u16string& Utf16LeUnits::Convert(const void* bytes, size_t count) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  units_.resize((count + (hasOddByte_ ? 1 : 0)) / 2);
  size_t out = 0;
  if (hasOddByte_ && count > 0) {
    units_[out++] = char16_t(oddByte_ | (p[0] << 8));
    ++p;
    --count;
    hasOddByte_ = false;
  }
  for (size_t i = 0; i + 1 < count; i += 2) units_[out++] = char16_t(p[i] | (p[i + 1] << 8));
  if (count % 2 != 0) {
    hasOddByte_ = true;
    oddByte_ = p[count - 1];
  }
  return units_;
}

}  // namespace loom
