#include "snapshot/RegFile.h"

#include "snapshot/SnapshotFormat.h"
#include "util/Text.h"

namespace loom::snap {
namespace {

constexpr char16_t kHex[] = u"0123456789abcdef";
// A hex line is continued once it reaches this width ("\" makes it 78 at most
// on continuation lines, the usual 80-column layout).
constexpr size_t kHexWidth = 77;

void AppendQuoted(std::u16string& out, std::u16string_view s) {
  out += u'"';
  for (char16_t c : s) {
    switch (c) {
      case u'"': out += u"\\\""; break;
      case u'\\': out += u"\\\\"; break;
      case u'\r': out += u"\\r"; break;
      case u'\n': out += u"\\n"; break;
      default: out += c;
    }
  }
  out += u'"';
}

// REG_SZ data that "..." holds exactly: even length, one final NUL, no other
// NUL and no line break.
bool QuotableString(const std::string& data, std::u16string& text) {
  if (data.size() < 2 || data.size() % 2) return false;
  text = FromUtf16LeBytes(data.data(), data.size());
  if (text.back() != 0) return false;
  text.pop_back();
  return text.find_first_of(std::u16string_view(u"\0\r\n", 3)) == std::u16string::npos;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Blanks at both ends and carriage returns at the end.
std::u16string_view TrimBlanks(std::u16string_view s) { return TrimView(s, kBlanks, u" \t\r"); }

// A quoted text at s[0] ("..." with \\ \" \r \n escapes); the rest after it.
bool ReadQuoted(std::u16string_view& s, std::u16string& out) {
  if (s.empty() || s[0] != u'"') return false;
  for (size_t i = 1; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c == u'"') {
      s.remove_prefix(i + 1);
      return true;
    }
    if (c == u'\\' && i + 1 < s.size()) {
      c = s[++i];
      if (c == u'r') c = u'\r';
      if (c == u'n') c = u'\n';
    }
    out += c;
  }
  return false;
}

// "xx,xx,..." (blanks allowed around the digits).
bool ReadHexBytes(std::u16string_view s, std::string& out) {
  s = TrimBlanks(s);
  for (size_t i = 0; i < s.size();) {
    while (i < s.size() && s[i] == u' ') ++i;
    if (i + 2 > s.size()) return false;
    int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out += char(hi * 16 + lo);
    i += 2;
    while (i < s.size() && s[i] == u' ') ++i;
    if (i == s.size()) break;
    if (s[i++] != u',') return false;
  }
  return true;
}

}  // namespace

std::u16string RegValueLines(std::u16string_view name, uint32_t type, const std::string& data) {
  std::u16string out;
  if (name.empty())
    out += u'@';
  else
    AppendQuoted(out, name);
  out += u'=';
  std::u16string text;
  if (type == kRegSz && QuotableString(data, text)) {
    AppendQuoted(out, text);
    return out;
  }
  if (type == kRegDword && data.size() == 4) {
    out += u"dword:";
    for (int i = 3; i >= 0; --i) {
      out += kHex[uint8_t(data[size_t(i)]) >> 4];
      out += kHex[uint8_t(data[size_t(i)]) & 15];
    }
    return out;
  }
  if (type == kRegBinary) {
    out += u"hex:";
  } else {
    out += u"hex(";
    std::u16string digits;
    uint32_t t = type;
    do {
      digits.insert(digits.begin(), kHex[t & 15]);
      t >>= 4;
    } while (t);
    out += digits + u"):";
  }
  size_t width = out.size();
  for (size_t i = 0; i < data.size(); ++i) {
    out += kHex[uint8_t(data[i]) >> 4];
    out += kHex[uint8_t(data[i]) & 15];
    if (i + 1 == data.size()) break;
    out += u',';
    width += 3;
    if (width >= kHexWidth) {
      out += u"\\\r\n  ";
      width = 2;
    }
  }
  return out;
}

std::u16string RegFileText(const std::vector<RegRecord>& records) {
  std::u16string t = kRegFileHeader;
  t += u"\r\n";
  const std::u16string* open = nullptr;  // the key whose block is open
  for (const RegRecord& r : records) {
    bool sameKey = open && EqualsNoCaseUnicode(*open, r.key);
    if (r.kind == RegRecord::kKey || r.kind == RegRecord::kDeletedKey || !sameKey) {
      t += r.kind == RegRecord::kDeletedKey ? u"\r\n[-" : u"\r\n[";
      t += r.key + u"]\r\n";
      open = r.kind == RegRecord::kDeletedKey ? nullptr : &r.key;
    }
    if (r.kind == RegRecord::kValue) {
      t += RegValueLines(r.name, r.type, r.data) + u"\r\n";
    } else if (r.kind == RegRecord::kDeletedValue) {
      if (r.name.empty())
        t += u'@';
      else
        AppendQuoted(t, r.name);
      t += u"=-\r\n";
    }
  }
  t += u"\r\n";
  return t;
}

bool ParseRegFile(std::u16string_view text, std::vector<RegRecord>& records, size_t* badLine) {
  if (!text.empty() && text[0] == 0xFEFF) text.remove_prefix(1);
  std::u16string key;
  bool haveKey = false, header = false;
  size_t pos = 0, lineNo = 0;
  auto fail = [&] {
    if (badLine) *badLine = lineNo;
    return false;
  };
  while (pos < text.size()) {
    size_t e = text.find(u'\n', pos);
    if (e == std::u16string_view::npos) e = text.size();
    std::u16string_view line = TrimBlanks(text.substr(pos, e - pos));
    pos = e + 1;
    ++lineNo;
    if (!header) {
      if (line != kRegFileHeader) return fail();
      header = true;
      continue;
    }
    if (line.empty() || line[0] == u';') continue;
    if (line[0] == u'[') {
      if (line.back() != u']' || line.size() < 3) return fail();
      bool deleted = line[1] == u'-';
      key = std::u16string(line.substr(deleted ? 2 : 1, line.size() - (deleted ? 3 : 2)));
      haveKey = !deleted;
      records.push_back({deleted ? RegRecord::kDeletedKey : RegRecord::kKey, key, {}, 0, {}});
      continue;
    }
    if (!haveKey) return fail();
    RegRecord r{RegRecord::kValue, key, {}, 0, {}};
    std::u16string_view rest = line;
    if (rest[0] == u'@') {
      rest.remove_prefix(1);
    } else if (!ReadQuoted(rest, r.name)) {
      return fail();
    }
    rest = TrimBlanks(rest);
    if (rest.empty() || rest[0] != u'=') return fail();
    rest = TrimBlanks(rest.substr(1));
    if (rest == u"-") {
      r.kind = RegRecord::kDeletedValue;
    } else if (!rest.empty() && rest[0] == u'"') {
      std::u16string s;
      if (!ReadQuoted(rest, s) || !TrimBlanks(rest).empty()) return fail();
      r.type = kRegSz;
      r.data = ToUtf16LeBytes(s) + std::string(2, '\0');
    } else if (rest.substr(0, 6) == u"dword:") {
      rest.remove_prefix(6);
      if (rest.size() != 8) return fail();
      uint32_t v = 0;
      for (char16_t c : rest) {
        if (HexDigit(c) < 0) return fail();
        v = v * 16 + uint32_t(HexDigit(c));
      }
      r.type = kRegDword;
      for (int i = 0; i < 4; ++i) r.data += char((v >> (8 * i)) & 0xFF);
    } else if (rest.substr(0, 3) == u"hex") {
      rest.remove_prefix(3);
      r.type = kRegBinary;
      if (!rest.empty() && rest[0] == u'(') {
        size_t close = rest.find(u')');
        if (close == std::u16string_view::npos || close == 1 || close > 9) return fail();
        r.type = 0;
        for (char16_t c : rest.substr(1, close - 1)) {
          if (HexDigit(c) < 0) return fail();
          r.type = r.type * 16 + uint32_t(HexDigit(c));
        }
        rest.remove_prefix(close + 1);
      }
      if (rest.empty() || rest[0] != u':') return fail();
      rest.remove_prefix(1);
      // Continuation lines: a line that ends with "\" goes on in the next.
      std::u16string joined(TrimBlanks(rest));
      while (!joined.empty() && joined.back() == u'\\') {
        joined.pop_back();
        if (pos >= text.size()) return fail();
        e = text.find(u'\n', pos);
        if (e == std::u16string_view::npos) e = text.size();
        joined += TrimBlanks(text.substr(pos, e - pos));
        pos = e + 1;
        ++lineNo;
      }
      if (!ReadHexBytes(joined, r.data)) return fail();
    } else {
      return fail();
    }
    records.push_back(std::move(r));
  }
  if (!header) return fail();
  return true;
}

std::string RewriteRegistryStrings(uint32_t type, const std::string& data,
                                   const std::function<std::u16string(std::u16string_view)>& rewrite) {
  if ((type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) || data.size() % 2 || !rewrite) return data;
  std::u16string units = FromUtf16LeBytes(data.data(), data.size()), out;
  out.reserve(units.size() + 16);
  size_t i = 0;
  for (;;) {
    size_t nul = units.find(u'\0', i);
    size_t end = nul == std::u16string::npos ? units.size() : nul;
    if (end > i) out += rewrite(std::u16string_view(units).substr(i, end - i));
    if (nul == std::u16string::npos) break;
    out += u'\0';
    i = nul + 1;
  }
  return ToUtf16LeBytes(out);
}

}  // namespace loom::snap
