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
// 50 ms), and the slowest other message the thread handled meanwhile (the
// control drawing what a tick changed). A third run writes slower than the
// page shows, so that the control streams and drops its oldest lines, and
// adds its worst tick. A warm-up run before them lets the fresh prefix
// settle. After the figures, each run's slowest ticks: when they came, their
// cost, what the control held before and after, and whether the view was
// left above the end. Needs vregtool.exe (the stand-in) beside it. --quick
// runs a short pass.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "build/BuildOutputView.h"
#include "capture/ScanTool.h"
#include "capture/ToolRunner.h"
#include "resources/ResourceIds.h"
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

// The build page's output control as its template (IDD_FINISHED) makes it:
// the page's dialog font and size, the control's place and styles (EDITTEXT
// adds WS_BORDER and WS_TABSTOP), in a visible frame of the page's size.
INT_PTR CALLBACK FrameProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

HWND CreatePageFrame() {
  std::vector<WORD> t;
  auto put = [&t](const wchar_t* s) {
    do t.push_back(WORD(*s)); while (*s++);
  };
  auto dword = [&t](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  dword(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT);  // DLGTEMPLATE
  dword(0);
  t.insert(t.end(), {1, 0, 0, 321, 204, 0, 0});  // one item, x, y, cx, cy, no menu, no class
  put(L"build output");
  t.push_back(9);
  put(L"MS Shell Dlg");
  if (t.size() % 2) t.push_back(0);  // DLGITEMTEMPLATE on a DWORD boundary
  dword(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL);
  dword(0);
  t.insert(t.end(), {14, 51, 293, 102, WORD(IDC_BUILD_OUTPUT), 0xFFFF, 0x0081, 0, 0});  // EDIT, no text, no data
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()), nullptr,
                                    FrameProc, 0);
}

// One refresh tick, for the slowest ones printed after each run: when it
// came, what it cost, and what the control held before and after.
struct Tick {
  int n;
  double at, ms;  // ms since the run's start; its cost
  int before, after;
  bool headChanged;  // the control's first characters differ: set whole or lines put back above
  bool awayFromEnd;  // the view left above the last line
};

// Whether the control's view shows its last line.
bool ViewAtEnd(HWND edit) {
  LRESULT last = SendMessageW(edit, EM_GETLINECOUNT, 0, 0) - 1;
  LRESULT first = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  return last - first < 40;  // the page's control shows about a dozen lines
}

std::wstring Head(HWND edit) {
  wchar_t head[17] = {};
  GetWindowTextW(edit, head, 17);
  return head;
}

struct Result {
  double worstTick = 0;   // seconds
  double worstOther = 0;  // the slowest other message: the control's drawing
  double endToShown = 0;  // from the reader's last byte to the output shown
  double total = 0;
  size_t shownChars = 0;
  bool ok = false;
  std::vector<Tick> ticks;
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
  // As the page does: a 250 ms poll timer asks for the end and shows what is
  // new (at the end, all the tool wrote); while more waits than one slice, a
  // short timer goes on showing.
  SetTimer(frame, 2, 250, nullptr);
  MSG msg;
  bool ended = false, behind = false;
  double last = 0;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == frame) {
      int before = GetWindowTextLengthW(edit);
      std::wstring head = Head(edit);
      double a = Seconds();
      DWORD code = 0;
      if (msg.wParam == 2 && !ended && !loom::IsToolRunning(&code)) {
        ended = true;  // the reader has read the last byte and ended
        last = Seconds();
        KillTimer(frame, 2);
      }
      bool more = view.Refresh(edit);  // one a tick, also at the end
      double ms = (Seconds() - a) * 1e3;
      r.ticks.push_back({int(r.ticks.size()), (a - t0) * 1e3, ms, before, GetWindowTextLengthW(edit), Head(edit) != head,
                         !ViewAtEnd(edit)});
      r.worstTick = std::max(r.worstTick, ms / 1e3);
      if (ended && !more) break;
      if (more != behind) {
        behind = more;
        if (more)
          SetTimer(frame, 3, 15, nullptr);
        else
          KillTimer(frame, 3);
      }
      continue;
    }
    // The control is drawn by its own messages after a tick: they hold the
    // same thread.
    double a = Seconds();
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    r.worstOther = std::max(r.worstOther, Seconds() - a);
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

// The run's slowest ticks, slowest first, and how many ticks it had.
void PrintSlowest(const char* name, Result r) {
  std::sort(r.ticks.begin(), r.ticks.end(), [](const Tick& x, const Tick& y) { return x.ms > y.ms; });
  size_t away = size_t(std::count_if(r.ticks.begin(), r.ticks.end(), [](const Tick& t) { return t.awayFromEnd; }));
  printf("  %-8s %zu ticks (%zu left the view above the end); slowest:", name, r.ticks.size(), away);
  for (size_t i = 0; i < std::min<size_t>(3, r.ticks.size()); ++i) {
    const Tick& t = r.ticks[i];
    printf(" #%d at %.0f ms: %.1f ms, %d -> %d chars%s;", t.n, t.at, t.ms, t.before, t.after,
           t.headChanged ? " (head changed)" : "");
  }
  printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = loom::bench::QuickRun(argc, argv);
  const long small = quick ? 2000 : 10000, large = small * 10;
  HWND frame = CreatePageFrame();
  HWND edit = GetDlgItem(frame, IDC_BUILD_OUTPUT);
  SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // as the page: as much as the tools write
  Result warm = RunOnce(frame, edit, small);  // warm-up: the fresh prefix settles, not counted
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
  printf("slowest ticks (warm-up not counted):\n");
  for (auto [name, r] : {std::pair("warm-up", warm), std::pair("small", a), std::pair("large", b), std::pair("paced", c)})
    PrintSlowest(name, r);
  double worst = std::max({a.worstTick, b.worstTick, c.worstTick}) * 1e3;
  printf("slowest other message (drawing the control): %.1f ms\n",
         std::max({a.worstOther, b.worstOther, c.worstOther}) * 1e3);
  double ratio = b.endToShown / std::max(a.endToShown, 1e-4);
  printf("worst tick: %.1f ms (target <= 50)\n", worst);
  printf("last byte to shown, 10x the output: ratio %.2f (target <= 11); whole run ratio %.2f\n", ratio,
         b.total / a.total);
  return 0;
}
