// The stand-in tools run directly with a pipe: their scripted output, exit
// codes and log, which every GUI test and the demo rely on. (Their default
// files are checked by the GUI tests that walk through them.)
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
  TestInstall install_;
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
