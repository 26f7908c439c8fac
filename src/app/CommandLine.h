// Splitting of the program's command line (and of the resume value, which has
// the same form) into tokens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace loom {

// The longest command line that is looked at; the text is handled in a
// buffer of 4096 characters, so anything past 4095 is cut off.
constexpr size_t kCommandLineLimit = 4095;

// Splits a command line into tokens. Blanks (spaces) separate tokens; a token
// that begins with a quotation mark runs to the next quotation mark, both
// marks dropped, and an unterminated one runs to the end; there is no escape
// character. The first token is always present: the text up to the first
// blank, or the quoted text when it begins with a quotation mark, so an empty
// text, or one that begins with a blank, gives an empty first token. The text
// ends at a NUL, and only its first 4095 units are looked at.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

}  // namespace loom
