// Runs one child process at a time with its standard output and error joined
// into one pipe, read on a thread of its own.
#pragma once

#include <windows.h>

#include <string>

namespace loom {

// What a reader thread receives: the pipe's read end and the window to tell.
// Allocated by RunTool, freed by the reader.
struct ReaderContext {
  HANDLE readEnd;
  HWND window;
};
using ReaderRoutine = DWORD(WINAPI*)(void* context);

// Output lines of the running tool, sent by the scan tool's reader (lParam:
// the NUL-terminated text, valid during the call), one message a line kind.
constexpr UINT WM_TOOL_INFO = WM_APP;
constexpr UINT WM_TOOL_WARNING = WM_APP + 1;
constexpr UINT WM_TOOL_ERROR = WM_APP + 2;
// Sent to the tool's window as a tool starts: the error text is emptied.
constexpr UINT WM_TOOL_STARTING = WM_APP + 3;

// Posted to the tool's window once its reader has taken the last output and
// the process has ended, so that the end is noticed at once rather than on
// the next poll. A poll may have collected the end before it arrives: act on
// it only while ToolEndUncollected().
constexpr UINT WM_TOOL_ENDED = WM_APP + 4;

// The scan tool's reader: cuts the output into lines and sends each to the
// window as WM_TOOL_INFO, WM_TOOL_WARNING or WM_TOOL_ERROR.
DWORD WINAPI OutputReader(void* context);

// Starts a child (stopping one that still runs), its output read by `reader`
// for `window` (null for a reader that tells no window). False, and nothing
// said, when the process could not be created: the caller tells the user.
bool RunTool(const std::wstring& commandLine, HWND window, ReaderRoutine reader = OutputReader);

// True while the child runs. When it has ended: collects its exit code, joins
// the reader (pumping sent messages meanwhile), and reports the last exit code.
bool IsToolRunning(DWORD* exitCode = nullptr);

// True while a started child's end has not been collected by IsToolRunning.
bool ToolEndUncollected();

// Terminates a running child with exit code 0 and waits for its end.
void StopTool();

}  // namespace loom
