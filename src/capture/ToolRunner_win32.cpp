#include "capture/ToolRunner.h"

#include <memory>
#include <string>

#include "capture/CaptureState.h"
#include "capture/PipeReader_win32.h"

namespace loom {

CaptureState& State() {
  static CaptureState state;
  return state;
}

namespace {

// Clears the main window's error text when a tool starts.
constexpr UINT kClearErrorText = WM_APP + 3;

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

// A tool's info lines are its progress, and the window shows only the latest.
// While the tool writes faster than anyone can read, the window is sent the
// latest info line at most every kInfoLinePeriodMs instead of every one (a
// cross-thread send per line held a chatty tool back and kept the interface
// thread busy). The line held back is sent as soon as the pipe runs dry,
// before any warning or error (so the order of what the window is told stays
// the tool's), and at the end, so the last line shown is always the tool's
// last. Warnings and errors are all sent, each as it comes.
constexpr ULONGLONG kInfoLinePeriodMs = 50;

class LineSender {
 public:
  explicit LineSender(HWND window) : window_(window) {}

  void Line(ToolLineKind kind, const char16_t* text, size_t length) {
    if (kind == ToolLineKind::Info) {
      heldInfo_.assign(text, length);
      holding_ = true;
      if (::GetTickCount64() - infoSentAt_ < kInfoLinePeriodMs) return;
    }
    SendHeldInfo();
    if (kind != ToolLineKind::Info) Send(kind, text);
  }

  void SendHeldInfo() {
    if (!holding_) return;
    holding_ = false;
    infoSentAt_ = ::GetTickCount64();
    Send(ToolLineKind::Info, heldInfo_.c_str());
  }

 private:
  void Send(ToolLineKind kind, const char16_t* text) {
    ::SendMessageW(window_, WM_APP + UINT(kind), 0, reinterpret_cast<LPARAM>(text));
  }

  HWND window_;
  std::u16string heldInfo_;
  bool holding_ = false;
  ULONGLONG infoSentAt_ = 0;
};

}  // namespace

DWORD WINAPI OutputReader(void* param) {
  std::unique_ptr<ReaderContext> ctx(static_cast<ReaderContext*>(param));
  LineSender sender(ctx->window);
  ReadPipeLines(
      ctx->readEnd,
      [&sender](ToolLineKind kind, const char16_t* text, size_t length) { sender.Line(kind, text, length); },
      [&sender] { sender.SendHeldInfo(); });
  sender.SendHeldInfo();
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
