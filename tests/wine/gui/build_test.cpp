// Black-box: the ready-to-build page and the build page. The three build
// tools' command lines and where they are started from, their output shown
// live, failing, crashing and hanging tools, Stop, a skipped build, the
// output-folder message, the build.bat rewrite after Package.ini was opened,
// and Finish.
#include "WizardDriver.h"

#include <functional>

using namespace loomtest;

namespace {

const std::wstring kComplete = L"---------------------------------------------\r\n生成完成";
const std::wstring kFailed = L"*** 生成失败 ***";
const std::wstring kStopped = L"---------------------------------------------\r\n生成已停止";
const std::wstring kCannotCreateFolder = L"无法创建目录。检查Package.ini - outdir";

// A shell verb's command under HKLM\SOFTWARE\Classes, restored afterwards.
struct ShellCommand : MachineValue {
  explicit ShellCommand(const std::wstring& type)
      : MachineValue(L"SOFTWARE\\Classes\\" + type + L"\\shell\\open\\command", nullptr) {}
  void Set(const std::wstring& value) const {
    // The command alone, without the DDE conversation of the system's handler.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (Key().substr(0, Key().rfind(L'\\')) + L"\\ddeexec").c_str());
    MachineValue::Set(value);
  }
};

BOOL CALLBACK FindBuildPage(HWND child, LPARAM found) {
  if (!GetDlgItem(child, IDC_BUILD_GROUP)) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

class BuildTest : public WizardTest {
 protected:
  // A fresh wizard walked to the ready-to-build page; the build scenario
  // follows the capture's quiet runs.
  static InstallOptions Tools(Place where = Place::Beside) {
    InstallOptions o;
    o.buildTools = where;
    return o;
  }

  void StartAtReadyToBuild(const std::string& buildScenario, InstallOptions o = Tools(),
                           const std::function<Env(const TestInstall&)>& env = nullptr) {
    w_.Kill();
    CleanRegistry::Clean();
    reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
    reg::WriteString(reg::kSettingsKey, L"OpenFolderOnFinish", L"0");
    o.scenario = "[scan]\n[suggest]\n[generate]\n" + buildScenario;
    ASSERT_NO_FATAL_FAILURE(MakeInstall(o));
    ASSERT_TRUE(w_.Start(*install_, L"", env ? env(*install_) : Env{}));
    ASSERT_TRUE(w_.WaitForMainWindow());
    ASSERT_TRUE(w_.NextUntil(kReadyToBuild));
    std::vector<std::wstring> generate = SplitCommandLine(w_.ToolLog().back());
    ASSERT_GE(generate.size(), 4u);
    project_ = generate[3];
    ASSERT_TRUE(FolderExists(project_));
  }

  // The command lines of the build tools (after the four scan-tool runs).
  std::vector<std::wstring> BuildRuns() {
    std::vector<std::wstring> log = w_.ToolLog();
    return log.size() > 4 ? std::vector<std::wstring>(log.begin() + 4, log.end()) : std::vector<std::wstring>{};
  }

  testing::AssertionResult WaitOutputEndsWith(const std::wstring& tail, DWORD ms = kWaitMs) {
    if (WaitUntil([&] { return EndsWith(w_.Text(IDC_BUILD_OUTPUT), tail); }, ms)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "output: " << Narrow(w_.Text(IDC_BUILD_OUTPUT));
  }

  void ExpectBuildEnded() {
    EXPECT_EQ(w_.Text(IDC_BACK), L"返回");
    EXPECT_TRUE(w_.IsEnabled(IDC_BACK));
    EXPECT_TRUE(w_.IsEnabled(IDOK));
    EXPECT_FALSE(FileExists(project_ + L"\\bin\\Package.ro.tvr"));
    EXPECT_FALSE(FileExists(project_ + L"\\bin\\Package.ro.tvr.thfd"));
  }

  // The build page's output, also while another page is shown.
  std::wstring BuildPageOutput() {
    HWND found = nullptr;
    EnumChildWindows(w_.MainWindow(), FindBuildPage, reinterpret_cast<LPARAM>(&found));
    return found ? Wizard::TextIn(found, IDC_BUILD_OUTPUT) : std::wstring();
  }

  // A built package's attribute table as loomctl prints it.
  std::string Attributes(const std::wstring& package) {
    Captured c = RunCaptured(Quoted(BuildFolder() + L"\\loomctl.exe") + L" package " + Quoted(package));
    EXPECT_EQ(c.exitCode, 0u) << c.output;
    return c.output;
  }
  // Finish with the open-folder box ticked: the wizard ends, the choice is
  // stored, and the shell (the stand-in) is asked to open `folder`.
  void FinishOpening(const std::wstring& folder) {
    const size_t before = BuildRuns().size();
    ASSERT_TRUE(w_.Click(IDC_BUILD_OPEN_FOLDER));
    ASSERT_TRUE(w_.Click(IDOK));
    ASSERT_TRUE(w_.WaitExit());
    EXPECT_EQ(reg::ReadString(reg::kSettingsKey, L"OpenFolderOnFinish"), L"1");
    ASSERT_TRUE(WaitUntil([&] { return BuildRuns().size() == before + 1; })) << "the folder was not opened";
    std::vector<std::wstring> opened = SplitCommandLine(BuildRuns().back());
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(SamePath(opened[1], folder)) << Narrow(opened[1]);
  }
  void SetOutDir(const std::wstring& value) {
    WritePrivateProfileStringW(L"BuildOptions", L"OutDir", value.c_str(), (project_ + L"\\Package.ini").c_str());
  }

  std::wstring project_;
};

}  // namespace

TEST_F(BuildTest, ThreeToolsInOrderFromTheirFolder) {
  struct Case {
    const char* what;
    Place tools;
    bool origin, bin;  // QM_ORIGIN and QUILLMARK_BIN set
  } cases[] = {
      {"program folder", Place::Beside, false, false},
      {"QUILLMARK_BIN with a trailing backslash", Place::Modules1, false, true},
      {"QM_ORIGIN wins over QUILLMARK_BIN", Place::Beside, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(
        StartAtReadyToBuild("[any]\neol lf\nout working\n", Tools(c.tools), [&](const TestInstall& in) {
          Env env{{L"QM_ORIGIN", L""}, {L"QUILLMARK_BIN", L""}};
          if (c.origin) env[L"QM_ORIGIN"] = in.Root() + L"\\pkg\\Package.exe";
          if (c.bin) env[L"QUILLMARK_BIN"] = in.FolderFor(Place::Modules1) + L"\\";
          return env;
        }));
    ASSERT_EQ(w_.Text(IDOK), L"生成");
    ASSERT_TRUE(w_.Next(kBuilding));
    ASSERT_TRUE(WaitOutputEndsWith(kComplete));
    const std::wstring tools = install_->FolderFor(c.tools);
    std::vector<std::wstring> runs = BuildRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0], Quoted(tools + L"\\vregtool.exe") + L" " + Quoted(L"bin\\Package.ro.tvr") + L" ImportDir " +
                           Quoted(project_) + L" -Loomwise");
    EXPECT_EQ(runs[1], Quoted(tools + L"\\vftool.exe") + L" " + Quoted(L"bin\\Package.ro.tvr") + L" ImportDir " +
                           Quoted(project_) + L" -Loomwise");
    EXPECT_EQ(runs[2], Quoted(tools + L"\\tlink.exe") + L" " + Quoted(project_ + L"\\Package.ini") + L" -OutDir " +
                           Quoted(L"bin") + L" -Loomwise");
    EXPECT_EQ(w_.Text(IDC_BUILD_OUTPUT), L"working\r\nworking\r\nworking\r\n" + kComplete);
    ExpectBuildEnded();
    // The link tool's packages: one per enabled entry point.
    EXPECT_TRUE(FileExists(project_ + L"\\bin\\Demo App.exe"));
    EXPECT_TRUE(FileExists(project_ + L"\\bin\\Demo Settings.exe"));
    EXPECT_FALSE(FileExists(project_ + L"\\bin\\Demo Help.exe"));
  }

  // Finish without opening the folder: the setting is stored, the temporary
  // files go, the program ends.
  const std::wstring working = w_.WorkingProject();
  EXPECT_TRUE(FileExists(working));
  EXPECT_FALSE(w_.IsChecked(IDC_BUILD_OPEN_FOLDER));
  ASSERT_TRUE(w_.Click(IDOK));
  DWORD code = 1;
  ASSERT_TRUE(w_.WaitExit(kWaitMs, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FileExists(working));
  EXPECT_EQ(reg::ReadString(reg::kSettingsKey, L"OpenFolderOnFinish"), L"0");
}

TEST_F(BuildTest, OutputShowsLiveAndStopEndsTheRunningTool) {
  ASSERT_NO_FATAL_FAILURE(StartAtReadyToBuild(
      "[vregtool]\neol lf\nout vregtool: importing\noutraw 10%\\r20%\\r30%\nwaitfile go.flag\nout \\r40%\nout done\n"
      "[vftool]\neol lf\nout vftool: copying\npidfile vftool.pid\nhang\n"));
  ASSERT_TRUE(w_.Next(kBuilding));
  EXPECT_EQ(w_.Text(IDC_BACK), L"停止");
  EXPECT_FALSE(w_.IsEnabled(IDOK));
  // While the tool waits, what it wrote is there; the progress line rewritten.
  ASSERT_TRUE(WaitOutputEndsWith(L"vregtool: importing\r\n30%"));
  WriteBytes(install_->Path(L"go.flag"), "go");
  ASSERT_TRUE(WaitOutputEndsWith(L"vregtool: importing\r\n40%\r\ndone\r\nvftool: copying\r\n"));
  std::optional<DWORD> pid;
  ASSERT_TRUE(WaitUntil([&] { return (pid = ReadPidFile(install_->Path(L"vftool.pid"))).has_value(); }));

  // Stop: the tool ends, the closing message follows its last line, the
  // ready-to-build page is shown.
  ASSERT_TRUE(w_.Back(kReadyToBuild));
  EXPECT_TRUE(WaitProcessGone(*pid));
  EXPECT_TRUE(EndsWith(BuildPageOutput(), L"vftool: copying\r\n" + kStopped)) << Narrow(BuildPageOutput());
  EXPECT_EQ(w_.Text(IDOK), L"生成");
  EXPECT_EQ(BuildRuns().size(), 2u);

  // A new build starts with empty output.
  DeleteFileW(install_->Path(L"vftool.pid").c_str());
  ASSERT_TRUE(w_.Next(kBuilding));
  ASSERT_TRUE(WaitUntil([&] { return ReadPidFile(install_->Path(L"vftool.pid")).has_value(); }));
  ASSERT_TRUE(WaitOutputEndsWith(L"vftool: copying\r\n"));
  EXPECT_EQ(w_.Text(IDC_BUILD_OUTPUT).find(L"生成已停止"), std::wstring::npos);
  EXPECT_EQ(w_.Text(IDC_BUILD_OUTPUT).find(L"vregtool: importing"),
            w_.Text(IDC_BUILD_OUTPUT).rfind(L"vregtool: importing"));
  ASSERT_TRUE(w_.Back(kReadyToBuild));
  EXPECT_FALSE(FileExists(project_ + L"\\bin\\Package.ro.tvr"));
}

TEST_F(BuildTest, LargeOutputShowsItsEndAndKeepsTheLinesBeforeIt) {
  // 20,000 lines at once: more than the control keeps, so the page shows the
  // last lines first and puts the ones above back while the tool waits; a
  // progress line rewritten afterwards still replaces only itself.
  ASSERT_NO_FATAL_FAILURE(
      StartAtReadyToBuild("[vregtool]\neol lf\nlines 20000 compiling unit\\r50%\\rcompiled unit\noutraw working 10%\n"
                          "waitfile go.flag\nout \\rworking 100%\n"));
  ASSERT_TRUE(w_.Next(kBuilding));
  ASSERT_TRUE(WaitOutputEndsWith(L"compiled unit 20000\r\nworking 10%"));
  // Whole lines, numbered without a gap up to the last, and at least 100,000
  // characters of them once the page has caught up.
  auto contiguous = [](const std::wstring& text, size_t* count) {
    size_t at = text.find(L"compiled unit "), first = 0, n = 0;
    if (at != 0) return false;
    for (size_t end; (end = text.find(L"\r\n", at)) != std::wstring::npos; at = end + 2, ++n) {
      std::wstring line = text.substr(at, end - at);
      if (line.rfind(L"compiled unit ", 0) != 0) break;
      size_t number = std::stoul(line.substr(14));
      if (n > 0 && number != first + n) return false;
      if (n == 0) first = number;
    }
    *count = n;
    return first + n == 20001;
  };
  // The view stays at the end: the last character is inside the control.
  auto viewAtEnd = [&] {
    HWND edit = w_.Control(IDC_BUILD_OUTPUT);
    RECT client{};
    GetClientRect(edit, &client);
    LRESULT at = SendMessageW(edit, EM_POSFROMCHAR, SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0) - 1, 0);
    return short(HIWORD(at)) >= 0 && short(HIWORD(at)) < client.bottom;
  };
  size_t lines = 0;
  EXPECT_TRUE(WaitUntil([&] { return contiguous(w_.Text(IDC_BUILD_OUTPUT), &lines) && lines * 20 > 100000; }))
      << lines << " lines";
  EXPECT_TRUE(viewAtEnd());
  WriteBytes(install_->Path(L"go.flag"), "go");
  ASSERT_TRUE(WaitOutputEndsWith(kComplete));
  std::wstring shown = w_.Text(IDC_BUILD_OUTPUT);
  EXPECT_NE(shown.find(L"compiled unit 20000\r\nworking 100%\r\n"), std::wstring::npos);
  EXPECT_EQ(shown.find(L"working 10%"), std::wstring::npos);
  EXPECT_TRUE(contiguous(shown, &lines));
  EXPECT_TRUE(viewAtEnd());
}

TEST_F(BuildTest, ToolsThatFailCrashOrCannotStartEndTheBuild) {
  struct Case {
    const char* what;
    std::string scenario;
    bool toolsPresent;
    size_t runs;
  } cases[] = {
      {"vftool exits with 3", "[any]\n[vftool]\neol lf\nout vftool: broken\nexit 3\n", true, 2},
      {"vregtool crashes", "[vregtool]\ncrash\n[any]\n", true, 1},
      {"no build tools", "[any]\n", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(StartAtReadyToBuild(c.scenario, Tools(c.toolsPresent ? Place::Beside : Place::Absent)));
    ASSERT_TRUE(w_.Click(IDOK));
    if (!c.toolsPresent) {
      // The missing file by its full path, and the folder looked in with where it came from.
      Popup box = w_.WaitMessageBox();
      EXPECT_NE(box.text.find(install_->ProgramFolder() + L"\\vregtool.exe\r\n"), std::wstring::npos)
          << Narrow(box.text);
      EXPECT_NE(box.text.find(
                    L"\uff08Loomwise.exe \u6240\u5728\u7684\u6587\u4ef6\u5939\uff09"),  // （Loomwise.exe 所在的文件夹）
                std::wstring::npos);
      Sleep(1000);  // ticks while the box is open must not start the next tool
      ASSERT_TRUE(w_.Answer(box, IDOK));
    }
    ASSERT_TRUE(WaitOutputEndsWith(kFailed)) << c.what;
    EXPECT_EQ(w_.Title(), kBuilding);
    EXPECT_EQ(BuildRuns().size(), c.runs);
    ExpectBuildEnded();
    Sleep(600);
    EXPECT_FALSE(w_.FindPopup()) << "no further message";
    EXPECT_EQ(BuildRuns().size(), c.runs);
    // Back after the end leads to the ready-to-build page.
    ASSERT_TRUE(w_.Click(IDC_BACK));
    EXPECT_TRUE(w_.WaitForTitle(kReadyToBuild));
  }
}

TEST_F(BuildTest, SkippedBuildOffersFinishOnly) {
  ShellCommand folders(L"Folder");
  ASSERT_NO_FATAL_FAILURE(StartAtReadyToBuild("[any]\n"));
  install_->WriteScenario("[scan]\nresult no\n[any]\n");  // the shell's folder handler writes nothing
  folders.Set(Quoted(install_->ProgramFolder() + L"\\snapshot.exe") + L" \"%1\"");
  // The choice is stored at once and turns Build into Next.
  ASSERT_TRUE(w_.Click(IDC_READY_SKIP_BUILD));
  EXPECT_TRUE(WaitUntil([&] { return w_.Text(IDOK) == L"下一步"; }));
  EXPECT_EQ(reg::ReadString(reg::kSettingsKey, L"SkipBuild"), L"1");
  ASSERT_TRUE(w_.Next(kBuildSkipped));
  EXPECT_FALSE(w_.IsVisible(IDC_BUILD_OUTPUT));
  EXPECT_FALSE(w_.IsVisible(IDC_BUILD_GROUP));
  EXPECT_EQ(w_.Text(IDC_BACK), L"返回");
  EXPECT_TRUE(w_.IsEnabled(IDOK));
  EXPECT_EQ(w_.Text(IDC_BUILD_OPEN_FOLDER), L"&Open project folder after clicking Finish");
  // Back and forth runs nothing.
  ASSERT_TRUE(w_.Back(kReadyToBuild));
  ASSERT_TRUE(w_.Next(kBuildSkipped));
  EXPECT_TRUE(BuildRuns().empty());
  // The generation was told the proposed location; Finish removes the
  // temporary files and the resume value.
  const std::vector<std::wstring> log = w_.ToolLog();
  const std::wstring working = w_.WorkingProject();
  EXPECT_EQ(log[3], Quoted(install_->ProgramFolder() + L"\\snapshot64.exe") + L" " + Quoted(working) +
                        L" -GenerateProject " + Quoted(install_->ProgramFolder() + L"\\Captures\\Demo App") +
                        L" -Loomwise");
  ASSERT_NO_FATAL_FAILURE(FinishOpening(project_));
  for (const std::wstring& file : {SplitCommandLine(log[0])[1], SplitCommandLine(log[1])[1], working})
    EXPECT_FALSE(FileExists(file)) << Narrow(file);
  EXPECT_FALSE(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue).has_value());
}

TEST_F(BuildTest, FinishOpensTheOutputFolder) {
  ShellCommand folders(L"Folder");
  ASSERT_NO_FATAL_FAILURE(StartAtReadyToBuild("[any]\n"));
  install_->WriteScenario("[scan]\nresult no\n[any]\n");
  folders.Set(Quoted(install_->ProgramFolder() + L"\\snapshot.exe") + L" \"%1\"");
  SetOutDir(L"out\\x");
  // A portal-managed project with a separate data container.
  const std::wstring ini = project_ + L"\\Package.ini";
  WritePrivateProfileStringW(L"BuildOptions", L"AppID", L"genid", ini.c_str());
  WritePrivateProfileStringW(L"BuildOptions", L"VersionID", L"5", ini.c_str());
  WritePrivateProfileStringW(L"BuildOptions", L"PrimaryDataContainer", L"Demo App.dat", ini.c_str());
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(WaitOutputEndsWith(kComplete));
  std::vector<std::wstring> runs = BuildRuns();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_NE(runs[0].find(Quoted(L"out\\x\\Package.ro.tvr")), std::wstring::npos);
  EXPECT_NE(runs[2].find(L"-OutDir " + Quoted(L"out\\x")), std::wstring::npos);
  EXPECT_FALSE(FileExists(project_ + L"\\out\\x\\Package.ro.tvr"));
  // Each package carries the table the portal page reads of a base package.
  std::string data = Attributes(project_ + L"\\out\\x\\Demo App.dat");
  std::string app = Attributes(project_ + L"\\out\\x\\Demo App.exe");
  EXPECT_NE(data.find("ReadOnlyData=Package.ro.tvr"), std::string::npos) << data;
  EXPECT_NE(data.find("AppID={"), std::string::npos) << data;
  EXPECT_NE(data.find("VersionID=5"), std::string::npos) << data;
  EXPECT_NE(data.find("InventoryName=Demo App"), std::string::npos) << data;
  EXPECT_EQ(app.find("ReadOnlyData"), std::string::npos) << app;
  EXPECT_NE(app.find("AppID={"), std::string::npos) << app;
  ASSERT_NO_FATAL_FAILURE(FinishOpening(project_ + L"\\out\\x"));
}

TEST_F(BuildTest, OutputFolderThatCannotBeMade) {
  struct Case {
    std::wstring outDir;
    size_t runs;  // an unusable name runs no tool; a blocked folder lets the tools report
    std::wstring closing;
  } cases[] = {
      {L"out|x", 0, kFailed},
      {L"blocker", 3, kComplete},
      {L"", 3, kComplete},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.outDir));
    ASSERT_NO_FATAL_FAILURE(StartAtReadyToBuild("[any]\n"));
    SetOutDir(c.outDir);
    WriteBytes(project_ + L"\\blocker", "a file where the folder should be");
    WriteBytes(project_ + L"\\Package.ro.tvr", "not the build's");
    const std::wstring root = project_.substr(0, 3) + L"Package.ro.tvr";
    WriteBytes(root, "not the build's");
    ASSERT_TRUE(w_.Click(IDOK));
    Popup box = w_.WaitMessageBox();
    EXPECT_EQ(box.text, kCannotCreateFolder);
    EXPECT_EQ(box.caption, L"Loomwise");
    Sleep(800);  // ticks while the message is open do nothing
    EXPECT_TRUE(BuildRuns().empty());
    ASSERT_TRUE(w_.Answer(box, IDOK));
    ASSERT_TRUE(WaitOutputEndsWith(c.closing));
    EXPECT_EQ(BuildRuns().size(), c.runs);
    EXPECT_TRUE(FileExists(project_ + L"\\Package.ro.tvr")) << "nothing outside the output folder is deleted";
    EXPECT_TRUE(FileExists(root)) << "nothing outside the output folder is deleted";
    DeleteFileW(root.c_str());
    DeleteFileW((root + L".thfd").c_str());
  }
}

TEST_F(BuildTest, BuildScriptRewrittenAfterPackageIniWasOpened) {
  // (BuildPlan.BuildScriptRewrite holds which folders need it and the lines.)
  ShellCommand iniFiles(L"inifile");
  struct Case {
    bool opened;
    std::wstring target;  // empty: build.bat stays as generated
    Place branding = Place::Beside;
  } cases[] = {
      {true, L"", Place::Absent},  // no template: a warning, the old script kept
      {true, L"set TARGET_DIR=%PROJECT_DIR%\\out\r\n"},
      {false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.target));
    InstallOptions o = Tools();
    o.branding = c.branding;
    ASSERT_NO_FATAL_FAILURE(StartAtReadyToBuild("[any]\n", o));
    install_->WriteScenario("[scan]\nresult no\n[any]\n");  // the shell's editor writes nothing
    iniFiles.Set(Quoted(install_->ProgramFolder() + L"\\snapshot.exe") + L" \"%1\"");
    const std::wstring script = project_ + L"\\build.bat";
    std::optional<std::string> generated = ReadBytes(script);
    ASSERT_TRUE(generated.has_value());
    SetOutDir(L"out");
    if (c.opened) {
      ASSERT_TRUE(w_.Click(IDC_READY_EDIT_INI));
      ASSERT_TRUE(w_.WaitToolRuns(5));
      std::vector<std::wstring> editor = SplitCommandLine(BuildRuns().back());
      ASSERT_EQ(editor.size(), 2u);
      EXPECT_TRUE(SamePath(editor[1], project_ + L"\\Package.ini"));
    }
    size_t before = BuildRuns().size();
    ASSERT_TRUE(w_.Click(IDOK));
    if (c.branding == Place::Absent) {
      ASSERT_TRUE(w_.AnswerMessage(L"无法使用新outdir设置更新批处理文件", IDOK, L"Warning"));
    }
    ASSERT_TRUE(w_.WaitForTitle(kBuilding));
    ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDOK); }));
    EXPECT_EQ(BuildRuns().size(), before + 3);
    std::optional<std::string> now = ReadBytes(script);
    ASSERT_TRUE(now.has_value());
    if (c.target.empty()) {
      EXPECT_EQ(*now, *generated);
      continue;
    }
    std::wstring text = Widen(*now);
    EXPECT_NE(text.find(c.target + L"\r\n"), std::wstring::npos) << *now;  // the template's own line end follows
    EXPECT_NE(text.find(Quoted(install_->ProgramFolder() + L"\\vregtool.exe")), std::wstring::npos) << *now;
    EXPECT_EQ(text.find(L"%INSTALLDIR%"), std::wstring::npos);
  }
}
