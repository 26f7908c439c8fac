#include "app/CommandLine.h"

namespace loom {
namespace {

constexpr char16_t kBlank = u' ';
constexpr char16_t kQuote = u'"';

// Reads one token starting at `pos` (which is not a blank unless it is the
// first token) and leaves `pos` behind it, past a closing quotation mark.
std::u16string_view ReadToken(std::u16string_view text, size_t& pos) {
  if (pos < text.size() && text[pos] == kQuote) {
    size_t start = pos + 1;
    size_t end = text.find(kQuote, start);
    if (end == std::u16string_view::npos) end = text.size();
    pos = end < text.size() ? end + 1 : end;
    return text.substr(start, end - start);
  }
  size_t start = pos;
  size_t end = text.find(kBlank, start);
  if (end == std::u16string_view::npos) end = text.size();
  pos = end;
  return text.substr(start, end - start);
}

}  // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine) {
  std::u16string_view text = commandLine.substr(0, kCommandLineLimit);
  text = text.substr(0, text.find(u'\0'));

  std::vector<std::u16string> tokens;
  size_t pos = 0;
  tokens.emplace_back(ReadToken(text, pos));
  for (;;) {
    while (pos < text.size() && text[pos] == kBlank) ++pos;
    if (pos >= text.size()) break;
    tokens.emplace_back(ReadToken(text, pos));
  }
  return tokens;
}

}  // namespace loom
