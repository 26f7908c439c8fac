#include "wizard/Resume_win32.h"

#include <windows.h>

#include <vector>

#include "app/CommandLine.h"
#include "capture/CaptureState.h"
#include "capture/ScanTool.h"
#include "framework/WinText.h"
#include "wizard/Resume.h"
#include "wizard/Steps.h"

namespace loom {
namespace {

const wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const wchar_t kResumeValue[] = L"\u7ee7\u7eedWrenlowLoomwise";  // "继续WrenlowLoomwise"

std::wstring ProgramPathForResume() {
  wchar_t origin[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableW(L"QM_ORIGIN", origin, MAX_PATH);
  bool set = n > 0 && n < MAX_PATH;
  return ToWide(ResumeProgramPath(ToU16(std::wstring(origin, set ? n : 0)), set, ToU16(ProgramPath())));
}

// Reads the resume value; false when the key or value is missing.
bool ReadResumeValue(std::wstring& value) {
  HKEY key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  std::vector<BYTE> buf(1024);
  DWORD type = 0, size = DWORD(buf.size());
  LONG rc = ::RegQueryValueExW(key, kResumeValue, nullptr, &type, buf.data(), &size);
  if (rc == ERROR_MORE_DATA) {
    buf.resize(size);
    rc = ::RegQueryValueExW(key, kResumeValue, nullptr, &type, buf.data(), &size);
  }
  ::RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  value.assign(reinterpret_cast<const wchar_t*>(buf.data()), size / 2);
  if (!value.empty() && value.back() == L'\0') value.pop_back();
  return true;
}

// Waits (at most about ten seconds) until the system has removed the value
// it started us from.
void WaitForResumeValueToVanish() {
  HKEY key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  BYTE buf[512];
  for (int tries = 0;; ++tries) {
    DWORD size = sizeof buf;
    LONG rc = ::RegQueryValueExW(key, kResumeValue, nullptr, nullptr, buf, &size);
    if (rc == ERROR_FILE_NOT_FOUND || tries >= 10) break;
    ::Sleep(1000);
  }
  ::RegCloseKey(key);
}

std::vector<std::wstring> Tokens(const std::wstring& commandLine) {
  std::vector<std::wstring> out;
  for (const std::u16string& t : SplitCommandLine(ToU16(commandLine))) out.push_back(ToWide(t));
  return out;
}

std::vector<std::u16string> U16Tokens(const std::vector<std::wstring>& tokens) {
  std::vector<std::u16string> out;
  for (const std::wstring& t : tokens) out.push_back(ToU16(t));
  return out;
}

}  // namespace

void SetResumeEntry(bool on, int ieSelection, const wchar_t* commandLine) {
  CaptureState& st = State();
  HKEY key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS &&
      ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunOnceKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
    return;
  if (!on || (!commandLine && st.startSnapshotPath.empty())) {
    ::RegDeleteValueW(key, kResumeValue);
    ::RegCloseKey(key);
    return;
  }
  std::u16string program = ToU16(ProgramPathForResume());
  std::u16string data;
  if (commandLine) {
    data = ResumeValueFromCommandLine(program, AsU16(commandLine));
  } else if (st.endSnapshotPath.empty()) {
    data = ResumeValueAfterPrescan(program, ToU16(st.startSnapshotPath), ToU16(st.scanLocations), ieSelection);
  } else {
    data = ResumeValueAfterPostscan(program, ToU16(st.startSnapshotPath), ToU16(st.endSnapshotPath),
                                    ToU16(st.scanLocations), ieSelection);
  }
  ::RegSetValueExW(key, kResumeValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   DWORD((data.size() + 1) * sizeof(char16_t)));
  ::RegCloseKey(key);
}

std::optional<PendingResume> FindPendingResume() {
  CaptureState& st = State();
  PendingResume pending;
  pending.carrier = ::GetCommandLineW();
  st.tokens = Tokens(pending.carrier);
  if (st.tokens.size() == 1) {
    std::wstring value;
    if (ReadResumeValue(value)) {
      st.tokens = Tokens(value);
      pending.carrier = value;
      pending.fromValue = true;
    }
  }
  ResumeArguments args;
  bool valid = ParseResumeArguments(U16Tokens(st.tokens), args) && IsExistingFile(ToWide(args.prescan)) &&
               (!args.withPostscan || IsExistingFile(ToWide(args.postscan)));
  if (!valid) {
    SetResumeEntry(false, 0);  // a stale value goes
    return std::nullopt;
  }
  pending.prescanFileName = ToWide(std::u16string(FileNamePart(args.prescan)));
  return pending;
}

void KeepResumeEntry(const PendingResume& pending) {
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  if (!pending.fromValue) WaitForResumeValueToVanish();
  SetResumeEntry(true, 0, pending.carrier.c_str());
}

int ApplyResumeChoice(bool continueCapture, int& ieSelection) {
  CaptureState& st = State();
  ResumeArguments args;
  bool parsed = ParseResumeArguments(U16Tokens(st.tokens), args);
  if (!continueCapture || !parsed) {
    if (st.tokens.size() > 1) DeleteExistingFile(st.tokens[1]);
    return StepReadyToPrescan;
  }
  st.startSnapshotPath = ToWide(args.prescan);
  st.scanLocations = ToWide(args.scanLocations);
  if (args.ieSelection >= 0) ieSelection = args.ieSelection;
  if (!args.withPostscan) return StepInstall;
  st.endSnapshotPath = ToWide(args.postscan);
  return StepCompare;
}

}  // namespace loom
