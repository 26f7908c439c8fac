// The resume value under the current user's RunOnce key, and what the
// wizard does with it at start-up and on the resume page.
#include <windows.h>

#include <vector>

#include "app/CommandLine.h"
#include "app/Registry_win32.h"
#include "capture/CaptureState.h"
#include "capture/ScanTool.h"
#include "framework/WinText.h"
#include "resources/ResourceIds.h"
#include "wizard/LoomwiseDlg.h"
#include "wizard/Resume.h"

namespace loom {
namespace {

const wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const wchar_t kResumeValue[] = L"\u7ee7\u7eedWrenlowLoomwise";  // "继续WrenlowLoomwise"

// Reads the resume value (of any type, as text); false when the key or value is missing.
bool ReadResumeValue(std::wstring& value) {
  return ReadRegistryString(HKEY_CURRENT_USER, kRunOnceKey, kResumeValue, value, true);
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

void CLoomwiseDlg::SetResumeEntry(bool on, const wchar_t* commandLine) {
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
  std::u16string program = ResumeProgramPath(origin_);
  std::u16string data;
  if (commandLine) {
    data = ResumeValueFromCommandLine(program, AsU16(commandLine));
  } else if (st.endSnapshotPath.empty()) {
    data = ResumeValueAfterPrescan(program, ToU16(st.startSnapshotPath), ToU16(st.scanLocations), post_.ieSelection);
  } else {
    data = ResumeValueAfterPostscan(program, ToU16(st.startSnapshotPath), ToU16(st.endSnapshotPath),
                                    ToU16(st.scanLocations), post_.ieSelection);
  }
  ::RegSetValueExW(key, kResumeValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   DWORD((data.size() + 1) * sizeof(char16_t)));
  ::RegCloseKey(key);
}

void CLoomwiseDlg::DecideResumeAtStartup() {
  CaptureState& st = State();
  std::wstring carrier = ::GetCommandLineW();
  st.tokens = Tokens(carrier);
  bool fromValue = false;
  if (st.tokens.size() == 1) {
    std::wstring value;
    if (ReadResumeValue(value)) {
      st.tokens = Tokens(value);
      carrier = value;
      fromValue = true;
    }
  }
  ResumeArguments args;
  bool valid = ParseResumeArguments(U16Tokens(st.tokens), args) && IsExistingFile(ToWide(args.prescan)) &&
               (!args.withPostscan || IsExistingFile(ToWide(args.postscan)));
  if (!valid) {
    SetResumeEntry(false);  // a stale value goes
    return;
  }
  GoToStep(StepResume);
  continue_.SetItemText(IDC_CONTINUE_STATIC, ToWide(std::u16string(FileNamePart(args.prescan))));
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  if (!fromValue) WaitForResumeValueToVanish();
  SetResumeEntry(true, carrier.c_str());
}

void CLoomwiseDlg::ResumeChoice() {
  CaptureState& st = State();
  ResumeArguments args;
  bool parsed = ParseResumeArguments(U16Tokens(st.tokens), args);
  if (continue_.ItemCheck(IDC_CONTINUE_RADIO) != BST_CHECKED || !parsed) {
    if (st.tokens.size() > 1) DeleteExistingFile(st.tokens[1]);
    SetResumeEntry(false);
    GoToStep(StepReadyToPrescan);
    return;
  }
  st.startSnapshotPath = ToWide(args.prescan);
  st.scanLocations = ToWide(args.scanLocations);
  if (args.ieSelection >= 0) post_.ieSelection = args.ieSelection;
  if (args.withPostscan) {
    st.endSnapshotPath = ToWide(args.postscan);
    GoToStep(StepCompare);
  } else {
    GoToStep(StepInstall);
  }
  SetResumeEntry(true);
}

}  // namespace loom
