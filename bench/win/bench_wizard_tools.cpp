// The wizard around its tools, driven as a user would (the GUI tests' driver):
//   1. the real capture tool's prescan inside the wizard against the same
//      scan by the tool alone (its output to NUL), on a tree that takes at
//      least 10 s to scan (--quick: a small one), alternating, 5 runs each
//      (--quick: 1): the median ratio (target <= 1.30), and the wizard's own overhead around
//      the tool: from Next to the tool's start, and from the tool's exit to
//      the next page (medians);
//   2. the wizard's peak working set while the stand-in scan tool prints
//      200,000 info lines against 20,000 (--quick: 20,000 and 2,000): the
//      ratio (target <= 1.20).
// While a tool runs, the benchmark waits on it and asks the wizard nothing: a
// poll of the wizard's windows every few milliseconds would keep the
// wineserver and a core busy beside the scan it times.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "WizardDriver.h"

using namespace loomtest;

namespace {

double Now() {  // milliseconds on the system clock (process times are on it too)
  FILETIME ft;
  GetSystemTimePreciseAsFileTime(&ft);
  return double((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 1e4;
}

double Ms(const FILETIME& ft) { return double((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 1e4; }

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A process named `name` whose parent is `parent`, opened to be watched.
HANDLE OpenChild(DWORD parent, const wchar_t* name) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return nullptr;
  PROCESSENTRY32W e = {};
  e.dwSize = sizeof e;
  HANDLE found = nullptr;
  for (BOOL more = Process32FirstW(snap, &e); more && !found; more = Process32NextW(snap, &e))
    if (e.th32ParentProcessID == parent && lstrcmpiW(e.szExeFile, name) == 0)
      found = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, e.th32ProcessID);
  CloseHandle(snap);
  return found;
}

// The tool with nobody reading it: its output goes to NUL (a console would
// add a console host's work the wizard's pipe does not have).
double RunAlone(const std::wstring& commandLine) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi = {};
  std::wstring cl = commandLine;
  double t0 = Now();
  BOOL created = CreateProcessW(nullptr, cl.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | DETACHED_PROCESS, nullptr,
                                nullptr, &si, &pi);
  CloseHandle(nul);
  if (!created) return -1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  double ms = Now() - t0;
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return ms;
}

struct Prescan {
  double total = -1, toStart = 0, toolMs = 0, afterExit = 0;
  size_t peakKb = 0;
};

constexpr DWORD kToolWaitMs = 1000;          // one wait on the running tool
constexpr double kPrescanLimitMs = 600000;   // a prescan that takes longer has failed
constexpr int kPopupEvery = 20;              // rounds between looks for a message box
constexpr DWORD kSettleMs = 300;             // a shown page is left to settle before Next

// Starts the wizard, goes to the ready-to-prescan page and presses Next;
// times the prescan until the install page shows.
Prescan PrescanInWizard(const TestInstall& install, const wchar_t* toolName) {
  Prescan p;
  // The run before left its resume value (a prescan done): without this the
  // wizard would start on the resume page and skip the prescan.
  CleanRegistry::Clean();
  Wizard w;
  if (!w.Start(install) || !w.WaitForTitle(kWelcome) || !w.Next(kReady)) return p;
  // Next is pressed as a user would, once the page has been drawn: the time
  // to the tool's start is the wizard's work for the step, not its painting.
  if (HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, w.ProcessId())) {
    WaitForInputIdle(h, kSettleMs);
    CloseHandle(h);
  }
  Sleep(kSettleMs);
  double click = Now();
  if (!w.Click(IDOK)) return p;
  // Until the tool shows, look for it often; while it runs, wait on it and
  // ask the wizard nothing (a poll of its windows goes through the wineserver
  // and would compete with the tool for it and for the two cores); after its
  // exit, watch the title closely.
  HANDLE tool = nullptr;
  double page = 0;
  for (int round = 0;; ++round) {
    if (!tool) tool = OpenChild(w.ProcessId(), toolName);
    if (tool && WaitForSingleObject(tool, kToolWaitMs) == WAIT_TIMEOUT) {
      if (!w.Running() || Now() - click > kPrescanLimitMs) break;
      continue;
    }
    std::wstring title = w.Title();
    if (title == kInstall || title == kPrescanWarnings) {
      page = Now();
      break;
    }
    if (!w.Running() || Now() - click > kPrescanLimitMs || (round % kPopupEvery == 0 && w.FindPopup())) break;
    Sleep(1);
  }
  if (page) p.total = page - click;
  if (page && tool) {
    FILETIME created, exited, k, u;
    if (GetProcessTimes(tool, &created, &exited, &k, &u)) {
      p.toStart = Ms(created) - click;
      p.toolMs = Ms(exited) - Ms(created);
      p.afterExit = page - Ms(exited);
    }
  }
  if (tool) CloseHandle(tool);
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, w.ProcessId());
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  if (h && GetProcessMemoryInfo(h, &pmc, sizeof pmc)) p.peakKb = pmc.PeakWorkingSetSize / 1024;
  if (h) CloseHandle(h);
  return p;
}

// Adds `count` empty files in folders of 1,000 under `tree`.
void AddFiles(const std::wstring& tree, int& made, int count) {
  CreateDirectoryW(tree.c_str(), nullptr);
  for (int i = 0; i < count; ++i, ++made) {
    std::wstring folder = tree + L"\\folder " + std::to_wstring(made / 1000);
    if (made % 1000 == 0) CreateDirectoryW(folder.c_str(), nullptr);
    HANDLE h = CreateFileW((folder + L"\\module " + std::to_wstring(made % 1000) + L".dll").c_str(), GENERIC_WRITE, 0,
                           nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool quick = argc > 1 && wcscmp(argv[1], L"--quick") == 0;
  setvbuf(stdout, nullptr, _IONBF, 0);  // a full run takes minutes: show each run as it ends
  CleanRegistry registry;

  // 1. The real capture tool, alone and in the wizard.
  {
    InstallOptions options;
    options.snapshot = Place::Absent;
    options.snapshot64 = Place::Absent;
    TestInstall install(options);
    if (!install.ok() || !install.Install(L"capture\\snapshot64.exe", Place::Beside, L"snapshot64.exe"))
      return printf("cannot prepare the installation\n"), 1;
    std::wstring snapshot = TempFolder() + L"\\alone.snapshot";
    std::wstring alone = L"\"" + install.ProgramFolder() + L"\\snapshot64.exe\" \"" + snapshot +
                         L"\" C:\\ HKEY_LOCAL_MACHINE HKEY_USERS -Loomwise";
    // Grow a tree on C: until the tool alone takes 10 s (--quick: as it is).
    std::wstring tree = L"C:\\loombench-tree";
    int made = 0;
    double aloneMs = RunAlone(alone);
    while (!quick && aloneMs > 0 && aloneMs < 10000 && made < 2000000) {
      AddFiles(tree, made, std::max(20000, int(made * (10500 / aloneMs - 1))));
      aloneMs = RunAlone(alone);
    }
    printf("scan tree: %d files added to the prefix's C:, the tool alone takes %.1f s\n", made, aloneMs / 1e3);
    const int runs = quick ? 1 : 5;
    std::vector<double> ratio, toStart, afterExit, wizardMs, toolMs;
    for (int r = 0; r < runs; ++r) {
      double a = RunAlone(alone);
      Prescan p = PrescanInWizard(install, L"snapshot64.exe");
      if (a <= 0 || p.total <= 0 || p.toStart == 0) return printf("the prescan did not complete\n"), 1;
      toolMs.push_back(a);
      wizardMs.push_back(p.total);
      ratio.push_back(p.total / a);
      toStart.push_back(p.toStart);
      afterExit.push_back(p.afterExit);
      printf(
          "  run %d: alone %.0f ms, in the wizard %.0f ms (Next to tool start %.0f ms, the tool %.0f ms, tool exit to "
          "page %.0f ms)\n",
          r + 1, a, p.total, p.toStart, p.toolMs, p.afterExit);
    }
    DeleteFileW(snapshot.c_str());
    printf("1. prescan in the wizard / tool alone, median of %d: %.0f / %.0f ms, ratio %.2f (target <= 1.30)\n", runs,
           Median(wizardMs), Median(toolMs), Median(ratio));
    printf(
        "   the wizard's overhead (medians): Next to the tool's start %.0f ms, the tool's exit to the next page %.0f "
        "ms\n",
        Median(toStart), Median(afterExit));
  }

  // 2. Memory while the tool talks a lot.
  {
    const long few = quick ? 2000 : 20000, many = few * 10;
    size_t peak[2] = {0, 0};
    double ms[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
      InstallOptions options;
      options.scenario = "[scan]\nlines " + std::to_string(i ? many : few) + " I progress line of a scanning tool\n";
      TestInstall install(options);
      if (!install.ok()) return printf("cannot prepare the installation\n"), 1;
      Prescan p = PrescanInWizard(install, L"snapshot64.exe");
      if (p.total <= 0 || !p.peakKb) return printf("2. the stand-in prescan did not complete\n"), 1;
      peak[i] = p.peakKb;
      ms[i] = p.total;
    }
    printf(
        "2. the wizard's peak working set: %zu KB with %ld info lines, %zu KB with %ld: ratio %.2f (target <= 1.20); "
        "the prescans took %.0f and %.0f ms\n",
        peak[0], few, peak[1], many, double(peak[1]) / double(peak[0]), ms[0], ms[1]);
  }
  return 0;
}
