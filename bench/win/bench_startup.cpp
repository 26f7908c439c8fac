// How soon the wizard shows its first page, against a bare dialog program.
//
// Starts Loomwise.exe and bare_dialog.exe (both beside this program)
// alternately, 11 times each (--quick: 2), and times each from just before
// CreateProcessW to its first visible top-level window answering a sent
// message (its message loop runs). Prints both medians and their ratio
// (target: at most 1.5), and the wizard's start-up stage by stage: the
// median of each stage from the marks the wizard writes on the
// high-resolution counter (LOOM_STARTUP_TIMES), then one more start with
// Wine's own timestamps (+timestamp,+loaddll) giving when each library was
// loaded. Wine writes its traces to the standard error it was started with:
// run under tools/scripts/wine-run.sh with LOOM_WINE_STDERR naming a file
// (make bench does), which this program then reads.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "capture/ScanTool.h"

namespace {

double g_frequency = 1;

double Ms(LONGLONG ticks) { return double(ticks) * 1e3 / g_frequency; }

LONGLONG Counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Find {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM p) {
  auto* f = reinterpret_cast<Find*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != f->pid || !IsWindowVisible(hwnd)) return TRUE;
  f->found = hwnd;
  return FALSE;
}

std::string ReadFileText(const std::wstring& path) {
  std::string text;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return text;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) text.append(buf, got);
  CloseHandle(h);
  return text;
}

struct Start {
  double ms = -1;       // to the first visible window answering
  LONGLONG t0 = 0;      // counter just before CreateProcessW
  ULONGLONG tick0 = 0;  // GetTickCount64 then (Wine's timestamps count in these)
};

// Starts `exe`, waits for its first visible answering window, ends it.
Start StartOnce(const std::wstring& exe, const std::wstring& marks) {
  Start s;
  if (!marks.empty()) DeleteFileW(marks.c_str());
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  std::wstring cmd = L"\"" + exe + L"\"";
  PROCESS_INFORMATION pi = {};
  s.tick0 = GetTickCount64();
  s.t0 = Counter();
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return s;
  Find f{pi.dwProcessId, nullptr};
  ULONGLONG deadline = GetTickCount64() + 30000;
  while (!f.found && GetTickCount64() < deadline && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&f));
    if (!f.found) Sleep(1);
  }
  DWORD_PTR r = 0;
  if (f.found && SendMessageTimeoutW(f.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r)) s.ms = Ms(Counter() - s.t0);
  // The marks are written whole on the first paint, which on a busy machine
  // may come a while after the window answers.
  constexpr DWORD kMarksWaitMs = 15000;
  ULONGLONG marksDeadline = GetTickCount64() + kMarksWaitMs;
  while (f.found && !marks.empty() && GetFileAttributesW(marks.c_str()) == INVALID_FILE_ATTRIBUTES &&
         GetTickCount64() < marksDeadline && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
    Sleep(10);
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return s;
}

// The wizard's marks of one start as (stage, ms) in order, each stage's time
// counted from the mark before (the first from CreateProcessW); repeated
// stages are summed.
std::vector<std::pair<std::string, double>> Stages(const std::string& text, LONGLONG t0) {
  std::vector<std::pair<std::string, double>> out;
  LONGLONG previous = t0;
  double frequency = g_frequency;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    std::string name = line.substr(space + 1);
    if (line.compare(0, space, "frequency") == 0) {
      frequency = atof(name.c_str());
      continue;
    }
    LONGLONG counter = _atoi64(line.substr(0, space).c_str());
    double ms = double(counter - previous) * 1e3 / frequency;
    previous = counter;
    auto it = std::find_if(out.begin(), out.end(), [&](const auto& p) { return p.first == name; });
    if (it == out.end())
      out.emplace_back(name, ms);
    else
      it->second += ms;
  }
  return out;
}

// Wine's +loaddll lines ("SSS.mmm:PID:TID:trace:loaddll:... Loaded L"PATH" at ...")
// from `from` on, as library file name and ms after CreateProcessW.
void PrintLibraryLoads(const std::string& trace, size_t from, ULONGLONG tick0) {
  size_t at = from;
  int shown = 0;
  double last = 0;
  std::string line;
  printf("libraries loaded (Wine +timestamp,+loaddll; ms after CreateProcessW):\n ");
  while (at < trace.size()) {
    size_t end = trace.find('\n', at);
    if (end == std::string::npos) end = trace.size();
    line = trace.substr(at, end - at);
    at = end + 1;
    size_t loaded = line.find("Loaded L\"");
    if (loaded == std::string::npos) continue;
    double seconds = atof(line.c_str());
    double ms = seconds * 1e3 - double(tick0);
    size_t start = loaded + 9, stop = line.find('"', start);
    std::string path = line.substr(start, stop - start);
    size_t slash = path.find_last_of('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    printf(" %s %.0f", name.c_str(), ms);
    if (++shown % 6 == 0) printf("\n ");
    last = ms;
  }
  printf("\n  %d libraries, the last at %.0f ms\n", shown, last);
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = argc > 1 && strcmp(argv[1], "--quick") == 0;
  const int runs = quick ? 2 : 11;
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  g_frequency = double(f.QuadPart);
  std::wstring folder = loom::ProgramFolder();
  std::wstring wizard = folder + L"\\Loomwise.exe", bare = folder + L"\\bare_dialog.exe";
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring marks = std::wstring(tmp) + L"loomwise-startup.txt";
  SetEnvironmentVariableW(L"LOOM_STARTUP_TIMES", marks.c_str());

  // One start of each first: the prefix's first start of a program is not measured.
  StartOnce(bare, L"");
  StartOnce(wizard, marks);
  std::vector<double> wizardMs, bareMs;
  std::map<std::string, std::vector<double>> stageMs;
  std::vector<std::string> order;
  for (int i = 0; i < runs; ++i) {
    for (int k = 0; k < 2; ++k) {
      bool wizardNow = (i + k) % 2 == 0;  // alternating, each first in turn
      if (!wizardNow) {
        Start s = StartOnce(bare, L"");
        if (s.ms < 0) return printf("bare_dialog.exe showed no window\n"), 1;
        bareMs.push_back(s.ms);
        continue;
      }
      Start s = StartOnce(wizard, marks);
      if (s.ms < 0) return printf("Loomwise.exe showed no window\n"), 1;
      wizardMs.push_back(s.ms);
      for (const auto& [name, ms] : Stages(ReadFileText(marks), s.t0)) {
        if (!stageMs.count(name)) order.push_back(name);
        stageMs[name].push_back(ms);
      }
    }
  }
  if (order.empty()) return printf("Loomwise.exe wrote no start-up marks\n"), 1;
  if (getenv("BENCH_TRACE")) printf("%s", ReadFileText(marks).c_str());
  double w = Median(wizardMs), b = Median(bareMs);
  printf("start to the first visible window, median of %d starts each (alternating):\n", runs);
  printf("  Loomwise.exe %.0f ms, bare dialog %.0f ms: ratio %.2f (target <= 1.50)\n", w, b, w / b);
  printf("Loomwise.exe stage by stage (median ms; each from the mark before, the first from CreateProcessW):\n");
  for (const std::string& name : order) printf("  %7.1f  %s\n", Median(stageMs[name]), name.c_str());

  // Wine's timestamps, one start more with +timestamp,+loaddll.
  wchar_t unixPath[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"LOOM_WINE_STDERR", unixPath, MAX_PATH);
  if (n == 0 || n >= MAX_PATH || unixPath[0] != L'/') {
    printf("(Wine's library timestamps: run with LOOM_WINE_STDERR naming a file, as make bench does)\n");
  } else {
    std::wstring trace = L"Z:" + std::wstring(unixPath, n);
    std::replace(trace.begin(), trace.end(), L'/', L'\\');
    size_t from = ReadFileText(trace).size();
    SetEnvironmentVariableW(L"WINEDEBUG", L"+timestamp,+loaddll");
    Start s = StartOnce(wizard, marks);
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
    PrintLibraryLoads(ReadFileText(trace), from, s.tick0);
  }
  DeleteFileW(marks.c_str());
  return 0;
}
