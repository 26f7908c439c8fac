// Entry-point values and executable headers of any content: decoding never
// grows the text or yields U+0000 from an escape, the icon location is a
// prefix of its text, and the header check never names an offset whose four
// bytes lie outside the file.
#include <cstdint>
#include <string>

#include "project/EntryPoints.h"
#include "util/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text = loom::FromUtf16LeBytes(data, size);
  std::u16string decoded = loom::DecodeEntryText(text);
  if (decoded.size() > text.size()) __builtin_trap();
  size_t zerosIn = 0, zerosOut = 0;
  for (char16_t c : text) zerosIn += c == 0;
  for (char16_t c : decoded) zerosOut += c == 0;
  if (zerosOut > zerosIn) __builtin_trap();

  loom::IconLocation at = loom::ParseIconLocation(text);
  if (text.compare(0, at.path.size(), at.path) != 0) __builtin_trap();

  std::string_view head(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
  for (uint64_t fileSize : {uint64_t(size), uint64_t(0), uint64_t(1) << 40}) {
    uint32_t offset = loom::PeSignatureOffset(head, fileSize);
    if (offset != 0 && (size < 64 || uint64_t(offset) + 4 > fileSize)) __builtin_trap();
  }
  return 0;
}
