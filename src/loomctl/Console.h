// loomctl's output: console windows get the text as it is (UTF-16), files
// and pipes get UTF-8. Shared by every verb.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace loomctl {

using Args = std::vector<std::u16string>;
constexpr int kDone = 0, kNotDone = 1, kBadUsage = 2;

void Write(FILE* stream, std::u16string_view text);
// True when the stream is a console window (text rewritten in place there).
bool IsConsole(FILE* stream);
// "loomctl: MESSAGE" on standard error; returns `code`.
int Fail(int code, std::u16string_view message);

// The verbs in files of their own.
int RunCapture(const Args& args);
int RunAnswers(const Args& args);
int RunReport(const Args& args);
extern const char16_t kCaptureUsage[];  // their lines of the usage text

}  // namespace loomctl
