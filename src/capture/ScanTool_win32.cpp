#include "capture/ScanTool.h"

#include <windows.h>
#include <objbase.h>

#include "capture/CaptureState.h"
#include "framework/Messages.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "resources/ResourceIds.h"

namespace loom {
namespace {

constexpr wchar_t kToolName[] = L"snapshot.exe";
constexpr wchar_t kToolName64[] = L"snapshot64.exe";

// A 64-bit build is on 64-bit Windows by definition; a 32-bit build is when
// the platform runs it under WOW64.
bool Is64BitWindows() {
#ifdef _WIN64
  return true;
#else
  BOOL wow64 = FALSE;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto fn = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  return fn && fn(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::wstring FullPath(const std::wstring& path) {
  wchar_t buf[MAX_PATH];
  DWORD n = ::GetFullPathNameW(path.c_str(), MAX_PATH, buf, nullptr);
  if (n == 0 || n >= MAX_PATH) return path;
  return std::wstring(buf, n);
}

// Start-up cannot go on: told before any window exists, so without owner.
[[noreturn]] void Fatal(const std::wstring& text) {
  ShowMessage(nullptr, text, MB_OK, IDS_CAPTION_ERROR);
  ::ExitProcess(0);
}

}  // namespace

std::wstring ProgramPath() {
  wchar_t buf[MAX_PATH];
  DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
  return std::wstring(buf, n < MAX_PATH ? n : 0);
}

std::wstring ProgramFolder() {
  std::wstring path = ProgramPath();
  size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsExistingFile(const std::wstring& path) {
  DWORD attr = ::GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteExistingFile(const std::wstring& path) {
  if (path.empty() || !IsExistingFile(path)) return true;
  return ::DeleteFileW(path.c_str()) != 0;
}

bool LocateScanTool(std::wstring& folder, std::wstring& name, std::wstring& problem) {
  name = Is64BitWindows() ? kToolName64 : kToolName;
  for (;;) {
    std::wstring beside = ProgramFolder();
    if (IsExistingFile(FormatW(L"%ls\\%ls", beside.c_str(), name.c_str()))) {
      folder = beside;
      return true;
    }
    std::wstring second = FullPath(FormatW(L"%ls\\..\\..\\modules\\%ls", beside.c_str(), name.c_str()));
    if (IsExistingFile(second)) {
      folder = second.substr(0, second.rfind(L'\\'));
      return true;
    }
    if (name == kToolName64) {
      name = kToolName;
      continue;
    }
    problem = FormatW(LoadResString(IDS_SCAN_TOOL_MISSING).c_str(), name.c_str(), beside.c_str(), second.c_str());
    return false;
  }
}

void FindScanTool() {
  CaptureState& st = State();
  std::wstring problem;
  if (!LocateScanTool(st.toolFolder, st.toolName, problem)) Fatal(problem);
}

std::wstring ToolFailureText(ToolFailure failure, const std::wstring& errorLines, const std::wstring& resultPath) {
  switch (failure) {
    case ToolFailure::None: break;
    case ToolFailure::ErrorLines: return errorLines;
    case ToolFailure::ResultMissing: return FormatW(LoadResString(IDS_TOOL_RESULT_MISSING).c_str(), resultPath.c_str());
    case ToolFailure::ExitCode: return LoadResString(IDS_TOOL_FAILED);
  }
  return {};
}

bool TryMakeTempPath(const wchar_t* extension, std::wstring& path) {
  GUID guid = {};
  ::CoCreateGuid(&guid);
  wchar_t guidText[64] = {};
  ::StringFromGUID2(guid, guidText, 64);
  wchar_t temp[MAX_PATH] = {};
  DWORD n = ::GetTempPathW(MAX_PATH, temp);
  if (n == 0 || n >= MAX_PATH) temp[0] = 0;
  path = FormatW(L"%ls%ls.%ls", temp, guidText, extension);
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  ::DeleteFileW(path.c_str());
  return true;
}

std::wstring MakeTempPath(const wchar_t* extension) {
  std::wstring path;
  if (!TryMakeTempPath(extension, path)) Fatal(FormatW(LoadResString(IDS_CANNOT_CREATE_FILE).c_str(), path.c_str()));
  return path;
}

const std::wstring& StartSnapshotPath() {
  std::wstring& p = State().startSnapshotPath;
  if (p.empty()) p = MakeTempPath(L"snapshot");
  return p;
}

const std::wstring& EndSnapshotPath() {
  std::wstring& p = State().endSnapshotPath;
  if (p.empty()) p = MakeTempPath(L"snapshot");
  return p;
}

const std::wstring& WorkingProjectPath() {
  std::wstring& p = State().workingProjectPath;
  if (p.empty()) p = MakeTempPath(L"ini");
  return p;
}

std::wstring ShortPathOf(const std::wstring& path) {
  wchar_t buf[MAX_PATH] = {};
  DWORD n = ::GetShortPathNameW(path.c_str(), buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return path;  // no short form: the long path still names the file
  return std::wstring(buf, n);
}

}  // namespace loom
