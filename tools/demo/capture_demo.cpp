// The capture demo: the real wizard with the real capture tool in place of
// the scripted stand-in, capturing the sample installer in a fresh prefix.
// The stand-in build tools build the generated project. Every step is saved
// as a picture.
//
//   capture_demo.exe OUTPUT_FOLDER
//   capture_demo.exe OUTPUT_FOLDER WIZARD.exe INSTALLER.exe
// The second form walks a wizard installed elsewhere (the folder `make run`
// prepares, an unpacked release zip) with its own tools, running INSTALLER /S
// on the install page; it succeeds only when the project was built.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

#include "DemoPictures.h"
#include "WizardDriver.h"

using namespace loomtest;
using namespace loomdemo;

namespace {

// The page's control when it is shown, else null.
HWND Shown(HWND page, int id) {
  HWND control = page ? GetDlgItem(page, id) : nullptr;
  return control && IsWindowVisible(control) ? control : nullptr;
}

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

// Runs the sample installer silently, as the user would install between the scans.
bool InstallSample(const std::wstring& installer) {
  std::wstring cl = L"\"" + installer + L"\" /S";
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

// A picture's name: the page's title, and for the tool steps (the postscan
// and the comparison share a title) what the progress box says it is doing.
std::wstring StepName(Wizard& w, HWND page) {
  std::wstring name = w.Title();
  if (HWND group = Shown(page, IDC_PROGRESS_GROUP)) {
    wchar_t text[128] = {};
    GetWindowTextW(group, text, 128);
    if (*text) name += std::wstring(L" (") + text + L")";
  }
  return name;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 4) {
    fwprintf(stderr, L"usage: capture_demo.exe OUTPUT_FOLDER [WIZARD.exe INSTALLER.exe]\n");
    return 2;
  }
  const bool elsewhere = argc == 4;
  const std::wstring installer = elsewhere ? argv[3] : BuildFolder() + L"\\sample\\SampleSetup.exe";
  g_out = argv[1];
  CreateDirectoryW(g_out.c_str(), nullptr);

  CleanRegistry clean;
  reg::WriteString(reg::kSettingsKey, L"OpenFolderOnFinish", L"0");  // no file manager at the end
  InstallOptions options;
  options.branding = Place::Beside;
  options.buildTools = Place::Beside;
  options.snapshot = Place::Absent;
  options.snapshot64 = Place::Absent;
  TestInstall install(options);
  if (!install.ok() || (!elsewhere && !install.Install(L"capture\\snapshot64.exe", Place::Beside, L"snapshot64.exe"))) {
    fwprintf(stderr, L"cannot prepare the installation: %ls\n", install.error().c_str());
    return 1;
  }
  // The same prescan by the tool alone, for the wizard's overhead: the
  // better of two runs on the tree the wizard's prescan will see.
  std::wstring snapshot = TempFolder() + L"\\alone.snapshot";
  DWORD alone = 0;
  for (int run = 0; run < 2 && !elsewhere; ++run) {
    DWORD took = TimedRun(L"\"" + install.ProgramFolder() + L"\\snapshot64.exe\" \"" + snapshot +
                          L"\" C:\\ HKEY_LOCAL_MACHINE HKEY_USERS -Loomwise");
    if (took && (!alone || took < alone)) alone = took;
  }
  DeleteFileW(snapshot.c_str());
  Wizard w;
  if (!(elsewhere ? w.StartProgram(argv[2]) : w.Start(install)) || !w.WaitForMainWindow()) {
    fwprintf(stderr, L"the wizard did not start\n");
    return 1;
  }
  // Walk: each new step is pictured once it is steady, message boxes too
  // (answered with OK or Yes); the driver presses Next only on a page this
  // has seen and waits out the tool steps. The sample is installed on the
  // install page.
  const std::wstring kInstallPage = L"Loomwise - \u5b89\u88c5\u5e94\u7528\u7a0b\u5e8f";  // 安装应用程序
  const std::wstring kPrescanReady = L"Loomwise - \u51c6\u5907\u9884\u626b\u63cf";       // 准备预扫描
  std::set<std::wstring> seen;
  std::wstring projectFolder;
  bool installed = false, built = false;
  DWORD prescanStart = 0, prescanMs = 0;
  auto answerBoxes = [&] {
    while (Popup box = w.FindPopup()) {
      Sleep(300);  // let it paint
      Say(L"dialog: " + box.caption + L": " + box.text);
      Say(L"  picture " + Shot(w, L"message " + box.caption, box.hwnd));
      if (!w.Answer(box, IDYES)) w.Answer(box, IDOK);
    }
  };
  auto look = [&] {
    if (!w.Running()) return true;
    answerBoxes();
    std::wstring title = w.Title();
    HWND page = w.CurrentPage();
    if (title == kInstallPage && prescanStart) {
      prescanMs = GetTickCount() - prescanStart;
      Say(L"  prescan took " + std::to_wstring(prescanMs) + L" ms from Next to the install page");
      prescanStart = 0;
    }
    std::wstring name = StepName(w, page);
    std::wstring step = name + L"|" + std::to_wstring(reinterpret_cast<uintptr_t>(page));
    // Next may follow a look at a seen step: the location as the user left
    // it, and when the prescan starts.
    auto beforeNext = [&] {
      if (Shown(page, IDC_LOCATION_PATH)) projectFolder = w.Text(IDC_LOCATION_PATH);
      if (title == kPrescanReady) prescanStart = GetTickCount();
      return false;
    };
    if (title.empty()) return false;
    if (seen.count(step)) return beforeNext();
    // The build page is pictured once the build has ended, with its output;
    // a message the build opens (a missing build tool) is pictured and answered.
    if (Shown(page, IDC_BUILD_OUTPUT))
      built = WaitUntil(
          [&] {
            answerBoxes();
            return w.IsEnabled(IDOK);
          },
          300000);
    // Let the page paint; a tool's page may pass quickly, so less for it.
    Sleep(Shown(page, IDC_PROGRESS_GROUP) ? 150 : 400);
    // A step that has passed meanwhile is not pictured under its name.
    if (w.Title() != title || w.CurrentPage() != page) return false;
    std::wstring picture = Shot(w, name);
    if (w.Title() != title || w.CurrentPage() != page) {  // changed while pictured
      DeleteFileW(picture.c_str());
      --g_shot;
      return false;
    }
    seen.insert(step);
    Say(L"step: " + name);
    Say(L"  picture " + picture);
    if (title == kInstallPage && !installed) {
      installed = InstallSample(installer);
      Say(installed ? L"  the sample application was installed" : L"  the sample installer failed");
    }
    return beforeNext();
  };
  if (testing::AssertionResult walked = w.NextUntil(look, 900000); !walked) {
    Say(L"the walk stopped: " + Widen(walked.message()));
    return 1;
  }
  DWORD code = 0;
  w.WaitExit(kWaitMs, &code);
  Say(L"the wizard ended (exit code " + std::to_wstring(code) + L"), " + std::to_wstring(g_shot) + L" pictures");
  for (const std::wstring& line : install.ToolLog()) Say(L"build tool: " + line);
  // The wizard cleans up after itself: no snapshot stays in the temp folder.
  WIN32_FIND_DATAW fd;
  HANDLE found = FindFirstFileW((TempFolder() + L"\\*.snapshot*").c_str(), &fd);
  bool leftovers = found != INVALID_HANDLE_VALUE;
  if (leftovers) {
    do Say(L"left in the temp folder: " + std::wstring(fd.cFileName));
    while (FindNextFileW(found, &fd));
    FindClose(found);
  } else {
    Say(L"no snapshot left in the temp folder");
  }
  // The generated and built project outlives the demo's installation.
  bool copied = false;
  if (!projectFolder.empty() &&
      GetFileAttributesW((projectFolder + L"\\Package.ini").c_str()) != INVALID_FILE_ATTRIBUTES) {
    CopyTree(projectFolder, g_out + L"\\project");
    copied = true;
    Say(L"the generated project " + projectFolder + L" is copied to " + g_out + L"\\project");
  } else {
    Say(L"no generated project in \"" + projectFolder + L"\"");
  }
  if (alone && prescanMs)
    Say(L"prescan in the wizard / tool alone: " + std::to_wstring(prescanMs) + L" / " + std::to_wstring(alone) +
        L" ms = " + std::to_wstring(prescanMs * 100 / alone) + L"% (target <= 130%)");
  // Built means packages in the output folder, not only a build page that ended.
  HANDLE package = copied ? FindFirstFileW((g_out + L"\\project\\bin\\*.exe").c_str(), &fd) : INVALID_HANDLE_VALUE;
  bool packages = package != INVALID_HANDLE_VALUE;
  if (packages) FindClose(package);
  Say(packages ? L"the project was built" : L"no built package in the project's bin folder");
  return installed && built && packages && !leftovers ? 0 : 1;
}
