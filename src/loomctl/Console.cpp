#include "loomctl/Console.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "util/Text.h"

namespace loomctl {

bool IsConsole(FILE* stream) {
#ifdef _WIN32
  HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
#else
  (void)stream;
  return false;
#endif
}

void Write(FILE* stream, std::u16string_view text) {
  if (text.empty()) return;
#ifdef _WIN32
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on Windows");
  if (IsConsole(stream)) {
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    std::fflush(stream);
    while (!text.empty()) {
      DWORD chunk = DWORD(text.size() < 8192 ? text.size() : 8192), written = 0;
      if (!WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.data()), chunk, &written, nullptr) ||
          written == 0)
        return;
      text.remove_prefix(written);
    }
    return;
  }
#endif
  const std::string bytes = loom::Utf16ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}

int Fail(int code, std::u16string_view message) {
  Write(stderr, u"loomctl: " + std::u16string(message) + u"\n");
  return code;
}

}  // namespace loomctl
