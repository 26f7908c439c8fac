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
  const wchar_t* piece = AsWide(change.piece.c_str());
  switch (change.kind) {
    case OutputChange::Kind::None: return false;
    case OutputChange::Kind::SetText:
      ::SetWindowTextW(edit, piece);
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
    case OutputChange::Kind::Prepend: {
      // Inserted above, out of sight: drawn once, with the view back at the
      // end. Redrawing is switched through the visible style, so a hidden
      // control is left hidden.
      bool drawn = (::GetWindowLongW(edit, GWL_STYLE) & WS_VISIBLE) != 0;
      if (drawn) ::SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
      ::SendMessageW(edit, EM_SETSEL, 0, 0);
      ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece));
      ShowEnd(edit);
      if (drawn) {
        ::SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(edit, nullptr, TRUE);
      }
      break;
    }
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
