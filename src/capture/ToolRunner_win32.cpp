#include "capture/ToolRunner.h"

#include <memory>

#include "capture/CaptureState.h"
#include "capture/PipeReader_win32.h"

namespace loom {

CaptureState& State() {
  static CaptureState state;
  return state;
}

namespace {

struct ReaderThreadArgs {
  ReaderRoutine reader;
  ReaderContext* context;
  HANDLE process;  // a duplicate, closed here
};

// Runs the reader, then waits for the process and tells the window.
DWORD WINAPI ReaderThread(void* param) {
  std::unique_ptr<ReaderThreadArgs> args(static_cast<ReaderThreadArgs*>(param));
  HWND window = args->context->window;
  DWORD result = args->reader(args->context);
  if (args->process) {
    ::WaitForSingleObject(args->process, INFINITE);
    ::CloseHandle(args->process);
  }
  if (window) ::PostMessageW(window, WM_TOOL_ENDED, 0, 0);
  return result;
}

}  // namespace

DWORD WINAPI OutputReader(void* param) {
  std::unique_ptr<ReaderContext> ctx(static_cast<ReaderContext*>(param));
  HWND window = ctx->window;
  ReadPipeLines(ctx->readEnd, [window](ToolLineKind kind, const char16_t* text, size_t) {
    ::SendMessageW(window, WM_TOOL_INFO + UINT(kind), 0, reinterpret_cast<LPARAM>(text));
  });
  ::CloseHandle(ctx->readEnd);
  return 0;
}

bool RunTool(const std::wstring& commandLine, HWND window, ReaderRoutine reader) {
  CaptureState& st = State();
  if (IsToolRunning()) StopTool();
  if (window) ::SendMessageW(window, WM_TOOL_STARTING, 0, 0);

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
    auto* args = new ReaderThreadArgs{reader, new ReaderContext{readEnd, window}, nullptr};
    ::DuplicateHandle(::GetCurrentProcess(), st.child.hProcess, ::GetCurrentProcess(), &args->process, SYNCHRONIZE,
                      FALSE, 0);
    st.readerThread = ::CreateThread(nullptr, 0, ReaderThread, args, 0, nullptr);
    if (!st.readerThread) {
      ::CloseHandle(readEnd);
      if (args->process) ::CloseHandle(args->process);
      delete args->context;
      delete args;
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

bool ToolEndUncollected() { return State().child.hProcess != nullptr; }

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
