// Build output of any content, appended whole and cut into chunks at points
// drawn from the input's first bytes: the text must be the same, with every
// line ended by CR LF and no carriage return elsewhere.
#include <cstdint>
#include <string>

#include "build/BuildOutputText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t count = data[0] % 8;
  if (size < 1 + count) return 0;
  const uint8_t* stream = data + 1 + count;
  size_t length = size - 1 - count;

  loom::BuildOutputText whole, cut;
  whole.Append(stream, length);
  size_t at = 0;
  for (size_t i = 0; i < count; ++i) {
    size_t next = at + (length ? data[1 + i] % (length + 1) : 0);
    if (next > length) next = length;
    cut.Append(stream + at, next - at);
    at = next;
  }
  cut.Append(stream + at, length - at);
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
