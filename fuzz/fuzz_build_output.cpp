// Build output of any content, appended whole and cut into chunks at points
// drawn from the input's first bytes: the text must be the same, with every
// line ended by CR LF and no carriage return elsewhere. A small page window
// shown after each chunk must always hold a piece of the text, and its end
// once caught up.
#include <cstdint>
#include <string>

#include "FuzzCuts.h"
#include "build/BuildOutputText.h"
#include "build/OutputWindow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CutInput in;
  if (!ReadCutInput(data, size, in)) return 0;

  loom::BuildOutputText whole, cut;
  whole.Append(in.stream, in.length);
  loom::OutputWindow window(24, 8);
  std::u16string shown;
  auto show = [&](size_t slice) {
    loom::OutputChange change = window.Next(cut.Text(), cut.TakeChangedFrom(), slice);
    change.ApplyTo(shown);
    if (shown != cut.Text().substr(window.From(), window.Length() - window.From())) __builtin_trap();
  };
  size_t at = 0;
  for (size_t next : in.cuts) {
    cut.Append(in.stream + at, next - at);
    show(next - at + 1);
    at = next;
  }
  cut.Append(in.stream + at, in.length - at);
  if (cut.Text() != whole.Text()) __builtin_trap();
  show(5);  // a rewrite may leave the text no longer: the change is only known here
  for (int i = 0; i < 100000 && window.Behind(cut.Text().size()); ++i) show(5);
  const std::u16string& all = cut.Text();
  if (window.Behind(all.size()) || all.compare(all.size() - shown.size(), shown.size(), shown) != 0) __builtin_trap();

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
