#include "build/BuildOutputView.h"

#include <algorithm>
#include <atomic>
#include <memory>

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
  shownFrom_ = 0;
  shownLength_ = 0;
  backfill_ = false;
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

// The start of the line that holds `pos`, or of the next one, whichever is
// nearer to `pos` without passing `limit`; `pos` itself when neither is.
size_t NearLineStart(std::u16string_view text, size_t pos, size_t limit) {
  if (pos == 0 || text[pos - 1] == u'\n') return pos;
  size_t next = text.find(u'\n', pos);
  return next != std::u16string_view::npos && next + 1 < limit ? next + 1 : pos;
}

void ShowEnd(HWND edit) {
  LPARAM end = ::GetWindowTextLengthW(edit);
  ::SendMessageW(edit, EM_SETSEL, WPARAM(end), end);
  ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

}  // namespace

bool BuildOutputView::Refresh(HWND edit) {
  constexpr double kBudgetMs = 20;
  constexpr size_t kMinSlice = 4096, kMaxSlice = 262144;
  LARGE_INTEGER freq, start, end;
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&start);

  // What to do is decided under the lock and done to the control after it,
  // so that the reader never waits on the control.
  enum class Step { Append, Jump, Backfill } step;
  bool reset = false, lastPiece = false;
  size_t from, to, size, dropTo = shownFrom_;
  std::wstring piece;
  {
    Lock lock(lock_);
    const std::u16string_view text(text_.Text());
    size = text.size();
    from = std::min(text_.TakeChangedFrom(), shownLength_);
    if (from < shownFrom_) {
      // A rewrite reaches above what the control holds: show from there
      // and put the lines above back later.
      reset = true;
      shownFrom_ = shownLength_ = dropTo = from;
      backfill_ = from > 0;
    }
    if (size - from > kShownChars) {
      // More is new than the control keeps: shown a slice at a time, most of
      // it would be dropped again before the end. The last lines are shown
      // at once and the lines above them put back on later calls.
      step = Step::Jump;
      to = size;
      from = NearLineStart(text, size - kJumpChars, size);
    } else if (from < size || from < shownLength_ || reset) {
      step = Step::Append;
      if (shownLength_ - shownFrom_ > kShownChars + kShownChars / 4) {
        // Keep the last kShownChars, from the start of a line. Dropping the
        // head costs as much as the control holds: it is this call's work.
        size_t cut = text.find(u'\n', shownLength_ - kShownChars);
        if (cut != std::u16string_view::npos && cut < from) dropTo = cut + 1;
      }
      // What the control shows stays a piece of the text: the part up to
      // `from` is unchanged, and a slice of what follows is added to it.
      to = dropTo > shownFrom_ ? from : from + std::min(size - from, slice_);
    } else if (backfill_) {
      // Nothing new: a slice of the lines above what is shown goes back.
      step = Step::Backfill;
      to = shownFrom_;
      size_t floor = shownLength_ > kShownChars ? shownLength_ - kShownChars : 0;
      size_t want = to > slice_ ? to - slice_ : 0;
      lastPiece = want <= floor;
      from = NearLineStart(text, std::max(floor, want), to);
    } else {
      return false;
    }
    piece = ToWide(text.substr(from, to - from));
  }

  if (reset) ::SetWindowTextW(edit, L"");
  switch (step) {
    case Step::Jump:
      ::SetWindowTextW(edit, piece.c_str());
      ShowEnd(edit);
      shownFrom_ = from;
      shownLength_ = to;
      backfill_ = from > 0;
      break;
    case Step::Append:
      if (dropTo > shownFrom_) {
        ::SendMessageW(edit, EM_SETSEL, 0, LPARAM(dropTo - shownFrom_));
        ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        shownFrom_ = dropTo;
      }
      // The stale tail is selected and replaced by what is new; the caret
      // ends behind it, at the end of the text, scrolled into view.
      ::SendMessageW(edit, EM_SETSEL, WPARAM(from - shownFrom_), LPARAM(shownLength_ - shownFrom_));
      ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
      shownLength_ = to;
      if (shownLength_ - shownFrom_ >= kShownChars) backfill_ = false;
      break;
    case Step::Backfill: {
      // Inserted above, out of sight: drawn once, with the view back at the
      // end. Redrawing is switched through the visible style, so a hidden
      // control is left hidden.
      bool drawn = (::GetWindowLongW(edit, GWL_STYLE) & WS_VISIBLE) != 0;
      if (drawn) ::SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
      ::SendMessageW(edit, EM_SETSEL, 0, 0);
      ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
      ShowEnd(edit);
      if (drawn) {
        ::SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(edit, nullptr, TRUE);
      }
      shownFrom_ = from;
      backfill_ = from > 0 && !lastPiece;
      break;
    }
  }

  // The next slice takes about the budget, judged by this one (a jump's
  // size is fixed and says nothing about it).
  if (step == Step::Jump) return true;
  ::QueryPerformanceCounter(&end);
  double ms = double(end.QuadPart - start.QuadPart) * 1000.0 / double(freq.QuadPart);
  double scaled = double(slice_) * kBudgetMs / std::max(ms, 1.0);
  slice_ = size_t(std::clamp(scaled, double(slice_ / 2), double(slice_ * 2)));
  slice_ = std::clamp(slice_, kMinSlice, kMaxSlice);
  return shownLength_ < size || backfill_;
}

void SetBuildOutputTarget(BuildOutputView* view) { g_target.store(view); }

DWORD WINAPI BuildOutputPump(void* param) {
  std::unique_ptr<ReaderContext> ctx(static_cast<ReaderContext*>(param));
  BuildOutputView* view = g_target.load();
  constexpr DWORD kMaxRead = 16384;
  auto buffer = std::make_unique<char[]>(kMaxRead);
  for (;;) {
    DWORD waiting = 0;
    if (!::PeekNamedPipe(ctx->readEnd, nullptr, 0, nullptr, &waiting, nullptr)) waiting = 0;
    waiting &= ~DWORD(1);  // whole code units
    DWORD want = (waiting == 0 || waiting > kMaxRead) ? kMaxRead : waiting;
    DWORD got = 0;
    if (!::ReadFile(ctx->readEnd, buffer.get(), want, &got, nullptr)) break;
    if (got > 0 && view) view->Append(buffer.get(), got);
  }
  // An odd last byte never pairs with the next tool's first one.
  if (view) view->EndStream();
  ::CloseHandle(ctx->readEnd);
  return 0;
}

}  // namespace loom
