// Command lines of any content (each byte one character, so blanks and
// quotation marks are common): tokens are the text's pieces in order, and
// quoting them again gives the same tokens back.
#include <cstdint>
#include <string>

#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text(data, data + size);
  for (char16_t& c : text) {
    if (c == 0xFF) c = u'\u4e2d';
  }
  std::vector<std::u16string> tokens = loom::SplitCommandLine(text);
  if (tokens.empty()) __builtin_trap();

  std::u16string_view seen = std::u16string_view(text).substr(0, loom::kCommandLineLimit);
  seen = seen.substr(0, seen.find(u'\0'));
  size_t at = 0;
  std::u16string joined;
  for (const std::u16string& token : tokens) {
    bool blank = token.find(u' ') != std::u16string::npos;
    bool quote = token.find(u'"') != std::u16string::npos;
    // A quoted token holds no quotation mark; an unquoted one no blank.
    if (blank && quote) __builtin_trap();
    if (token.find(u'\0') != std::u16string::npos) __builtin_trap();
    at = seen.find(token, at);
    if (at == std::u16string_view::npos) __builtin_trap();
    at += token.size();
    if (!joined.empty()) joined += u' ';
    joined += blank || token.empty() ? u"\"" + token + u"\"" : token;
  }
  if (joined.size() <= loom::kCommandLineLimit && loom::SplitCommandLine(joined) != tokens) __builtin_trap();
  return 0;
}
