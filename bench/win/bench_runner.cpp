// How fast tool output reaches the window through the runner.
//
// Prints, measured in the same run:
//   1. the bare cross-thread SendMessageW rate (a thread sending to a window
//      of the main thread) - the ceiling for line delivery;
//   2. lines per second from the stand-in tool through RunTool, the pipe, the
//      reader thread and the line decoder into a window, and its ratio to 1
//      (target >= 0.8);
//   3. the tool's run time while the runner reads, against the same tool
//      writing to NUL (the cost the reader adds to the tool).
// Needs snapshot.exe (the stand-in) beside it. --quick runs a short pass.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "capture/ScanTool.h"
#include "capture/ToolRunner.h"
#include "../BenchTiming.h"

using loom::bench::Seconds;

namespace {

long g_received = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg >= WM_APP && msg <= WM_APP + 3) {
    if (msg != WM_APP + 3) ++g_received;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, w, l);
}

HWND MakeWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LoomBenchSink";
  RegisterClassW(&wc);
  return CreateWindowW(L"LoomBenchSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

// Runs the message loop until the thread has ended (a timer looks).
void PumpUntil(HWND window, HANDLE thread) {
  SetTimer(window, 2, 20, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) break;
    DispatchMessageW(&msg);
  }
  KillTimer(window, 2);
}

struct SendJob {
  HWND window;
  long count;
};

DWORD WINAPI SendLoop(void* p) {
  auto* job = static_cast<SendJob*>(p);
  const wchar_t text[] = L"line of output from the tool";
  for (long i = 0; i < job->count; ++i) SendMessageW(job->window, WM_APP, 0, reinterpret_cast<LPARAM>(text));
  return 0;
}

double BareSendRate(HWND window, long count) {
  g_received = 0;
  SendJob job{window, count};
  double t0 = Seconds();
  HANDLE th = CreateThread(nullptr, 0, SendLoop, &job, 0, nullptr);
  PumpUntil(window, th);
  double dt = Seconds() - t0;
  CloseHandle(th);
  return double(count) / dt;
}

std::wstring WriteScenario(long lines) {
  std::wstring path = loom::ProgramFolder() + L"\\bench_runner.scenario";
  char text[128];
  snprintf(text, sizeof text, "[scan]\nresult no\nlines %ld I progress line of a scanning tool\nexit 0\n", lines);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, text, DWORD(strlen(text)), &put, nullptr);
  CloseHandle(h);
  return path;
}

std::wstring ToolCommand() {
  return L"\"" + loom::ProgramFolder() + L"\\snapshot.exe\" \"" + loom::ProgramFolder() +
         L"\\bench.snapshot\" C:\\ -Loomwise";
}

// Runs the tool through the runner as the wizard does: the user-interface
// thread sits in its message loop and a timer asks whether the tool ended.
// Returns seconds until the end was seen.
double RunThroughRunner(HWND window) {
  g_received = 0;
  double t0 = Seconds();
  if (!loom::RunTool(ToolCommand(), window)) return -1;
  SetTimer(window, 1, 20, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && !loom::IsToolRunning()) break;
    DispatchMessageW(&msg);
  }
  KillTimer(window, 1);
  return Seconds() - t0;
}

// Runs the tool with its output going to NUL; returns its run time.
double RunToNul() {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nul;
  si.hStdOutput = nul;
  si.hStdError = nul;
  PROCESS_INFORMATION pi = {};
  std::wstring cmd = ToolCommand();
  double t0 = Seconds();
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return -1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  double dt = Seconds() - t0;
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(nul);
  return dt;
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = loom::bench::QuickRun(argc, argv);
  const long lines = quick ? 2000 : 40000;
  HWND window = MakeWindow();
  std::wstring scenario = WriteScenario(lines);
  SetEnvironmentVariableW(L"LOOM_STANDIN_SCENARIO", scenario.c_str());

  double bare = BareSendRate(window, lines);
  double runnerTime = RunThroughRunner(window);
  if (runnerTime < 0 || g_received != lines) {
    printf("runner failed: %ld of %ld lines arrived\n", g_received, lines);
    return 1;
  }
  double runnerRate = double(lines) / runnerTime;
  double nulTime = RunToNul();
  printf("bare cross-thread SendMessageW: %.0f messages/s\n", bare);
  printf("runner (tool -> pipe -> reader -> window): %.0f lines/s  ratio %.2f  (target >= 0.80)\n", runnerRate,
         runnerRate / bare);
  printf("tool run time: %.3f s read by the runner, %.3f s writing to NUL  ratio %.2f\n", runnerTime, nulTime,
         runnerTime / nulTime);
  DeleteFileW(scenario.c_str());
  return 0;
}
