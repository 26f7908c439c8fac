// Tool output of any content, fed whole and cut into chunks at points drawn
// from the input's first bytes: the same lines must come out.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCuts.h"
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
  CutInput in;
  if (!ReadCutInput(data, size, in)) return 0;
  if (Decode(in.stream, in.length, in.cuts) != Decode(in.stream, in.length, {})) __builtin_trap();
  return 0;
}
