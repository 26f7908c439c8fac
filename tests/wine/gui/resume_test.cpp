// Black-box tests of resuming a capture after a restart. Wine never runs the
// current user's RunOnce values, so a restart is done here as the system
// does it: read the resume value, delete it, and start the program with the
// arguments of its command line (the driver supplies the program path).
#include "WizardDriver.h"

using namespace loomtest;

namespace {

class ResumeTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    if (IsSkipped()) return;
    InstallOptions o;
    o.scenario = "[any]\n";
    ASSERT_NO_FATAL_FAILURE(MakeInstall(o));
  }

  static std::optional<std::wstring> Value() { return reg::ReadString(reg::kRunOnceKey, reg::kResumeValue); }
  // A pending value as an earlier run (from another folder) left it.
  static void Pending(const std::wstring& arguments) {
    reg::WriteString(reg::kRunOnceKey, reg::kResumeValue, L"\"C:\\old\\Loomwise.exe\" " + arguments);
  }
  std::wstring File(const std::wstring& name) {
    std::wstring path = install_->Path(name);
    WriteBytes(path, "snapshot");
    return path;
  }

  void Start(const std::wstring& arguments = L"") {
    w_.Kill();  // a finished earlier run
    ASSERT_TRUE(w_.Start(*install_, arguments));
    ASSERT_TRUE(w_.WaitForMainWindow());
    ASSERT_TRUE(w_.WaitForTitle(kWelcome));
  }

  // The system's restart: the value goes, its arguments start the program.
  void Restart() {
    std::optional<std::wstring> value = Value();
    ASSERT_TRUE(value);
    ASSERT_EQ((*value)[0], L'"');
    size_t close = value->find(L'"', 1);
    ASSERT_NE(close, std::wstring::npos);
    reg::DeleteValue(reg::kRunOnceKey, reg::kResumeValue);
    ASSERT_NO_FATAL_FAILURE(Start(value->substr(value->find_first_not_of(L' ', close + 1))));
  }

  bool OnResumePage() { return w_.IsVisible(IDC_CONTINUE_RADIO) && w_.IsVisible(IDC_CONTINUE_STATIC); }
};

TEST_F(ResumeTest, AfterThePrescanContinueLeadsToTheInstallPage) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(w_.Next(kReady));
  ASSERT_TRUE(w_.Next(kInstall));
  w_.CloseByTitleBar();
  ASSERT_TRUE(w_.WaitExit());
  const std::wstring value = Value().value_or(L"");
  std::vector<std::wstring> args = SplitCommandLine(value);
  ASSERT_EQ(args.size(), 4u) << Narrow(value);

  ASSERT_NO_FATAL_FAILURE(Restart());
  EXPECT_TRUE(OnResumePage());
  EXPECT_TRUE(w_.IsChecked(IDC_CONTINUE_RADIO));
  EXPECT_EQ(w_.Text(IDC_CONTINUE_STATIC), args[1].substr(args[1].rfind(L'\\') + 1));
  EXPECT_EQ(Value(), value) << "registered again for a further restart";
  ASSERT_TRUE(w_.Next(kInstall));
  EXPECT_EQ(Value(), value);
  EXPECT_EQ(w_.ToolLog().size(), 1u);
}

TEST_F(ResumeTest, AfterThePostscanContinueRunsTheComparisonAtOnce) {
  std::wstring pre = File(L"pre.snapshot"), post = File(L"post.snapshot");
  const std::wstring rest = Quoted(pre) + L" " + Quoted(post) + L" \"C:\\ HKEY_LOCAL_MACHINE\" 2";
  Pending(rest);
  ASSERT_NO_FATAL_FAILURE(Restart());
  EXPECT_EQ(w_.Text(IDC_CONTINUE_STATIC), L"pre.snapshot");
  ASSERT_TRUE(w_.Next(kEntryPoints, 20000));
  std::vector<std::wstring> log = w_.ToolLog();
  ASSERT_EQ(log.size(), 1u);
  std::vector<std::wstring> cmp = SplitCommandLine(log[0]);
  ASSERT_EQ(cmp.size(), 8u) << Narrow(log[0]);
  EXPECT_TRUE(SamePath(cmp[1], pre) && SamePath(cmp[3], post)) << Narrow(log[0]);
  EXPECT_EQ(cmp[5] + L" " + cmp[6], L"-IESelection 2");
  EXPECT_EQ(Value(), Quoted(install_->ProgramPath()) + L" " + rest);
}

TEST_F(ResumeTest, NewCaptureDeletesThePrescanAndTheValue) {
  std::wstring pre = File(L"pre.snapshot");
  Pending(Quoted(pre) + L" \"C:\\ HKEY_USERS\" 0");
  ASSERT_NO_FATAL_FAILURE(Restart());
  ASSERT_TRUE(w_.Click(IDC_CONTINUE_NEW));
  ASSERT_TRUE(WaitUntil([&] { return !w_.IsChecked(IDC_CONTINUE_RADIO); }));
  ASSERT_TRUE(w_.Next(kReady));
  EXPECT_FALSE(FileExists(pre));
  EXPECT_FALSE(Value());
}

TEST_F(ResumeTest, InvalidArgumentsAreDroppedWithTheValue) {
  std::wstring pre = File(L"pre.snapshot");
  // (Resume.ScanLocationsOnlyRootsAndHives holds the rule for the scan locations.)
  for (const std::wstring& rest : {Quoted(install_->Path(L"missing.snapshot")) + L" \"C:\\\" 0",
                                   Quoted(pre) + L" " + Quoted(install_->Path(L"missing.snapshot")) + L" \"C:\\\" 0"}) {
    Pending(rest);
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_FALSE(OnResumePage()) << Narrow(rest);
    EXPECT_TRUE(w_.IsVisible(IDC_WELCOME_PICTURE)) << "the welcome page";
    EXPECT_FALSE(Value()) << Narrow(rest);
  }
}

TEST_F(ResumeTest, PlainStartWithAPendingValueOffersToResume) {
  const std::wstring rest = Quoted(File(L"pre.snapshot")) + L" \"D:\\ HKEY_CURRENT_USER\" 1";
  Pending(rest);
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_TRUE(OnResumePage());
  EXPECT_EQ(Value(), Quoted(install_->ProgramPath()) + L" " + rest) << "rewritten for this program";
  ASSERT_TRUE(w_.Next(kInstall));
}

}  // namespace
