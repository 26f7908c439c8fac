// The build page's output between two threads: the build tools' reader
// appends their bytes under a lock, the page's timer shows what is new in an
// edit control. A refresh makes one change to the control, decided by an
// OutputWindow: new lines or a progress line that a bare carriage return
// rewrote, a slice at a time sized to take about 12 ms; the oldest lines
// dropped; the last lines at once when more is new than the control keeps,
// with the lines above them put back once nothing new waits.
//
// An edit control's own cost per change grows with the text it holds, so
// the control keeps the last kShownChars characters of a very long output
// (whole lines, more than a thousand of them); the text itself is kept
// whole.
#pragma once

#include <windows.h>

#include <string>

#include "build/BuildOutputText.h"
#include "build/OutputWindow.h"

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
  // User-interface thread: what the control holds; the next slice's size
  // in characters.
  OutputWindow window_{kShownChars, kJumpChars};
  size_t slice_ = 8192;
};

// The build tools' reader, run by the tool runner on a thread of its own:
// reads the pipe (at most 16,384 bytes at a time, sized by what waits) into
// the view set with SetBuildOutputTarget.
DWORD WINAPI BuildOutputPump(void* context);
void SetBuildOutputTarget(BuildOutputView* view);

}  // namespace loom
