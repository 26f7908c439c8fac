// The demo: a whole capture with the project's stand-in tools, from the
// welcome page to Finish, driven the way a user would click through it.
// Every step (and every message box on the way) is saved as a picture.
//
//   demo.exe OUTPUT_FOLDER
//
// Runs under Wine (tools/scripts/demo.sh) or on Windows.
#include <windows.h>

#include <cstdio>
#include <set>
#include <vector>
#include <string>

#include "DemoPictures.h"
#include "WizardDriver.h"

using namespace loomtest;
using namespace loomdemo;

namespace {

// The scan tool's scripted output for the demo: progress written slowly
// enough to be seen, and one warning in the prescan (so the warnings page
// shows). The other tools keep their default behaviour.
const char kScanWithWarning[] =
    "[scan]\n"
    "chunk 96 40\n"
    "out I \u6b63\u5728\u626b\u63cf C:\\\\Windows\\\\System32\\\\drivers\\\\etc\\\\hosts\n"
    "lines 30 I \u6b63\u5728\u626b\u63cf C:\\Program Files\\Common Files\\component\n"
    "out W \u65e0\u6cd5\u8bfb\u53d6 C:\\\\pagefile.sys\uff08\u6587\u4ef6\u6b63\u5728\u4f7f\u7528\uff09\n"
    "lines 30 I \u6b63\u5728\u626b\u63cf HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\key\n";
const char kScanQuiet[] =
    "[scan]\n"
    "chunk 96 40\n"
    "lines 60 I \u6b63\u5728\u626b\u63cf C:\\Program Files\\Demo App\\file\n";
// The comparison and the project generation, slow enough to be pictured
// (their result files are written as by default).
const char kProjectRuns[] =
    "[suggest]\n"
    "out I \u6b63\u5728\u6bd4\u8f83\u9884\u626b\u63cf\u548c\u626b\u63cf\u540e\n"  // 正在比较预扫描和扫描后
    "delay 1500\n"
    "[generate]\n"
    "out I \u6b63\u5728\u4fdd\u5b58\u9879\u76ee\n"  // 正在保存项目
    "delay 1500\n";

// Opens a modal dialog from a page button, pictures it and cancels it.
void ShowDialog(Wizard& w, int button, const std::wstring& what) {
  if (!w.Click(button)) return;
  Popup dlg = w.WaitMessageBox();
  if (!dlg) return;
  Sleep(300);
  Say(L"  picture " + Shot(w, what, dlg.hwnd));
  w.Answer(dlg, IDCANCEL);
}

// The option pages get content before their picture, as a user would give
// them; what cannot stay (the portal would skip the groups page, the picker
// adds no group under Wine) is undone after the picture.
void FillOptionPage(Wizard& w, const std::wstring& title) {
  const std::wstring t = L"Loomwise - ";
  if (title == t + L"\u7ba1\u7406Corvel\u5de5\u4f5c\u533a") {  // portal
    w.Click(IDC_PORTAL_MANAGE);
    Sleep(100);
    w.SetText(IDC_PORTAL_URL, L"https://portal.example.com/corp");
    w.Click(IDC_PORTAL_BASE_UPDATE);
    Sleep(100);
    w.SetText(IDC_PORTAL_BASE_FOLDER, L"D:\\Packages\\Demo App 1.0");
  } else if (title == t + L"\u7ec4") {  // groups
    w.Click(IDC_AUTH_GROUPS_ONLY);
    Sleep(100);
    w.SetText(
        IDC_AUTH_MESSAGE,
        L"\u8bf7\u8054\u7cfb IT \u670d\u52a1\u53f0\u7533\u8bf7\u4f7f\u7528\u6743\u9650\u3002");  // 请联系 IT
                                                                                                 // 服务台申请使用权限。
  } else if (title == t + L"\u9694\u79bb") {  // isolation
    w.Click(IDC_ISOLATION_WRITECOPY);
  } else if (title == t + L"\u6c99\u7bb1") {  // sandbox
    w.Click(IDC_SANDBOX_CUSTOM);
    Sleep(100);
    w.SetText(IDC_SANDBOX_PATH, L"%AppData%\\Demo Sandbox");
  } else if (title == t + L"\u672c\u673a\u6d4f\u89c8\u5668\u91cd\u5b9a\u5411") {  // browser redirection
    w.SetText(IDC_ROUTELLE_LIST, L"www.example.com\r\nintranet.example.com/*.jsp");
  }
}

void AfterOptionPicture(Wizard& w, const std::wstring& title) {
  const std::wstring t = L"Loomwise - ";
  if (title == t + L"\u7ba1\u7406Corvel\u5de5\u4f5c\u533a") w.Click(IDC_PORTAL_MANAGE);  // the groups page follows
  if (title == t + L"\u7ec4") w.Click(IDC_AUTH_EVERYONE);
}

// A second start after a restart: the resume page, then a new capture.
void ShowResume(TestInstall& install) {
  std::wstring snapshot = TempFolder() + L"\\{6A3C1E2B-0D4F-4C55-9E7A-2B1D8C0F4A11}.snapshot";
  WriteBytes(snapshot, "demo prescan");
  reg::WriteString(
      reg::kRunOnceKey, reg::kResumeValue,
      L"\"" + install.ProgramPath() + L"\" \"" + snapshot + L"\" \"C:\\ HKEY_LOCAL_MACHINE HKEY_USERS\" 0");
  Wizard w;
  if (!w.Start(install) || !w.WaitForMainWindow()) return;
  Sleep(500);
  Say(L"  picture " + Shot(w, w.Title() + L" (restart)"));
  Say(L"step: " + w.Title() + L" (after a restart)");
  w.Click(IDC_CONTINUE_NEW);  // start a new capture
  w.Next(L"Loomwise - \u51c6\u5907\u9884\u626b\u63cf");
  w.CloseByTitleBar();
  w.WaitExit();
  DeleteFileW(snapshot.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fwprintf(stderr, L"usage: demo.exe OUTPUT_FOLDER\n");
    return 2;
  }
  g_out = argv[1];
  CreateDirectoryW(g_out.c_str(), nullptr);

  CleanRegistry clean;
  reg::WriteString(reg::kSettingsKey, L"OpenFolderOnFinish", L"0");  // no file manager at the end
  InstallOptions options;
  options.branding = Place::Beside;
  options.buildTools = Place::Beside;
  options.scenario = std::string(kScanWithWarning) + kProjectRuns;
  TestInstall install(options);
  if (!install.ok()) {
    fwprintf(stderr, L"cannot prepare the installation: %ls\n", install.error().c_str());
    return 1;
  }
  // The executables the suggested project names, so that the entry points show their icons.
  if (!install.InstallSampleApplication()) Say(L"the sample application could not be installed");
  Wizard w;
  if (!w.Start(install) || !w.WaitForMainWindow()) {
    fwprintf(stderr, L"the wizard did not start\n");
    return 1;
  }

  // Walk: each new step is pictured once, message boxes too (answered with
  // Yes or OK); the driver presses Next only on a page this has seen and
  // waits out the tool steps.
  std::set<std::wstring> seen;
  auto look = [&] {
    if (!w.Running()) return true;
    while (Popup box = w.FindPopup()) {
      Sleep(300);  // let it paint
      Say(L"  picture " + Shot(w, L"message " + box.caption, box.hwnd));
      Say(L"dialog: " + box.caption);
      if (!w.Answer(box, IDYES)) w.Answer(box, IDOK);
    }
    // A step is its title and its page (the postscan and the comparison
    // share a title; the progress page's caption tells them apart).
    std::wstring title = w.Title();
    HWND page = w.CurrentPage();
    std::wstring step =
        title + L"|" + std::to_wstring(reinterpret_cast<uintptr_t>(page)) + L"|" + w.Text(IDC_PROGRESS_GROUP);
    if (title.empty() || seen.count(step)) return false;
    // The build page is pictured once the build has ended, with its output.
    if (page && GetDlgItem(page, IDC_BUILD_OUTPUT) && IsWindowVisible(GetDlgItem(page, IDC_BUILD_OUTPUT)))
      WaitUntil([&] { return w.IsEnabled(IDOK); }, 60000);
    FillOptionPage(w, title);
    Sleep(400);  // let the page paint (and a tool show its progress)
    // A step that has passed meanwhile is not pictured under its name.
    if (w.Title() != title || w.CurrentPage() != page) return false;
    std::wstring picture = Shot(w, title);
    if (w.Title() != title || w.CurrentPage() != page) {  // changed while pictured
      DeleteFileW(picture.c_str());
      --g_shot;
      return false;
    }
    seen.insert(step);
    Say(L"step: " + title);
    Say(L"  picture " + picture);
    AfterOptionPicture(w, title);
    if (title == L"Loomwise - \u51c6\u5907\u9884\u626b\u63cf") ShowDialog(w, IDC_CLEANPC_LOCATIONS, L"scan locations");
    if (title == L"Loomwise - \u5b89\u88c5\u5e94\u7528\u7a0b\u5e8f")
      ShowDialog(w, IDC_POST_IE, L"browser entry points");
    if (title == L"Loomwise - \u9884\u626b\u63cf\u8b66\u544a")
      install.WriteScenario(std::string(kScanQuiet) + kProjectRuns);
    if (title == L"Loomwise - \u5165\u53e3\u70b9" &&
        w.Click(IDC_ENTRY_SHOW_DEBUG)) {  // the entry points for debugging too
      Sleep(400);
      Say(L"  picture " + Shot(w, title + L" (debugging)"));
      w.Click(IDC_ENTRY_SHOW_DEBUG);
      Sleep(200);
    }
    return false;
  };
  if (testing::AssertionResult walked = w.NextUntil(look, 600000); !walked) {
    Say(L"the walk stopped: " + Widen(walked.message()));
    return 1;
  }
  DWORD code = 0;
  w.WaitExit(kWaitMs, &code);
  Say(L"the wizard ended (exit code " + std::to_wstring(code) + L")");
  // The built project outlives the demo's installation.
  for (const std::wstring& line : install.ToolLog()) {
    std::vector<std::wstring> args = SplitCommandLine(line);
    if (args.size() >= 4 && args[2] == L"-GenerateProject") {
      CopyTree(args[3], g_out + L"\\project");
      Say(L"the built project: " + g_out + L"\\project");
    }
  }
  ShowResume(install);
  Say(std::to_wstring(g_shot) + L" pictures");
  return 0;
}
