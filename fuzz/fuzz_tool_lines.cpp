// Tool output of any content, fed whole and cut into chunks at points drawn
// from the input's first bytes: the same lines must come out.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "capture/ToolLineDecoder.h"

namespace {

using Lines = std::vector<std::pair<loom::ToolLineKind, std::u16string>>;

Lines Decode(const uint8_t* data, size_t size, const std::vector<size_t>& cuts) {
  Lines lines;
  loom::ToolLineDecoder decoder([&lines](loom::ToolLineKind kind, const char16_t* text, size_t length) {
    if (text[length] != u'\0') __builtin_trap();
    std::u16string line(text, length);
    if (line.find_first_of(u"\r\n") != std::u16string::npos) __builtin_trap();
    lines.emplace_back(kind, std::move(line));
  });
  size_t at = 0;
  for (size_t cut : cuts) {
    decoder.Feed(data + at, cut - at);
    at = cut;
  }
  decoder.Feed(data + at, size - at);
  decoder.Finish();
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t count = data[0] % 8;
  if (size < 1 + count) return 0;
  const uint8_t* stream = data + 1 + count;
  size_t length = size - 1 - count;
  std::vector<size_t> cuts;
  size_t at = 0;
  for (size_t i = 0; i < count; ++i) {
    at += length ? data[1 + i] % (length + 1) : 0;
    if (at > length) at = length;
    cuts.push_back(at);
  }
  if (Decode(stream, length, cuts) != Decode(stream, length, {})) __builtin_trap();
  return 0;
}
