// Build output of any content, appended whole and cut into chunks at points
// drawn from the input's first bytes: the text must be the same, with every
// line ended by CR LF and no carriage return elsewhere.
#include <cstdint>
#include <string>

#include "FuzzCuts.h"
#include "build/BuildOutputText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CutInput in;
  if (!ReadCutInput(data, size, in)) return 0;

  loom::BuildOutputText whole, cut;
  whole.Append(in.stream, in.length);
  size_t at = 0;
  for (size_t next : in.cuts) {
    cut.Append(in.stream + at, next - at);
    at = next;
  }
  cut.Append(in.stream + at, in.length - at);
  if (cut.Text() != whole.Text()) __builtin_trap();

  const std::u16string& text = whole.Text();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) __builtin_trap();
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) __builtin_trap();
  }
  whole.AppendClosingMessage(u"done");
  cut.AppendClosingMessage(u"done");
  if (cut.Text() != whole.Text()) __builtin_trap();
  return 0;
}
