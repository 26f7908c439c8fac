#include "build/BuildOutputView.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "capture/PipeReader_win32.h"
#include "capture/ToolRunner.h"
#include "framework/WinText.h"

namespace loom {
namespace {

std::atomic<BuildOutputView*> g_target{nullptr};

}  // namespace

class BuildOutputView::Lock {
 public:
  explicit Lock(CRITICAL_SECTION& cs) : cs_(cs) { ::EnterCriticalSection(&cs_); }
  ~Lock() { ::LeaveCriticalSection(&cs_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION& cs_;
};

void BuildOutputView::Append(const void* bytes, size_t count) {
  Lock lock(lock_);
  text_.Append(bytes, count);
}

void BuildOutputView::EndStream() {
  Lock lock(lock_);
  text_.EndStream();
}

void BuildOutputView::Clear(HWND edit) {
  {
    Lock lock(lock_);
    text_.Clear();
    text_.TakeChangedFrom();
  }
  window_.Clear();
  ::SetWindowTextW(edit, L"");
}

void BuildOutputView::AppendClosingMessage(const std::wstring& message) {
  Lock lock(lock_);
  text_.AppendClosingMessage(AsU16(message.c_str()));
}

std::wstring BuildOutputView::Text() {
  Lock lock(lock_);
  return ToWide(text_.Text());
}

namespace {

void ShowEnd(HWND edit) {
  LPARAM end = ::GetWindowTextLengthW(edit);
  ::SendMessageW(edit, EM_SETSEL, WPARAM(end), end);
  ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

// A visible edit control works out what to redraw and scrolls its view at
// every step of a change, which under Wine costs more than the change itself
// (about 10 ms of a 4 K-character append). Marked invisible, as WM_SETREDRAW
// marks a window on Windows, it only keeps its lines; it is then drawn once,
// frame and scroll bar included. A control the page has hidden stays hidden.
class UndrawnWhileChanged {
 public:
  explicit UndrawnWhileChanged(HWND edit) : edit_(edit), style_(::GetWindowLongW(edit, GWL_STYLE)) {
    if (style_ & WS_VISIBLE) ::SetWindowLongW(edit_, GWL_STYLE, style_ & ~LONG(WS_VISIBLE));
  }
  ~UndrawnWhileChanged() {
    if (!(style_ & WS_VISIBLE)) return;
    ::SetWindowLongW(edit_, GWL_STYLE, style_);
    ::RedrawWindow(edit_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
  UndrawnWhileChanged(const UndrawnWhileChanged&) = delete;
  UndrawnWhileChanged& operator=(const UndrawnWhileChanged&) = delete;

 private:
  HWND edit_;
  LONG style_;
};

}  // namespace

bool BuildOutputView::Refresh(HWND edit) {
  constexpr double kBudgetMs = 12;
  constexpr size_t kMinSlice = 4096, kMaxSlice = 262144;
  LARGE_INTEGER freq, start, end;
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&start);

  // The change is decided under the lock and made to the control after it,
  // so that the reader never waits on the control.
  OutputChange change;
  size_t size;
  {
    Lock lock(lock_);
    const std::u16string_view text(text_.Text());
    size = text.size();
    change = window_.Next(text, text_.TakeChangedFrom(), slice_);
  }
  if (change.kind == OutputChange::Kind::None) return false;
  const wchar_t* piece = AsWide(change.piece.c_str());
  UndrawnWhileChanged undrawn(edit);
  switch (change.kind) {
    case OutputChange::Kind::None: break;
    case OutputChange::Kind::SetText:
      // All of it replaced, rather than the text set: setting it would put
      // the view at the top first, and the view stays at the end.
      ::SendMessageW(edit, EM_SETSEL, 0, -1);
      ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece));
      ShowEnd(edit);
      break;
    case OutputChange::Kind::Splice:
      if (change.dropHead > 0) {
        ::SendMessageW(edit, EM_SETSEL, 0, LPARAM(change.dropHead));
        ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
      }
      // The stale tail is selected and replaced by what is new; the caret
      // ends behind it, at the end of the text, scrolled into view.
      ::SendMessageW(edit, EM_SETSEL, WPARAM(change.replaceFrom), LPARAM(change.replaceTo));
      ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece));
      // Replacing nothing with nothing leaves the caret where the drop put
      // it, at the start: back to the end.
      if (change.dropHead > 0 && change.piece.empty() && change.replaceFrom == change.replaceTo) ShowEnd(edit);
      break;
    case OutputChange::Kind::Prepend:
      // Inserted above, out of sight, with the view back at the end.
      ::SendMessageW(edit, EM_SETSEL, 0, 0);
      ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece));
      ShowEnd(edit);
      break;
  }

  // The next slice takes about the budget, judged by what this change
  // showed. Only a piece of at least half a slice says how fast the control
  // takes text: a smaller one (the little that had arrived, or a drop of the
  // oldest lines) costs mostly the control's own fixed cost per change, and
  // a slice grown on such ticks would show the next burst in one long tick.
  // A whole text set at once says nothing about it either.
  if (change.kind != OutputChange::Kind::SetText && change.piece.size() >= slice_ / 2) {
    ::QueryPerformanceCounter(&end);
    double ms = double(end.QuadPart - start.QuadPart) * 1000.0 / double(freq.QuadPart);
    double scaled = double(change.piece.size()) * kBudgetMs / std::max(ms, 1.0);
    slice_ = size_t(std::clamp(scaled, double(slice_ / 2), double(slice_ * 2)));
    slice_ = std::clamp(slice_, kMinSlice, kMaxSlice);
  }
  return window_.Behind(size);
}

void SetBuildOutputTarget(BuildOutputView* view) { g_target.store(view); }

DWORD WINAPI BuildOutputPump(void* param) {
  std::unique_ptr<ReaderContext> ctx(static_cast<ReaderContext*>(param));
  BuildOutputView* view = g_target.load();
  ReadPipeBytes(ctx->readEnd, [view](const char* bytes, size_t count) {
    if (view) view->Append(bytes, count);
  });
  // An odd last byte never pairs with the next tool's first one.
  if (view) view->EndStream();
  ::CloseHandle(ctx->readEnd);
  return 0;
}

}  // namespace loom
