// Black-box tests of Loomwise.exe: the capture phase (welcome, prescan,
// install, postscan, comparison), the scan tool's command lines and the
// message boxes of failed steps.
#include "WizardDriver.h"

using namespace loomtest;

namespace {

// The 64-bit wizard runs on 64-bit Windows, so it prefers snapshot64.exe.
const std::wstring kTool = L"snapshot64.exe";
const std::wstring kLocations = L"C:\\ HKEY_LOCAL_MACHINE HKEY_USERS";  // default under Wine
const std::wstring kFailed = L"发生错误或操作中止";
const std::wstring kStopQuestion = L"将取消当前操作。\r\n它可以重新启动没有问题。\r\n停止吗？";
const std::wstring kQuitQuestion = L"Loomwise尚未完成。\r\n你确定要退出Loomwise？";

// A temporary file of the wizard: temp folder, "{GUID}", "." and the extension.
bool IsTempFile(const std::wstring& path, const std::wstring& ext) {
  std::wstring prefix = TempFolder() + L"\\{";
  std::wstring suffix = L"}." + ext;
  return path.size() == prefix.size() + 36 + suffix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
         path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0 &&
         path.find_first_not_of(L"0123456789ABCDEFabcdef-", prefix.size()) == path.size() - suffix.size();
}

class CaptureTest : public WizardTest {
 protected:
  // Installs and starts the wizard; waits for its main window unless told not to.
  void Start(const std::string& scenario, InstallOptions options = {}, bool waitForMain = true) {
    options.scenario = scenario;
    ASSERT_NO_FATAL_FAILURE(MakeInstall(options));
    ASSERT_TRUE(w_.Start(*install_));
    if (waitForMain) { ASSERT_TRUE(w_.WaitForMainWindow()); }
  }

  // Argument i of the n-th recorded tool run.
  std::wstring ToolArg(size_t run, size_t i) {
    std::vector<std::wstring> log = w_.ToolLog();
    if (run >= log.size()) return {};
    std::vector<std::wstring> args = SplitCommandLine(log[run]);
    return i < args.size() ? args[i] : std::wstring();
  }

  // A step failed: the "Error" box with `text`, then the wizard on `title`.
  void ExpectFailure(const std::wstring& text, const std::wstring& title) {
    ASSERT_TRUE(w_.WaitMessageBox()) << w_.Describe();
    EXPECT_EQ(w_.Title(), title) << "the wizard moves back before the box opens";
    ASSERT_TRUE(w_.AnswerMessage(text, IDOK, L"Error"));
  }
};

TEST_F(CaptureTest, WelcomeAndReadyToPrescanBackAndForthThenCancelAsksFirst) {
  ASSERT_NO_FATAL_FAILURE(Start(""));
  std::wstring welcome = w_.Title();
  EXPECT_EQ(welcome.rfind(L"Loomwise", 0), 0u) << Narrow(welcome);
  ASSERT_TRUE(w_.Next(kReady));
  ASSERT_TRUE(w_.Back(welcome));
  ASSERT_TRUE(w_.Next(kReady));
  EXPECT_TRUE(w_.ToolLog().empty());

  // Cancel asks first; No stays, Yes quits.
  ASSERT_TRUE(w_.Click(IDCANCEL));
  ASSERT_TRUE(w_.AnswerMessage(kQuitQuestion, IDNO));
  EXPECT_TRUE(w_.Running());
  EXPECT_EQ(w_.Title(), kReady);

  ASSERT_TRUE(w_.Click(IDCANCEL));
  ASSERT_TRUE(w_.Answer(w_.WaitMessageBox(), IDYES));
  EXPECT_TRUE(w_.WaitExit());
}

TEST_F(CaptureTest, PrescanFileFromItsRunToBackAndAHeldStaleCopy) {
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\n"));
  ASSERT_TRUE(w_.NextUntil(kInstall));
  std::vector<std::wstring> log = w_.ToolLog();
  ASSERT_EQ(log.size(), 1u);
  std::wstring snapshot = ToolArg(0, 1);
  EXPECT_TRUE(IsTempFile(snapshot, L"snapshot")) << Narrow(snapshot);
  EXPECT_EQ(log[0], L"\"" + install_->ProgramFolder() + L"\\" + kTool + L"\" \"" + snapshot + L"\" " + kLocations +
                        L" -Loomwise");
  EXPECT_TRUE(FileExists(snapshot));
  EXPECT_EQ(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue),
            L"\"" + install_->ProgramPath() + L"\" \"" + snapshot + L"\" \"" + kLocations + L"\" 0");

  // Back deletes the prescan and the resume value.
  ASSERT_TRUE(w_.Back(kReady));
  EXPECT_FALSE(FileExists(snapshot));
  EXPECT_FALSE(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue));

  // Another program holds a file of the prescan's name open.
  HANDLE held = CreateFileW(snapshot.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"无法删除文件。", IDOK, snapshot));
  // The old file is never taken for a new prescan: no run, back to the ready page.
  EXPECT_TRUE(w_.WaitForTitle(kReady));
  Sleep(700);
  EXPECT_EQ(w_.Title(), kReady);
  EXPECT_EQ(w_.ToolLog().size(), 1u);
  CloseHandle(held);
  DeleteFileW(snapshot.c_str());
}

TEST_F(CaptureTest, PrescanFailures) {
  // An error line fails the step whatever the exit code.
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\nout E 磁盘已满\nout E 第二行\n"));
  ASSERT_TRUE(w_.Next(kReady));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_NO_FATAL_FAILURE(ExpectFailure(L"磁盘已满\r\n第二行", kReady));

  // A missing snapshot file is named in the message; the prescan path is
  // kept for the run. (Steps.ToolStepJudgement holds the other rules.)
  install_->WriteScenario("[scan]\nresult no\n");
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.WaitToolRuns(2));
  EXPECT_EQ(ToolArg(1, 1), ToolArg(0, 1));
  ASSERT_NO_FATAL_FAILURE(ExpectFailure(kFailed + L"\n" + ToolArg(1, 1) + L"不存在", kReady));
}

// The generation: a failure is told over the wizard, which then runs the
// comparison again and shows the entry points; warnings of the last run get
// their page before the ready-to-build page.
TEST_F(CaptureTest, GenerationThatFailsOrWarns) {
  reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
  ASSERT_NO_FATAL_FAILURE(Start("[generate]\nout W 第一次\nout E 磁盘已满\nresult no\nexit 1\n[any]\n"));
  ASSERT_TRUE(w_.NextUntil(kPackage));
  ASSERT_TRUE(w_.Click(IDOK));
  Popup box = w_.WaitMessageBox(15000);
  ASSERT_TRUE(box) << w_.Describe();
  EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), w_.MainWindow());
  ASSERT_NO_FATAL_FAILURE(ExpectFailure(L"磁盘已满", kTitle + L"保存项目"));
  ASSERT_TRUE(w_.WaitForTitle(kEntryPoints, 15000));
  std::vector<std::wstring> log = w_.ToolLog();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[4], log[2]) << "the comparison runs again";

  install_->WriteScenario("[generate]\nout W 第二次\n[any]\n");
  ASSERT_TRUE(w_.NextUntil(kPackage));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.WaitForTitle(kTitle + L"保存警告", 15000));
  EXPECT_EQ(w_.Text(IDC_WARNINGS_TEXT), L"第二次");
  ASSERT_TRUE(w_.Next(kReadyToBuild));
}

TEST_F(CaptureTest, StopDuringPrescanAsksAndEndsTheTool) {
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\npidfile scan.pid\nhang\n"));
  ASSERT_TRUE(w_.Next(kReady));
  ASSERT_TRUE(w_.Next(kPrescan));
  std::optional<DWORD> pid;
  ASSERT_TRUE(WaitUntil([&] { return (pid = ReadPidFile(install_->Path(L"scan.pid"))).has_value(); }));

  ASSERT_TRUE(w_.Click(IDC_BACK));
  ASSERT_TRUE(w_.AnswerMessage(kStopQuestion, IDNO));
  Sleep(700);  // more than one timer tick
  EXPECT_TRUE(IsProcessRunning(*pid));
  EXPECT_EQ(w_.Title(), kPrescan);

  ASSERT_TRUE(w_.Click(IDC_BACK));
  ASSERT_TRUE(w_.Answer(w_.WaitMessageBox(), IDYES));
  EXPECT_TRUE(w_.WaitForTitle(kReady));
  EXPECT_TRUE(WaitProcessGone(*pid));
  EXPECT_FALSE(w_.FindPopup()) << "a stopped scan is no failure";
}

TEST_F(CaptureTest, MissingScanToolIsFatal) {
  InstallOptions o;
  o.snapshot = Place::Absent;
  o.snapshot64 = Place::Absent;
  ASSERT_NO_FATAL_FAILURE(Start("", o, false));
  ASSERT_TRUE(w_.AnswerMessage(L"找不到 snapshot.exe;\n1. " + install_->ProgramFolder() + L"\n2. " +
                                   install_->FolderFor(Place::Modules2) + L"\\snapshot.exe",
                               IDOK, L"Error"));
  DWORD code = 1;
  ASSERT_TRUE(w_.WaitExit(kWaitMs, &code));
  EXPECT_EQ(code, 0u);
}

TEST_F(CaptureTest, FallsBackToSnapshotExeInTheModulesFolder) {
  InstallOptions o;
  o.snapshot = Place::Modules2;
  o.snapshot64 = Place::Absent;
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\n", o));
  ASSERT_TRUE(w_.NextUntil(kInstall));
  std::wstring tool = install_->FolderFor(Place::Modules2) + L"\\snapshot.exe";
  ASSERT_EQ(w_.ToolLog().size(), 1u);
  EXPECT_EQ(w_.ToolLog()[0].rfind(L"\"" + tool + L"\" ", 0), 0u) << "snapshot.exe, and no \"..\" in its folder";
}

TEST_F(CaptureTest, PostscanAndComparisonLeadToTheEntryPoints) {
  reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
  ASSERT_NO_FATAL_FAILURE(Start("[any]\n"));
  ASSERT_TRUE(w_.NextUntil(kEntryPoints));

  std::vector<std::wstring> log = w_.ToolLog();
  ASSERT_EQ(log.size(), 3u);
  std::wstring prescan = ToolArg(0, 1), postscan = ToolArg(1, 1);
  EXPECT_TRUE(IsTempFile(postscan, L"snapshot")) << Narrow(postscan);
  EXPECT_NE(prescan, postscan);
  EXPECT_EQ(log[1], L"\"" + install_->ProgramFolder() + L"\\" + kTool + L"\" \"" + postscan + L"\" " + kLocations +
                        L" -Loomwise");
  std::vector<std::wstring> cmp = SplitCommandLine(log[2]);
  ASSERT_EQ(cmp.size(), 8u) << Narrow(log[2]);
  EXPECT_TRUE(SamePath(cmp[1], prescan)) << "short form of the prescan: " << Narrow(cmp[1]);
  EXPECT_EQ(cmp[2], L"-SuggestProject");
  EXPECT_TRUE(SamePath(cmp[3], postscan)) << "short form of the postscan: " << Narrow(cmp[3]);
  EXPECT_TRUE(IsTempFile(cmp[4], L"ini")) << Narrow(cmp[4]);
  EXPECT_EQ(cmp[5] + L" " + cmp[6] + L" " + cmp[7], L"-IESelection 0 -Loomwise");
  EXPECT_TRUE(FileExists(cmp[4]));
  EXPECT_EQ(
      reg::ReadString(reg::kRunOnceKey, reg::kResumeValue),
      L"\"" + install_->ProgramPath() + L"\" \"" + prescan + L"\" \"" + postscan + L"\" \"" + kLocations + L"\" 0");
}

TEST_F(CaptureTest, InstallationConfirmationIsAskedAndRemembered) {
  ASSERT_NO_FATAL_FAILURE(Start("[any]\n"));
  ASSERT_TRUE(w_.NextUntil(kInstall));
  ASSERT_TRUE(w_.Click(IDOK));
  Popup confirm = w_.WaitMessageBox();
  ASSERT_TRUE(confirm) << w_.Describe();
  EXPECT_EQ(confirm.caption, L"Loomwise");
  ASSERT_TRUE(w_.Answer(confirm, IDCANCEL));
  Sleep(700);
  EXPECT_EQ(w_.Title(), kInstall);
  EXPECT_EQ(w_.ToolLog().size(), 1u) << "Cancel does not start the postscan";

  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.Answer(w_.WaitMessageBox(), IDOK));  // "do not ask again" starts checked
  ASSERT_TRUE(w_.WaitToolRuns(2));
  EXPECT_EQ(reg::ReadString(reg::kSettingsKey, L"SkipInstallationConfirmation"), L"1");
  EXPECT_TRUE(w_.WaitForTitle(kEntryPoints, 20000));
}

TEST_F(CaptureTest, ClosingByTitleBarKeepsSnapshotAndResumeValue) {
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\n"));
  ASSERT_TRUE(w_.NextUntil(kInstall));
  std::wstring snapshot = ToolArg(0, 1);
  w_.CloseByTitleBar();
  ASSERT_TRUE(w_.WaitExit());
  EXPECT_TRUE(FileExists(snapshot));
  EXPECT_TRUE(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue));
  DeleteFileW(snapshot.c_str());
}

TEST_F(CaptureTest, StopDuringComparisonDoesNothing) {
  reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\n[suggest]\npidfile compare.pid\nhang\n"));
  ASSERT_TRUE(w_.NextUntil(kInstall));
  ASSERT_TRUE(w_.Click(IDOK));
  std::optional<DWORD> pid;
  ASSERT_TRUE(WaitUntil([&] { return (pid = ReadPidFile(install_->Path(L"compare.pid"))).has_value(); }));
  EXPECT_EQ(w_.Title(), kPostscan);  // the comparison step has the postscan's title
  ASSERT_TRUE(w_.Click(IDC_BACK));
  ASSERT_TRUE(w_.Answer(w_.WaitMessageBox(), IDYES));
  Sleep(1200);
  EXPECT_TRUE(IsProcessRunning(*pid));
  EXPECT_EQ(w_.Title(), kPostscan);
}

}  // namespace

TEST_F(CaptureTest, ClosingByTitleBarDuringAScanEndsTheTool) {
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\npidfile scan.pid\nhang\n"));
  ASSERT_TRUE(w_.Next(kReady));
  ASSERT_TRUE(w_.Click(IDOK));
  std::optional<DWORD> pid;
  ASSERT_TRUE(WaitUntil([&] { return (pid = ReadPidFile(install_->Path(L"scan.pid"))).has_value(); }));
  w_.CloseByTitleBar();
  ASSERT_TRUE(w_.WaitExit());
  EXPECT_TRUE(WaitProcessGone(*pid, 3000)) << "no orphaned scan goes on writing after the window closed";
}

TEST_F(CaptureTest, AboutBoxFromTheSystemMenu) {
  ASSERT_NO_FATAL_FAILURE(Start(""));
  PostMessageW(w_.MainWindow(), WM_SYSCOMMAND, 0x10, 0);
  Popup about = w_.WaitMessageBox();
  ASSERT_TRUE(about) << w_.Describe();
  EXPECT_EQ(about.caption, L"Wrenlow Loomwise");
  ASSERT_TRUE(w_.Answer(about, IDOK));
  EXPECT_EQ(w_.Title(), L"Loomwise - 欢迎") << "the wizard goes on where it was";
}
