#include "util/TextEncoding.h"

#include "util/Text.h"

namespace loom {
namespace {

constexpr char16_t kOwnByteBase = 0xF780;  // U+F780..U+F7FF stand for the bytes 0x80..0xFF

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n;
    uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 1, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    for (size_t k = 1; k <= n; ++k) {
      if (i + k >= s.size()) return false;
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += n + 1;
  }
  return true;
}

}  // namespace

DecodeProblem DecodeFileText(std::string_view bytes, FileEncoding& encoding, std::u16string& text) {
  if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe') {
    if (bytes.size() % 2 != 0) return DecodeProblem::kOddLength;
    encoding = FileEncoding::kUtf16Le;
    text = FromUtf16LeBytes(bytes.data(), bytes.size());
    return DecodeProblem::kNone;
  }
  if (bytes.size() >= 2 && bytes[0] == '\xfe' && bytes[1] == '\xff') return DecodeProblem::kUtf16BigEndian;
  if (bytes.find('\0') != std::string_view::npos)
    return bytes.size() >= 2 && bytes[1] == '\0' && bytes[0] != '\0' ? DecodeProblem::kUtf16WithoutMark
                                                                     : DecodeProblem::kNotText;
  if (IsValidUtf8(bytes)) {
    encoding = FileEncoding::kUtf8;
    text = Utf8ToUtf16(bytes);
    return DecodeProblem::kNone;
  }
  encoding = FileEncoding::kEightBit;
  text.clear();
  text.reserve(bytes.size());
  for (char b : bytes) {
    unsigned char c = static_cast<unsigned char>(b);
    text += c < 0x80 ? char16_t(c) : char16_t(kOwnByteBase + (c - 0x80));
  }
  return DecodeProblem::kNone;
}

bool EncodeFileText(FileEncoding encoding, std::u16string_view text, std::string& bytes) {
  switch (encoding) {
    case FileEncoding::kUtf16Le: bytes = ToUtf16LeBytes(text); return true;
    case FileEncoding::kUtf8:
      for (size_t i = 0; i < text.size(); ++i) {  // an unpaired surrogate cannot be written
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
          ++i;
        else if (c >= 0xD800 && c <= 0xDFFF)
          return false;
      }
      bytes = Utf16ToUtf8(text);
      return true;
    case FileEncoding::kEightBit:
      bytes.clear();
      bytes.reserve(text.size());
      for (char16_t c : text) {
        if (c < 0x80)
          bytes += char(c);
        else if (c >= kOwnByteBase && c < kOwnByteBase + 0x80)
          bytes += char(0x80 + (c - kOwnByteBase));
        else
          return false;
      }
      return true;
  }
  return false;
}

}  // namespace loom
