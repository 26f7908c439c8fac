// Black-box: loomctl.exe capture beside the wizard, with the stand-in tools.
// The project it writes is the wizard's, byte for byte, for the same choices;
// the answers written from that project give it again; answers that a page
// would refuse, and a capture that fails, leave nothing behind.
#include "WizardDriver.h"

using namespace loomtest;

namespace {

// Files in the temp folder whose names the capture's temporary files take.
std::vector<std::wstring> TempFiles() {
  std::vector<std::wstring> names;
  for (const wchar_t* pattern : {L"\\{*}.snapshot", L"\\{*}.ini", L"\\{*}.txt"}) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((TempFolder() + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) continue;
    do names.push_back(fd.cFileName);
    while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  return names;
}

class UnattendedTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    if (!TestInstall::Built(L"loomctl.exe")) GTEST_SKIP() << "loomctl.exe is not built yet";
    reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
    reg::WriteString(reg::kSettingsKey, L"OpenFolderOnFinish", L"0");
  }
  void Install(InstallOptions o) {
    o.buildTools = Place::Beside;
    ASSERT_NO_FATAL_FAILURE(MakeInstall(o));
    ASSERT_TRUE(install_->Install(L"loomctl.exe", Place::Beside));
  }
  // loomctl.exe capture with the answers (UTF-8 text), output and exit code.
  Captured Capture(const std::string& answers, const std::wstring& extra = L"") {
    const std::wstring file = install_->Path(L"app.answers");
    EXPECT_TRUE(WriteBytes(file, answers));
    return RunCaptured(
        Quoted(install_->ProgramFolder() + L"\\loomctl.exe") + L" capture " + Quoted(file) + extra,
        {{L"LOOM_STANDIN_SCENARIO", install_->ScenarioPath()}, {L"LOOM_STANDIN_LOG", install_->LogPath()}},
        install_->ProgramFolder(), 60000);
  }
  std::string Installer(int exitCode) { return "Install=cmd.exe /c exit " + std::to_string(exitCode) + "\r\n"; }
};

}  // namespace

TEST_F(UnattendedTest, WritesTheWizardsProjectAndAnswersThatRepeatIt) {
  InstallOptions o;
  o.scenario = "[any]\n";
  ASSERT_NO_FATAL_FAILURE(Install(o));
  const std::vector<std::wstring> before = TempFiles();  // other tests' leftovers
  // The wizard: write-copy isolation, an MSI package, compression; the rest as proposed.
  ASSERT_TRUE(w_.Start(*install_));
  ASSERT_TRUE(w_.WaitForMainWindow());
  ASSERT_TRUE(w_.NextUntil(kIsolation));
  ASSERT_TRUE(w_.Click(IDC_ISOLATION_WRITECOPY));
  ASSERT_TRUE(w_.Next(kSandbox));
  ASSERT_TRUE(w_.Next(kLocation));
  const std::wstring project = w_.Text(IDC_LOCATION_PATH);
  ASSERT_TRUE(w_.Next(kPackage));
  ASSERT_TRUE(w_.Click(IDC_MSI_BUILD));
  ASSERT_TRUE(w_.Click(IDC_MSI_COMPRESS));
  ASSERT_TRUE(w_.Next(kReadyToBuild, 15000));
  ASSERT_TRUE(w_.Next(kBuilding));
  ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDOK); }, 30000));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.WaitExit());
  const std::optional<std::string> wizard = ReadBytes(project + L"\\Package.ini");
  ASSERT_TRUE(wizard.has_value());

  // The same choices unattended, into another folder.
  const std::wstring again = install_->Path(L"Again");
  Captured c = Capture("[Capture]\r\n" + Installer(0) + "[Options]\r\nIsolation=write-copy\r\n[Package]\r\nMsi=1\r\n" +
                       "Compression=1\r\n[Project]\r\nLocation=" + Narrow(again) + "\r\n");
  ASSERT_EQ(c.exitCode, 0u) << c.output;
  EXPECT_EQ(ReadBytes(again + L"\\Package.ini"), wizard);
  EXPECT_TRUE(FileExists(again + L"\\bin\\Demo App.exe")) << c.output;
  EXPECT_NE(c.output.find("project: " + Narrow(again)), std::string::npos) << c.output;
  EXPECT_EQ(TempFiles(), before);

  // loomctl answers of that project, with Install filled in, gives it again.
  Captured a = RunCaptured(Quoted(install_->ProgramFolder() + L"\\loomctl.exe") + L" answers " + Quoted(again));
  ASSERT_EQ(a.exitCode, 0u) << a.output;
  const std::wstring third = install_->Path(L"Third");
  std::string answers = a.output;
  answers.replace(answers.find(";Install="), 9, Installer(0).substr(0, Installer(0).size() - 2));
  answers.replace(answers.find("Location=" + Narrow(again)), 9 + again.size(), "Location=" + Narrow(third));
  c = Capture(answers);
  ASSERT_EQ(c.exitCode, 0u) << c.output << answers;
  EXPECT_EQ(ReadBytes(third + L"\\Package.ini"), wizard);
}

TEST_F(UnattendedTest, RefusalsAndFailuresLeaveNothingBehind) {
  InstallOptions o;
  o.scenario = "[any]\n";
  ASSERT_NO_FATAL_FAILURE(Install(o));
  const std::vector<std::wstring> before = TempFiles();
  // Refused before anything runs: exit 2, the page's message and the key
  // (AnswersTest.RefusedBeforeTheScan holds the rules; whether the base
  // package folder exists is found out here only).
  struct Refusal {
    std::string answers, says;
  } refusals[] = {
      {"[Capture]\r\nInstall=x\r\nInstallTimout=5\r\n", "app.answers:3: [Capture] InstallTimout: unknown key"},
      {"[Capture]\r\nInstall=x\r\n[Project]\r\nInventoryName=A[1]\r\n",
       "[Project] InventoryName: \xe5\xba\x93\xe5\xad\x98\xe5\x90\x8d\xe7\xa7\xb0\xe4\xb8\x8d\xe8\x83\xbd"},  // 库存名称不能
      {"[Capture]\r\nInstall=x\r\n[Options]\r\nPortal=1\r\nBasePackage=C:\\nowhere\r\n",
       "[Options] BasePackage: \xe6\x97\xa0\xe6\x95\x88"},  // 无效
  };
  for (const Refusal& r : refusals) {
    Captured c = Capture(r.answers);
    EXPECT_EQ(c.exitCode, 2u) << r.answers << c.output;
    EXPECT_NE(c.output.find(r.says), std::string::npos) << r.answers << c.output;
  }
  // --dry-run: the steps and their command lines, nothing run.
  Captured dry = Capture("[Capture]\r\n" + Installer(0), L" --dry-run");
  EXPECT_EQ(dry.exitCode, 0u) << dry.output;
  EXPECT_NE(dry.output.find("1 prescan: \"" + Narrow(install_->ProgramFolder()) + "\\snapshot64.exe\""),
            std::string::npos)
      << dry.output;
  EXPECT_NE(dry.output.find("2 install: cmd.exe /c exit 0"), std::string::npos) << dry.output;
  EXPECT_TRUE(install_->ToolLog().empty()) << "no tool ran";
  EXPECT_EQ(TempFiles(), before);

  // Failed steps: exit 1, the step and why, the temporary files gone.
  struct Failure {
    std::string scenario, answers, says;
  } failures[] = {
      {"[any]\n", "[Capture]\r\n" + Installer(1603), "install failed: the installer ended with exit code 1603"},
      {"[vregtool]\nhang\n[any]\n",
       "[Capture]\r\nInstall=\"" + Narrow(install_->ProgramFolder()) + "\\vregtool.exe\"\r\nInstallTimeout=2\r\n",
       "did not end within 2 s"},
      {"[suggest]\nout E comparison failed\nexit 1\n[any]\n", "[Capture]\r\n" + Installer(0),
       "compare failed: comparison failed"},
  };
  for (const Failure& f : failures) {
    install_->WriteScenario(f.scenario);
    Captured c = Capture(f.answers);
    EXPECT_EQ(c.exitCode, 1u) << f.answers << c.output;
    EXPECT_NE(c.output.find(f.says), std::string::npos) << c.output;
    EXPECT_EQ(TempFiles(), before) << f.answers;
  }

  // Without the scan tool.
  o.snapshot = o.snapshot64 = Place::Absent;
  ASSERT_NO_FATAL_FAILURE(Install(o));
  Captured c = Capture("[Capture]\r\n" + Installer(0));
  EXPECT_EQ(c.exitCode, 1u) << c.output;
  EXPECT_NE(c.output.find("snapshot.exe"), std::string::npos) << c.output;
  EXPECT_EQ(TempFiles(), before);
}

TEST_F(UnattendedTest, CtrlCEndsTheRunningToolAndCleansUp) {
  InstallOptions o;
  o.scenario = "[scan]\npidfile scan.pid\nhang\n";
  ASSERT_NO_FATAL_FAILURE(Install(o));
  const std::vector<std::wstring> before = TempFiles();
  const std::wstring answers = install_->Path(L"app.answers"), out = install_->Path(L"out.txt");
  ASSERT_TRUE(WriteBytes(answers, "[Capture]\r\n" + Installer(0)));
  // loomctl in a console of its own, its output in a file.
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = file;
  SetEnvironmentVariableW(L"LOOM_STANDIN_SCENARIO", install_->ScenarioPath().c_str());
  std::wstring cl = Quoted(install_->ProgramFolder() + L"\\loomctl.exe") + L" capture " + Quoted(answers);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, cl.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr,
                             install_->ProgramFolder().c_str(), &si, &pi));
  SetEnvironmentVariableW(L"LOOM_STANDIN_SCENARIO", nullptr);
  CloseHandle(file);
  std::optional<DWORD> scan;
  ASSERT_TRUE(WaitUntil([&] { return (scan = ReadPidFile(install_->Path(L"scan.pid"))).has_value(); }, 20000));
  // Ctrl+C in that console, as a user presses it.
  FreeConsole();
  ASSERT_TRUE(AttachConsole(pi.dwProcessId));
  SetConsoleCtrlHandler(nullptr, TRUE);
  EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
  DWORD code = 0;
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  FreeConsole();
  SetConsoleCtrlHandler(nullptr, FALSE);
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  EXPECT_EQ(code, 1u) << ReadBytes(out).value_or("");
  EXPECT_NE(ReadBytes(out).value_or("").find("stopped"), std::string::npos);
  EXPECT_TRUE(WaitProcessGone(*scan)) << "the scan tool was ended";
  EXPECT_EQ(TempFiles(), before);
}
