// Small UTF-16 text helpers shared by the portable core.
// Text is exact UTF-16 (char16_t); nothing here includes <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace loom {

// Simple Unicode upper-case mapping of one UTF-16 code unit (units without a
// one-unit upper-case form, surrogates included, map to themselves).
char16_t UpcaseUnit(char16_t c);

// Case-insensitive equality under UpcaseUnit; lengths must match.
bool EqualsNoCaseUnicode(std::u16string_view a, std::u16string_view b);

// Case-insensitive equality folding only ASCII A-Z; lengths must match.
bool EqualsNoCaseAscii(std::u16string_view a, std::u16string_view b);

char16_t AsciiLower(char16_t c);
inline bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
inline bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }  // of path names
inline bool StartsWith(std::u16string_view s, std::u16string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// UTF-8 <-> UTF-16. Invalid input is replaced by U+FFFD; unpaired surrogates
// are written as U+FFFD on the way out.
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

// Bytes <-> UTF-16LE code units (little-endian whatever the host).
std::u16string FromUtf16LeBytes(const void* bytes, size_t byteCount);
std::string ToUtf16LeBytes(std::u16string_view s);

// The one trim: `s` without the characters of `chars` at both ends, or of
// `front` at its start and `back` at its end.
constexpr std::u16string_view kBlanks = u" \t";
constexpr std::u16string_view kBlanksAndLineEnds = u" \t\r\n";
constexpr std::u16string_view kWhiteSpace = u" \t\r\n\v\f";
std::u16string_view TrimView(std::u16string_view s, std::u16string_view chars = kBlanks);
std::u16string_view TrimView(std::u16string_view s, std::u16string_view front, std::u16string_view back);

// Every occurrence of `what` (not empty) in `text` replaced by `with`, left to right.
void ReplaceAll(std::u16string& text, std::u16string_view what, std::u16string_view with);

// "\"" + text + "\"" and the decimal text of a number, for command lines.
std::u16string Quoted(std::u16string_view text);
std::u16string DecimalText(long long n);

// Turns a UTF-16LE byte stream into code units chunk by chunk: a unit whose
// two bytes straddle two chunks is completed with the next chunk.
class Utf16LeUnits {
 public:
  // The chunk's complete code units; valid (and writable) until the next call.
  std::u16string& Convert(const void* bytes, size_t count);
  // A new stream begins: a byte still waiting for its partner is dropped.
  void Reset() { hasOddByte_ = false; }

 private:
  std::u16string units_;
  bool hasOddByte_ = false;
  uint8_t oddByte_ = 0;
};

}  // namespace loom
