// How the build page keeps up with a build tool's output.
//
// A stand-in build tool writes N lines (about 100 bytes each, half of them
// progress lines rewritten with a bare carriage return) through the runner
// and the build output reader into the page's output view, while a 250 ms
// timer refreshes an edit control of the page's kind. Printed, per size:
// the worst refresh tick, and the time from the tool's last byte to the
// output shown (the last lines and the history the control keeps above
// them); then the ratio of the large run to the small one (10x the output,
// target: at most 11x the time) and the worst tick overall (target: at most
// 50 ms). A third run writes slower than the page shows, so that the control
// streams and drops its oldest lines, and adds its worst tick. A warm-up run
// before them lets the fresh prefix settle. Needs vregtool.exe (the
// stand-in) beside it. --quick runs a short pass.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "build/BuildOutputView.h"
#include "capture/ScanTool.h"
#include "capture/ToolRunner.h"
#include "../BenchTiming.h"

using loom::bench::Seconds;

namespace {

// Paced: written 4 KB at a time, 10 ms apart, slower than the page shows it.
std::wstring WriteScenario(long lines, bool paced = false) {
  std::wstring path = loom::ProgramFolder() + L"\\bench_build_page.scenario";
  char text[512];
  snprintf(text, sizeof text,
           "[vregtool]\nresult no\neol lf\n%s"
           "lines %ld compiling translation unit of the captured project\\r45%%\\rcompiled translation unit\n"
           "lines %ld linking the object files of the captured application package, part\n",
           paced ? "chunk 4096 10\n" : "", lines / 2, lines - lines / 2);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, text, DWORD(strlen(text)), &put, nullptr);
  CloseHandle(h);
  return path;
}

struct Result {
  double worstTick = 0;   // seconds
  double endToShown = 0;  // from the reader's last byte to the output shown
  double total = 0;
  size_t shownChars = 0;
  bool ok = false;
};

Result RunOnce(HWND frame, HWND edit, long lines, bool paced = false) {
  Result r;
  std::wstring scenario = WriteScenario(lines, paced);
  SetEnvironmentVariableW(L"LOOM_STANDIN_SCENARIO", scenario.c_str());
  loom::BuildOutputView view;
  view.Clear(edit);
  loom::SetBuildOutputTarget(&view);
  std::wstring cmd = L"\"" + loom::ProgramFolder() + L"\\vregtool.exe\" \"bench\\Package.ro.tvr\" ImportDir \"" +
                     loom::ProgramFolder() + L"\" -Loomwise";
  double t0 = Seconds();
  if (!loom::RunTool(cmd, frame, loom::BuildOutputPump)) return r;
  // As the page does: a 250 ms poll timer shows what is new and asks for
  // the end; while more waits than one slice, a short timer goes on showing.
  SetTimer(frame, 2, 250, nullptr);
  MSG msg;
  bool ended = false, behind = false;
  double last = 0;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == frame) {
      double a = Seconds();
      bool more = view.Refresh(edit);
      if (msg.wParam == 2 && !ended) {
        DWORD code = 0;
        if (!loom::IsToolRunning(&code)) {
          ended = true;  // the reader has read the last byte and ended
          last = Seconds();
          KillTimer(frame, 2);
        }
      }
      r.worstTick = std::max(r.worstTick, Seconds() - a);
      if (getenv("BENCH_TRACE")) printf("tick %.1f ms, %d chars\n", (Seconds() - a) * 1e3, GetWindowTextLengthW(edit));
      if (more != behind) {
        behind = more;
        if (more)
          SetTimer(frame, 3, 15, nullptr);
        else
          KillTimer(frame, 3);
      }
      if (ended && !more && !view.Refresh(edit)) break;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  r.endToShown = Seconds() - last;
  KillTimer(frame, 3);
  r.total = Seconds() - t0;
  r.shownChars = size_t(GetWindowTextLengthW(edit));
  std::wstring all = view.Text();
  size_t keep = std::min(all.size(), r.shownChars);
  r.ok = r.shownChars > 0 && r.shownChars <= all.size() && keep > 0;
  if (r.ok) {
    // The control holds the end of the output.
    std::wstring shown(r.shownChars + 1, L'\0');
    GetWindowTextW(edit, shown.data(), int(shown.size()));
    shown.resize(r.shownChars);
    // ... and, once caught up, the lines before the end that it keeps.
    r.ok = all.compare(all.size() - keep, keep, shown) == 0 &&
           r.shownChars + 200 >= std::min(all.size(), loom::BuildOutputView::kShownChars);
  }
  loom::SetBuildOutputTarget(nullptr);
  DeleteFileW(scenario.c_str());
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = loom::bench::QuickRun(argc, argv);
  const long small = quick ? 2000 : 10000, large = small * 10;
  HWND frame = CreateWindowExW(0, L"STATIC", L"build output", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 520, 260, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND edit =
      CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                      10, 10, 490, 200, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  RunOnce(frame, edit, small);  // warm-up: the fresh prefix settles, nothing is measured
  Result a = RunOnce(frame, edit, small);
  Result b = RunOnce(frame, edit, large);
  Result c = RunOnce(frame, edit, small, true);
  if (!a.ok || !b.ok || !c.ok) {
    printf("the build output did not arrive whole\n");
    return 1;
  }
  for (auto [lines, r] : {std::pair(small, a), std::pair(large, b)})
    printf("%7ld lines (%5.1f MB from the tool): %6.2f s in all, worst tick %6.1f ms, last byte to shown %6.1f ms\n",
           lines, double(lines) * 104 / 1e6, r.total, r.worstTick * 1e3, r.endToShown * 1e3);
  printf("%7ld lines (%5.1f MB, paced):      %6.2f s in all, worst tick %6.1f ms\n", small, double(small) * 104 / 1e6,
         c.total, c.worstTick * 1e3);
  double worst = std::max({a.worstTick, b.worstTick, c.worstTick}) * 1e3;
  double ratio = b.endToShown / std::max(a.endToShown, 1e-4);
  printf("worst tick: %.1f ms (target <= 50)\n", worst);
  printf("last byte to shown, 10x the output: ratio %.2f (target <= 11); whole run ratio %.2f\n", ratio,
         b.total / a.total);
  return 0;
}
