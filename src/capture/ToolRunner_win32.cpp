#include "capture/ToolRunner.h"

#include <memory>

#include "capture/CaptureState.h"
#include "capture/ToolLineDecoder.h"

namespace loom {

CaptureState& State() {
  static CaptureState state;
  return state;
}

namespace {

// Clears the main window's error text when a tool starts.
constexpr UINT kClearErrorText = WM_APP + 3;

}  // namespace

DWORD WINAPI OutputReader(void* param) {
  std::unique_ptr<ReaderContext> ctx(static_cast<ReaderContext*>(param));
  HWND window = ctx->window;
  ToolLineDecoder decoder([window](ToolLineKind kind, const char16_t* text, size_t) {
    ::SendMessageW(window, WM_APP + UINT(kind), 0, reinterpret_cast<LPARAM>(text));
  });
  char buffer[8192];
  for (;;) {
    DWORD waiting = 0;
    if (!::PeekNamedPipe(ctx->readEnd, nullptr, 0, nullptr, &waiting, nullptr)) waiting = 0;
    DWORD want = (waiting == 0 || waiting > sizeof buffer) ? DWORD(sizeof buffer) : waiting;
    DWORD got = 0;
    if (!::ReadFile(ctx->readEnd, buffer, want, &got, nullptr)) break;
    decoder.Feed(buffer, got);
  }
  // The child has ended and the pipe is broken: a last line without a line
  // end still counts (an error written last must not be lost).
  decoder.Finish();
  ::CloseHandle(ctx->readEnd);
  return 0;
}

bool RunTool(const std::wstring& commandLine, HWND window, ReaderRoutine reader) {
  CaptureState& st = State();
  if (IsToolRunning()) StopTool();
  if (window) ::SendMessageW(window, kClearErrorText, 0, 0);

  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNOACTIVATE;
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};

  HANDLE nul = ::CreateFileW(L"NUL", READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  bool piped = false;
  if (nul != INVALID_HANDLE_VALUE) {
    if (::CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
      ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
      si.dwFlags |= STARTF_USESTDHANDLES;
      si.hStdInput = nul;
      si.hStdOutput = writeEnd;
      si.hStdError = writeEnd;
      piped = true;
    } else {
      ::CloseHandle(nul);
    }
  }

  std::wstring writable = commandLine;
  writable.push_back(L'\0');
  BOOL created = ::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE,
                                  piped ? (CREATE_NO_WINDOW | DETACHED_PROCESS) : 0, nullptr, nullptr, &si, &st.child);
  if (piped) {
    ::CloseHandle(nul);
    ::CloseHandle(writeEnd);
  }
  if (!created) {
    st.child = PROCESS_INFORMATION{};
    if (piped) ::CloseHandle(readEnd);
    return false;
  }
  ::CloseHandle(st.child.hThread);
  st.child.hThread = nullptr;
  if (piped) {
    auto* ctx = new ReaderContext{readEnd, window};
    st.readerThread = ::CreateThread(nullptr, 0, reader, ctx, 0, nullptr);
    if (!st.readerThread) {
      ::CloseHandle(readEnd);
      delete ctx;
    }
  }
  return true;
}

bool IsToolRunning(DWORD* exitCode) {
  CaptureState& st = State();
  if (st.child.hProcess) {
    if (::WaitForSingleObject(st.child.hProcess, 0) == WAIT_TIMEOUT) return true;
    DWORD code = 0;
    if (::GetExitCodeProcess(st.child.hProcess, &code)) st.lastExitCode = code;
    ::CloseHandle(st.child.hProcess);
    st.child = PROCESS_INFORMATION{};
  }
  if (st.readerThread) {
    // The reader may be blocked in a send to this thread: let sent messages
    // through while waiting for it.
    while (::MsgWaitForMultipleObjects(1, &st.readerThread, FALSE, 50, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
      MSG msg;
      ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    ::CloseHandle(st.readerThread);
    st.readerThread = nullptr;
  }
  if (exitCode) *exitCode = st.lastExitCode;
  return false;
}

void StopTool() {
  CaptureState& st = State();
  if (!st.child.hProcess) return;
  if (::WaitForSingleObject(st.child.hProcess, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(st.child.hProcess, 0);
    while (::WaitForSingleObject(st.child.hProcess, 100) == WAIT_TIMEOUT) {}
  }
  IsToolRunning();
}

}  // namespace loom
