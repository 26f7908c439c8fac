// The capture demo: the real wizard with the real capture tool in place of
// the scripted stand-in, capturing the sample installer in a fresh prefix.
// The stand-in build tools build the generated project. Every step is saved
// as a picture.
//
//   capture_demo.exe OUTPUT_FOLDER
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

#include "WizardDriver.h"

using namespace loomtest;

namespace {

std::wstring g_out;
int g_shot = 0;

void Say(const std::wstring& text) {
  std::string bytes = Narrow(text + L"\n");
  DWORD put = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &put, nullptr);
}

void Shot(Wizard& w, const std::wstring& what, HWND window = nullptr) {
  wchar_t prefix[16];
  swprintf(prefix, 16, L"%02d-", ++g_shot);
  std::wstring name;
  for (wchar_t c : what) name += (wcschr(L"\\/:*?\"<>| ", c) ? L'_' : c);
  std::wstring path = g_out + L"\\" + prefix + name + L".bmp";
  w.Screenshot(path, window);
  Say(L"  picture " + path);
}

// Runs the sample installer silently, as the user would install between the scans.
// Milliseconds a program takes from start to end (its output goes to NUL).
DWORD TimedRun(const std::wstring& commandLine) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::wstring cl = commandLine;
  DWORD start = GetTickCount();
  if (!CreateProcessW(nullptr, cl.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return 0;
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD took = GetTickCount() - start;
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return took;
}

bool InstallSample() {
  std::wstring cl = L"\"" + BuildFolder() + L"\\sample\\SampleSetup.exe\" /S";
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, cl.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fwprintf(stderr, L"usage: capture_demo.exe OUTPUT_FOLDER\n");
    return 2;
  }
  g_out = argv[1];
  CreateDirectoryW(g_out.c_str(), nullptr);

  CleanRegistry clean;
  InstallOptions options;
  options.branding = Place::Beside;
  options.buildTools = Place::Beside;
  options.snapshot = Place::Absent;
  options.snapshot64 = Place::Absent;
  TestInstall install(options);
  if (!install.ok() || !install.Install(L"capture\\snapshot64.exe", Place::Beside, L"snapshot64.exe")) {
    fwprintf(stderr, L"cannot prepare the installation: %ls\n", install.error().c_str());
    return 1;
  }
  Wizard w;
  if (!w.Start(install) || !w.WaitForMainWindow()) {
    fwprintf(stderr, L"the wizard did not start\n");
    return 1;
  }
  std::set<std::wstring> seen;
  bool installed = false;
  DWORD idleSince = GetTickCount(), prescanStart = 0, prescanMs = 0;
  while (w.Running()) {
    if (Popup box = w.FindPopup()) {
      Sleep(300);
      Shot(w, L"message " + box.caption, box.hwnd);
      Say(L"dialog: " + box.caption + L": " + box.text);
      if (!w.Answer(box, IDYES)) w.Answer(box, IDOK);
      continue;
    }
    std::wstring title = w.Title();
    HWND page = w.CurrentPage();
    std::wstring step = title + L"|" + std::to_wstring(reinterpret_cast<uintptr_t>(page)) + L"|" + w.Text(1016);
    if (!title.empty() && seen.insert(step).second) {
      Say(L"step: " + title);
      if (title == L"Loomwise - \u5b89\u88c5\u5e94\u7528\u7a0b\u5e8f" && prescanStart) {  // 安装应用程序
        prescanMs = GetTickCount() - prescanStart;
        Say(L"  prescan took " + std::to_wstring(prescanMs) + L" ms from Next to the install page");
        prescanStart = 0;
      }
      Sleep(400);
      Shot(w, title);
      idleSince = GetTickCount();
      if (title == L"Loomwise - \u5b89\u88c5\u5e94\u7528\u7a0b\u5e8f" && !installed) {
        installed = InstallSample();
        Say(installed ? L"  the sample application was installed" : L"  the sample installer failed");
      }
      continue;
    }
    if (title == w.Title() && page == w.CurrentPage() && w.IsEnabled(IDOK) && w.IsVisible(IDOK)) {
      if (title == L"Loomwise - \u51c6\u5907\u9884\u626b\u63cf") prescanStart = GetTickCount();  // 准备预扫描
      w.Click(IDOK);
      Sleep(300);
      idleSince = GetTickCount();
    } else {
      Sleep(50);
    }
    if (GetTickCount() - idleSince > 120000) {
      Say(L"the wizard made no progress for two minutes: " + Widen(w.Describe()));
      return 1;
    }
  }
  DWORD code = 0;
  w.WaitExit(kWaitMs, &code);
  Say(L"the wizard ended (exit code " + std::to_wstring(code) + L"), " + std::to_wstring(g_shot) + L" pictures");
  // The same prescan by the tool alone, for the wizard's overhead.
  std::wstring snapshot = TempFolder() + L"\\alone.snapshot";
  DWORD alone = TimedRun(L"\"" + install.ProgramFolder() + L"\\snapshot64.exe\" \"" + snapshot +
                         L"\" C:\\ HKEY_LOCAL_MACHINE HKEY_USERS -Loomwise");
  DeleteFileW(snapshot.c_str());
  if (alone && prescanMs)
    Say(L"prescan in the wizard / tool alone: " + std::to_wstring(prescanMs) + L" / " + std::to_wstring(alone) +
        L" ms = " + std::to_wstring(prescanMs * 100 / alone) + L"% (target <= 130%)");
  return installed ? 0 : 1;
}
