// The driver itself, against fake_wizard.exe (a small look-alike of the
// wizard's windows), and the stand-in tool run directly with a pipe.
#include "WizardDriver.h"

using namespace loomtest;

namespace {

InstallOptions Fake(const std::string& scenario = "") {
  InstallOptions o;
  o.program = L"fake_wizard.exe";
  o.scenario = scenario;
  return o;
}

}  // namespace

TEST(DriverSelfTest, FindsPagesAndWorksControls) {
  TestInstall install(Fake());
  Wizard w;
  ASSERT_TRUE(w.Start(install));
  ASSERT_TRUE(w.WaitForTitle(L"Loomwise - 准备预扫描"));
  ASSERT_NE(w.CurrentPage(), nullptr);
  EXPECT_NE(w.Control(1028), nullptr) << "the main window's own controls are found too";
  EXPECT_TRUE(w.IsEnabled(1));
  EXPECT_FALSE(w.IsEnabled(32651));
  EXPECT_FALSE(w.IsVisible(1104));
  EXPECT_FALSE(w.Click(32651)) << "clicking a disabled button is refused";

  ASSERT_TRUE(w.SetText(1050, L"中文 text"));
  EXPECT_EQ(w.Text(1050), L"中文 text");
  ASSERT_TRUE(w.Click(1086));
  EXPECT_TRUE(WaitUntil([&] { return w.Text(1050) == L"已返回"; }));
  ASSERT_TRUE(w.Click(1101));
  EXPECT_TRUE(WaitUntil([&] { return w.IsChecked(1101); }));

  std::wstring shot = install.Path(L"shot.bmp");
  ASSERT_TRUE(w.Screenshot(shot));
  std::string bmp = ReadBytes(shot).value_or("");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  RECT r;
  GetWindowRect(w.MainWindow(), &r);
  int width = 0;
  memcpy(&width, bmp.data() + 18, 4);
  EXPECT_EQ(width, r.right - r.left);
}

TEST(DriverSelfTest, AnswersMessageBoxesAndSeesTheTool) {
  TestInstall install(Fake("[scan]\npidfile tool.pid\nwaitfile go.txt\n"));
  Wizard w;
  ASSERT_TRUE(w.Start(install));
  ASSERT_TRUE(w.WaitForTitle(L"Loomwise - 准备预扫描"));

  ASSERT_TRUE(w.Click(1));
  Popup box = w.WaitMessageBox();
  ASSERT_TRUE(box) << w.Describe();
  EXPECT_EQ(box.caption, L"Loomwise");
  EXPECT_EQ(box.text, L"开始预扫描吗？");
  ASSERT_TRUE(w.Answer(box, IDNO));
  EXPECT_FALSE(w.FindPopup());
  EXPECT_EQ(w.Title(), L"Loomwise - 准备预扫描");

  ASSERT_TRUE(w.Click(1));
  ASSERT_TRUE(w.Answer(w.WaitMessageBox(), IDYES));
  ASSERT_TRUE(w.WaitForTitle(L"Loomwise - 预扫描"));
  EXPECT_FALSE(w.IsEnabled(1)) << "controls come from the page now shown";
  ASSERT_TRUE(w.WaitToolRuns(1));
  std::vector<std::wstring> args = SplitCommandLine(w.ToolLog()[0]);
  ASSERT_EQ(args.size(), 4u);
  EXPECT_TRUE(SamePath(args[0], install.ProgramFolder() + L"\\snapshot.exe"));
  EXPECT_EQ(args[2], L"C:\\");
  EXPECT_EQ(args[3], L"-Loomwise");

  std::optional<DWORD> pid;
  ASSERT_TRUE(WaitUntil([&] { return (pid = ReadPidFile(install.Path(L"tool.pid"))).has_value(); }));
  EXPECT_TRUE(IsProcessRunning(*pid));
  WriteBytes(install.Path(L"go.txt"), "");
  EXPECT_TRUE(w.WaitForTitle(L"Loomwise - 完成"));
  EXPECT_TRUE(WaitProcessGone(*pid));
}

TEST(DriverSelfTest, UnownedErrorBoxAndExitPaths) {
  TestInstall install(Fake("[scan]\nexit 5\n"));
  {
    Wizard w;
    ASSERT_TRUE(w.Start(install));
    ASSERT_TRUE(w.WaitForMainWindow());
    ASSERT_TRUE(w.Click(1));
    ASSERT_TRUE(w.Answer(w.WaitMessageBox(), IDYES));
    Popup error = w.WaitMessageBox();
    EXPECT_EQ(error.caption, L"Error");
    EXPECT_EQ(error.text, L"发生错误或操作中止");
    ASSERT_TRUE(w.Answer(error, IDOK));
    ASSERT_TRUE(w.Click(2));
    DWORD code = 0;
    ASSERT_TRUE(w.WaitExit(kWaitMs, &code));
    EXPECT_EQ(code, 7u);
  }
  Wizard w;
  ASSERT_TRUE(w.Start(install));
  ASSERT_TRUE(w.WaitForMainWindow());
  w.CloseByTitleBar();
  DWORD code = 0;
  ASSERT_TRUE(w.WaitExit(kWaitMs, &code));
  EXPECT_EQ(code, 3u);
}

TEST(DriverSelfTest, KillEndsTheWizardAndItsTools) {
  TestInstall install(Fake("[scan]\npidfile tool.pid\nhang\n"));
  DWORD wizardPid = 0;
  std::optional<DWORD> toolPid;
  {
    Wizard w;
    ASSERT_TRUE(w.Start(install));
    wizardPid = w.ProcessId();
    ASSERT_TRUE(w.WaitForMainWindow());
    ASSERT_TRUE(w.Click(1));
    ASSERT_TRUE(w.Answer(w.WaitMessageBox(), IDYES));
    ASSERT_TRUE(WaitUntil([&] { return (toolPid = ReadPidFile(install.Path(L"tool.pid"))).has_value(); }));
  }
  EXPECT_FALSE(IsProcessRunning(wizardPid));
  EXPECT_FALSE(IsProcessRunning(*toolPid));
}

TEST(DriverSelfTest, RegistryHelpers) {
  CleanRegistry clean;
  EXPECT_FALSE(reg::ReadString(reg::kSettingsKey, L"OpenFolderOnFinish"));
  ASSERT_TRUE(reg::WriteString(reg::kSettingsKey, L"OpenFolderOnFinish", L"0"));
  ASSERT_TRUE(reg::WriteString(reg::kRunOnceKey, reg::kResumeValue, L"\"x\" 中"));
  EXPECT_EQ(reg::ReadString(reg::kSettingsKey, L"OpenFolderOnFinish"), L"0");
  EXPECT_EQ(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue), L"\"x\" 中");
  ASSERT_TRUE(reg::WriteDword(reg::kSettingsKey, L"SkipBuild", 1));
  EXPECT_FALSE(reg::ReadString(reg::kSettingsKey, L"SkipBuild")) << "only REG_SZ values are read";
  CleanRegistry::Clean();
  EXPECT_FALSE(reg::ReadString(reg::kSettingsKey, L"OpenFolderOnFinish"));
  EXPECT_FALSE(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue));
}

TEST(DriverSelfTest, InstallLayout) {
  InstallOptions o = Fake();
  o.snapshot = Place::Modules2;
  o.snapshot64 = Place::Absent;
  o.branding = Place::Modules3;
  o.buildTools = Place::Beside;
  std::wstring root;
  {
    TestInstall install(o);
    ASSERT_TRUE(install.ok()) << Narrow(install.error());
    root = install.Root();
    EXPECT_TRUE(FileExists(install.ProgramPath()));
    EXPECT_TRUE(FileExists(install.ProgramFolder() + L"\\..\\..\\modules\\snapshot.exe"));
    EXPECT_FALSE(FileExists(install.ProgramFolder() + L"\\snapshot64.exe"));
    EXPECT_TRUE(FileExists(install.ProgramFolder() + L"\\..\\..\\..\\modules\\Branding.dll"));
    EXPECT_TRUE(FileExists(install.ProgramFolder() + L"\\tlink.exe"));
  }
  EXPECT_FALSE(FolderExists(root)) << "the folder is removed at the end";
}

// --- The stand-in tool -------------------------------------------------------

class StandinTest : public testing::Test {
 protected:
  // Runs a tool of the installation with the scenario given.
  Captured Run(const std::wstring& tool, const std::wstring& args, const std::string& scenario = "") {
    install_.WriteScenario(scenario);
    return RunCaptured(L"\"" + install_.ProgramFolder() + L"\\" + tool + L"\" " + args,
                       {{L"LOOM_STANDIN_SCENARIO", install_.ScenarioPath()},
                        {L"LOOM_STANDIN_LOG", install_.LogPath()}},
                       install_.ProgramFolder());
  }
  static std::wstring Utf16(const std::string& bytes) {
    std::wstring w(bytes.size() / 2, L'\0');
    memcpy(&w[0], bytes.data(), w.size() * 2);
    return w;
  }
  TestInstall install_{[] {
    InstallOptions o;
    o.program = L"fake_wizard.exe";
    o.buildTools = Place::Beside;
    return o;
  }()};
};

TEST_F(StandinTest, ScriptedOutputExitCodesAndLog) {
  Captured c = Run(L"snapshot.exe", L"\"x.snapshot\" C:\\ -Loomwise",
                   "[any]\nout I never\n[SCAN]\n# comment\nchunk 3\nout I 中文\\tA\\u0042\noutraw W x\\r\\n\n"
                   "eol lf\nlines 2 L\nexit 4\nout I not reached\n");
  EXPECT_TRUE(c.finished);
  EXPECT_EQ(c.exitCode, 4u);
  EXPECT_EQ(c.output.size() % 2, 0u);
  EXPECT_EQ(Utf16(c.output), L"I 中文\tAB\r\nW x\r\nL 1\nL 2\n");
  EXPECT_TRUE(FileExists(install_.ProgramFolder() + L"\\x.snapshot")) << "exit still writes the result";

  c = Run(L"snapshot.exe", L"\"y.snapshot\" C:\\ -Loomwise", "[any]\nresult no\ncrash\n");
  EXPECT_EQ(c.exitCode, 0xC0000005u);
  EXPECT_FALSE(FileExists(install_.ProgramFolder() + L"\\y.snapshot"));

  c = Run(L"snapshot.exe", L"\"z.snapshot\" -Loomwise", "[scan]\nbogus 1\n");
  EXPECT_EQ(c.exitCode, 2u);
  EXPECT_EQ(Utf16(c.output).rfind(L"E stand-in: bad directive: bogus 1", 0), 0u);

  std::vector<std::wstring> log = install_.ToolLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(SplitCommandLine(log[0])[1], L"x.snapshot");
}

TEST_F(StandinTest, DefaultRunsWriteTheirFiles) {
  std::wstring dir = install_.ProgramFolder();
  std::wstring work = install_.Path(L"work.ini"), project = install_.Path(L"proj\\Demo");
  Captured c = Run(L"snapshot.exe", L"\"a\" -SuggestProject \"b\" \"" + work + L"\" -IESelection 0 -Loomwise");
  EXPECT_EQ(c.exitCode, 0u);
  std::wstring ini = ReadUtf16File(work);
  EXPECT_NE(ini.find(L"\r\nOutDir=bin\r\n"), std::wstring::npos);
  EXPECT_EQ(ReadBytes(work).value_or("").substr(0, 2), "\xFF\xFE");

  c = Run(L"snapshot.exe", L"\"" + work + L"\" -GenerateProject \"" + project + L"\" -Loomwise");
  EXPECT_EQ(c.exitCode, 0u);
  EXPECT_EQ(ReadUtf16File(project + L"\\Package.ini"), ini);
  EXPECT_TRUE(FileExists(project + L"\\build.bat"));

  CreateDirectoryW((project + L"\\bin").c_str(), nullptr);
  c = Run(L"vregtool.exe", L"\"" + project + L"\\bin\\Package.ro.tvr\" ImportDir \"" + project + L"\" -Loomwise");
  EXPECT_EQ(c.exitCode, 0u);
  EXPECT_NE(Utf16(c.output).find(L"90%\r100%\n"), std::wstring::npos);
  EXPECT_TRUE(FileExists(project + L"\\bin\\Package.ro.tvr"));
  c = Run(L"tlink.exe", L"\"" + project + L"\\Package.ini\" -OutDir \"" + project + L"\\out\\x\" -Loomwise");
  EXPECT_EQ(c.exitCode, 0u);
  EXPECT_TRUE(FileExists(project + L"\\out\\x\\Demo App.exe"));
  EXPECT_FALSE(FileExists(project + L"\\out\\x\\Demo Help.exe")) << "disabled entry points are not linked";
}
