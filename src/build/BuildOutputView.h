// The build page's output between two threads: the build tools' reader
// appends their bytes under a lock, the page's timer shows what is new in an
// edit control. A refresh replaces only the part of the text that changed
// since the last one (new lines, or a progress line that a bare carriage
// return rewrote), a slice at a time, sized to take about 25 ms.
//
// An edit control's own cost per change grows with the text it holds, so
// the control keeps the last kShownChars characters of a very long output
// (whole lines, more than a thousand of them); the text itself is kept
// whole. When more is new than the control keeps (a tool writing faster
// than the control takes it), the last lines are shown at once and the
// lines above them put back a slice at a time once nothing new waits.
#pragma once

#include <windows.h>

#include <string>

#include "build/BuildOutputText.h"

namespace loom {

class BuildOutputView {
 public:
  BuildOutputView() { ::InitializeCriticalSection(&lock_); }
  ~BuildOutputView() { ::DeleteCriticalSection(&lock_); }
  BuildOutputView(const BuildOutputView&) = delete;
  BuildOutputView& operator=(const BuildOutputView&) = delete;

  // Reader thread: the next bytes of a tool's output; the end of one tool's output.
  void Append(const void* bytes, size_t count);
  void EndStream();

  // User-interface thread.
  void Clear(HWND edit);  // empties the text and the control
  void AppendClosingMessage(const std::wstring& message);
  // Shows a slice of what is new in `edit`, caret and view at the end. True
  // when more is waiting to be shown: the caller calls again soon, so that
  // no single call holds the user-interface thread long.
  bool Refresh(HWND edit);
  static constexpr size_t kShownChars = size_t(1) << 17;
  // What is shown at once when more is new than the control keeps: a few
  // screens of the page's control.
  static constexpr size_t kJumpChars = 4096;
  std::wstring Text();

 private:
  class Lock;
  CRITICAL_SECTION lock_;
  BuildOutputText text_;  // guarded by lock_
  // User-interface thread: the control holds the text from shownFrom_ to
  // shownLength_; the next slice's size in characters.
  size_t shownFrom_ = 0;
  size_t shownLength_ = 0;
  size_t slice_ = 8192;
  bool backfill_ = false;  // lines above shownFrom_ are still to be put back
};

// The build tools' reader, run by the tool runner on a thread of its own:
// reads the pipe (at most 16,384 bytes at a time, sized by what waits) into
// the view set with SetBuildOutputTarget.
DWORD WINAPI BuildOutputPump(void* context);
void SetBuildOutputTarget(BuildOutputView* view);

}  // namespace loom
