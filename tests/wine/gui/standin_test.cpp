// The stand-in tools run directly with a pipe: their scripted output, exit
// codes, log and default files, which every GUI test and the demo rely on.
#include "WizardDriver.h"

using namespace loomtest;

class StandinTest : public testing::Test {
 protected:
  // Runs a tool of the installation with the scenario given.
  Captured Run(const std::wstring& tool, const std::wstring& args, const std::string& scenario = "") {
    install_.WriteScenario(scenario);
    return RunCaptured(L"\"" + install_.ProgramFolder() + L"\\" + tool + L"\" " + args,
                       {{L"LOOM_STANDIN_SCENARIO", install_.ScenarioPath()}, {L"LOOM_STANDIN_LOG", install_.LogPath()}},
                       install_.ProgramFolder());
  }
  static std::wstring Utf16(const std::string& bytes) {
    std::wstring w(bytes.size() / 2, L'\0');
    memcpy(&w[0], bytes.data(), w.size() * 2);
    return w;
  }
  TestInstall install_{[] {
    InstallOptions o;
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
