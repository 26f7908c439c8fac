#include "app/StartupTimes.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace loom {
namespace {

struct Mark {
  const char* stage;
  LONGLONG counter;
};

Mark g_marks[256];
int g_count = 0;
bool g_written = false;

}  // namespace

void MarkStartup(const char* stage) {
  if (g_written || g_count == 256) return;
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  g_marks[g_count++] = {stage, now.QuadPart};
}

bool WriteStartupMarks() {
  if (g_written) return false;
  g_written = true;
  wchar_t path[MAX_PATH];
  DWORD n = ::GetEnvironmentVariableW(L"LOOM_STARTUP_TIMES", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  std::string text = "frequency " + std::to_string(frequency.QuadPart) + "\n";
  for (int i = 0; i < g_count; ++i) text += std::to_string(g_marks[i].counter) + " " + g_marks[i].stage + "\n";
  // Written beside and then renamed, so that a reader who sees the file sees
  // all of it (the benchmark ends the wizard as soon as the file is there).
  std::wstring part = std::wstring(path, n) + L".part";
  HANDLE h = ::CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  bool ok = ::WriteFile(h, text.data(), DWORD(text.size()), &put, nullptr) && put == text.size();
  ::CloseHandle(h);
  ok = ok && ::MoveFileExW(part.c_str(), path, MOVEFILE_REPLACE_EXISTING);
  if (!ok) ::DeleteFileW(part.c_str());
  return ok;
}

}  // namespace loom
