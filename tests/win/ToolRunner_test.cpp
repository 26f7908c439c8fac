// The tool runner with real child processes (the stand-in scan tool).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "capture/CaptureState.h"
#include "capture/ScanTool.h"
#include "capture/ToolRunner.h"

using namespace loom;

namespace {

struct Line {
  UINT kind;
  std::wstring text;
};

std::vector<Line> g_lines;
int g_cleared = 0;

LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg >= WM_APP && msg <= WM_APP + 2) {
    g_lines.push_back({msg - WM_APP, reinterpret_cast<const wchar_t*>(l)});
    return 0;
  }
  if (msg == WM_APP + 3) {
    ++g_cleared;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, w, l);
}

// Presses OK in the box captioned "无法执行"; exit code 1 when it was there.
class ToolRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = SinkProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LoomRunnerSink";
    RegisterClassW(&wc);
    window_ = CreateWindowW(L"LoomRunnerSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    scenario_ = ProgramFolder() + L"\\runner_test.scenario";
    SetEnvironmentVariableW(L"LOOM_STANDIN_SCENARIO", scenario_.c_str());
    g_lines.clear();
  }
  void TearDown() override {
    StopTool();
    DestroyWindow(window_);
    DeleteFileW(scenario_.c_str());
    DeleteFileW(Snapshot().c_str());
    SetEnvironmentVariableW(L"LOOM_STANDIN_SCENARIO", nullptr);
  }

  void Scenario(const std::string& text) {
    HANDLE h = CreateFileW(scenario_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(h, text.data(), DWORD(text.size()), &put, nullptr);
    CloseHandle(h);
  }
  static std::wstring Snapshot() { return ProgramFolder() + L"\\runner_test.snapshot"; }
  std::wstring Command() const {
    return L"\"" + ProgramFolder() + L"\\snapshot.exe\" \"" + Snapshot() + L"\" C:\\ -Loomwise";
  }
  // Runs the tool to its end the way the wizard's timer does, letting the
  // reader's messages through meanwhile; returns the exit code.
  DWORD RunToEnd() {
    EXPECT_TRUE(RunTool(Command(), window_));
    DWORD code = 0xFFFF;
    for (int i = 0; i < 2000 && IsToolRunning(&code); ++i) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
    return code;
  }

  HWND window_ = nullptr;
  std::wstring scenario_;
};

}  // namespace

TEST_F(ToolRunnerTest, LinesArriveClassifiedWithTheirPrefixesRemoved) {
  Scenario("[scan]\nout I scanning C:\\\\\nout W odd file\nout no prefix follows the warning\nout E \nexit 0\n");
  int clearedBefore = g_cleared;
  EXPECT_EQ(RunToEnd(), 0u);
  EXPECT_EQ(g_cleared, clearedBefore + 1) << "starting a tool empties the error text";
  ASSERT_EQ(g_lines.size(), 4u);
  EXPECT_EQ(g_lines[0].kind, 0u);
  EXPECT_EQ(g_lines[0].text, L"scanning C:\\");
  EXPECT_EQ(g_lines[1].kind, 1u);
  EXPECT_EQ(g_lines[1].text, L"odd file");
  EXPECT_EQ(g_lines[2].kind, 1u) << "an unprefixed line keeps the kind of the line before it";
  EXPECT_EQ(g_lines[3].kind, 2u);
  EXPECT_EQ(g_lines[3].text, L"") << "a lone error prefix is an empty error line";
}

TEST_F(ToolRunnerTest, SplitReadsOddChunksAndALastLineWithoutLineEnd) {
  Scenario("[scan]\nchunk 3 5\nout I \\u4e2d\\u6587 progress\noutraw E failed at the end\nexit 3\n");
  EXPECT_EQ(RunToEnd(), 3u);
  ASSERT_EQ(g_lines.size(), 2u);
  EXPECT_EQ(g_lines[0].text, L"\u4e2d\u6587 progress");
  EXPECT_EQ(g_lines[1].kind, 2u);
  EXPECT_EQ(g_lines[1].text, L"failed at the end");
}

TEST_F(ToolRunnerTest, StopEndsTheToolAndStartingAnotherStopsTheFirst) {
  std::wstring pidFile = ProgramFolder() + L"\\runner_test.pid";
  DeleteFileW(pidFile.c_str());
  Scenario("[scan]\npidfile runner_test.pid\nhang\n");
  ASSERT_TRUE(RunTool(Command(), window_));
  HANDLE first = nullptr;
  for (int i = 0; i < 500 && !first; ++i) {
    Sleep(10);
    FILE* f = _wfopen(pidFile.c_str(), L"r");
    if (!f) continue;
    unsigned long pid = 0;
    if (fscanf(f, "%lu", &pid) == 1) first = OpenProcess(SYNCHRONIZE, FALSE, pid);
    fclose(f);
  }
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(IsToolRunning());

  // A new run while one hangs: the first is terminated before the second starts.
  Scenario("[scan]\nout I second\nexit 5\n");
  EXPECT_EQ(RunToEnd(), 5u);
  EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_OBJECT_0);
  CloseHandle(first);

  Scenario("[scan]\nhang\n");
  ASSERT_TRUE(RunTool(Command(), window_));
  StopTool();
  DWORD code = 0xFFFF;
  EXPECT_FALSE(IsToolRunning(&code));
  EXPECT_EQ(code, 0u) << "the exit code given to the termination";
  DeleteFileW(pidFile.c_str());
}

TEST_F(ToolRunnerTest, AProgramThatCannotStartIsReportedAndNothingRuns) {
  // The runner only reports it (the caller tells the user): no box opens here.
  EXPECT_FALSE(RunTool(L"\"C:\\no\\such\\tool.exe\" x", window_));
  EXPECT_FALSE(IsToolRunning());
}
