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

bool BuildOutputView::Refresh(HWND edit) {
  constexpr double kBudgetMs = 25;
  constexpr size_t kMinSlice = 4096, kMaxSlice = 262144;
  LARGE_INTEGER freq, start, end;
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&start);

  size_t from, length, dropTo = shownFrom_;
  bool more;
  std::wstring fresh;
  {
    Lock lock(lock_);
    const std::u16string& text = text_.Text();
    from = text_.TakeChangedFrom();
    if (from > shownLength_) from = shownLength_;
    if (from < shownFrom_) {
      // A rewrite reaches above what the control holds: show from there.
      dropTo = from;
      shownFrom_ = from;
      shownLength_ = from;
      ::SetWindowTextW(edit, L"");
    }
    if (text.size() == shownLength_ && from == shownLength_) return false;
    if (shownLength_ - shownFrom_ > kShownChars + kShownChars / 4) {
      // Keep the last kShownChars, from the start of a line. Dropping the
      // head costs as much as the control holds: it is this call's work.
      size_t cut = text.find(u'\n', shownLength_ - kShownChars);
      if (cut != std::u16string::npos && cut < from) dropTo = cut + 1;
    }
    // What the control shows stays a piece of the text: the part up to
    // `from` is unchanged, and a slice of what follows is added to it.
    size_t take = dropTo > shownFrom_ ? 0 : std::min(text.size() - from, slice_);
    length = from + take;
    more = length < text.size();
    fresh = ToWide(std::u16string_view(text).substr(from, take));
  }
  if (dropTo > shownFrom_) {
    ::SendMessageW(edit, EM_SETSEL, 0, LPARAM(dropTo - shownFrom_));
    ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    shownFrom_ = dropTo;
    if (from == shownLength_) return more;  // the next call goes on
  }
  // The stale tail is selected and replaced by what is new; the caret ends
  // behind it, at the end of the text, scrolled into view.
  ::SendMessageW(edit, EM_SETSEL, WPARAM(from - shownFrom_), LPARAM(shownLength_ - shownFrom_));
  ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(fresh.c_str()));
  shownLength_ = length;

  // The next slice takes about the budget, judged by this one.
  ::QueryPerformanceCounter(&end);
  double ms = double(end.QuadPart - start.QuadPart) * 1000.0 / double(freq.QuadPart);
  double scaled = double(slice_) * kBudgetMs / std::max(ms, 1.0);
  slice_ = size_t(std::clamp(scaled, double(slice_ / 2), double(slice_ * 2)));
  slice_ = std::clamp(slice_, kMinSlice, kMaxSlice);
  return more;
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
