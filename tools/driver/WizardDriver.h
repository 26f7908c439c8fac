// Black-box driver of the wizard, shared by the GUI tests, the capture tests
// and the demos: installs Loomwise.exe and the stand-in tools into a fresh
// folder, starts the wizard as a second process and works its windows the way
// a user would (titles, pages, buttons, message boxes).
//
// Facts this relies on (measured under Wine): the main window and message
// boxes are top-level "#32770" windows of the wizard's process; a page is a
// child dialog of the main window, so its controls are found through the
// page, not the main window; clicks are posted (BM_CLICK), never sent, since
// a handler that opens a message box would block a sent click; texts are read
// with SendMessageTimeoutW.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The program's own names for its templates and controls: tests name a
// control as the program does (IDC_BACK, IDC_SCAN_DRIVES...), never by number.
#include "resources/ResourceIds.h"

namespace loomtest {

// The static control that holds a message box's text.
constexpr int kMessageBoxText = 0xFFFF;

// Default time limit of the waits (Wine is slow to start processes).
constexpr DWORD kWaitMs = 10000;

// The wizard's page titles.
inline const std::wstring kTitle = L"Loomwise - ";
inline const std::wstring kWelcome = kTitle + L"欢迎";  // the welcome and the resume page
inline const std::wstring kReady = kTitle + L"准备预扫描";
inline const std::wstring kPrescan = kTitle + L"预扫描";
inline const std::wstring kPrescanWarnings = kTitle + L"预扫描警告";
inline const std::wstring kInstall = kTitle + L"安装应用程序";
inline const std::wstring kPostscan = kTitle + L"扫描后";
inline const std::wstring kPostscanWarnings = kTitle + L"扫描后警告";
inline const std::wstring kEntryPoints = kTitle + L"入口点";
inline const std::wstring kPortal = kTitle + L"管理Corvel工作区";
inline const std::wstring kGroups = kTitle + L"组";
inline const std::wstring kIsolation = kTitle + L"隔离";
inline const std::wstring kSandbox = kTitle + L"沙箱";
inline const std::wstring kQuality = kTitle + L"质量保证统计";
inline const std::wstring kRedirection = kTitle + L"本机浏览器重定向";
inline const std::wstring kLocation = kTitle + L"项目设置";
inline const std::wstring kPackage = kTitle + L"包设置";
inline const std::wstring kReadyToBuild = kTitle + L"准备生成";
inline const std::wstring kBuilding = kTitle + L"生成项目";
inline const std::wstring kBuildSkipped = kTitle + L"已完成";

// --- Small helpers -----------------------------------------------------------

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);
std::wstring BuildFolder();  // folder of the running test program
std::wstring TempFolder();   // the temp folder, without a trailing backslash
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Text of a UTF-16LE file (byte-order mark dropped); empty when unreadable.
std::wstring ReadUtf16File(const std::wstring& path);
// The bytes of a UTF-16LE file with a byte-order mark holding `text`.
std::string Utf16Bytes(const std::wstring& text);
// `text` with the first `from` of each edit replaced by its `to`; a `from`
// that is absent fails the test.
std::wstring Edited(std::wstring text, std::initializer_list<std::pair<std::wstring, std::wstring>> edits);
bool EndsWith(const std::wstring& s, const std::wstring& tail);
inline std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }
// Splits a command line by the usual Windows rules (CommandLineToArgvW).
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);
bool SamePath(const std::wstring& a, const std::wstring& b);  // long forms (not 8.3), case-insensitive
std::optional<DWORD> ReadPidFile(const std::wstring& path);
bool IsProcessRunning(DWORD pid);
bool WaitProcessGone(DWORD pid, DWORD timeoutMs = kWaitMs);

// Polls `done` every 20 ms until it holds or the time is up.
template <class F>
bool WaitUntil(F done, DWORD timeoutMs = kWaitMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

// --- Test installation -------------------------------------------------------

// Where a file goes, relative to the folder of Loomwise.exe: beside it, in
// ..\modules, ..\..\modules or ..\..\..\modules, or nowhere.
enum class Place { Beside, Modules1, Modules2, Modules3, Absent };

struct InstallOptions {
  std::wstring program = L"Loomwise.exe";  // file of the build folder installed as Loomwise.exe
  Place snapshot = Place::Beside;
  Place snapshot64 = Place::Beside;
  Place branding = Place::Absent;    // Branding.dll
  Place buildTools = Place::Absent;  // vregtool.exe, vftool.exe, tlink.exe
  std::string scenario;              // stand-in scenario text (UTF-8), see tools/standin
};

// A fresh folder under the temp folder holding a copy of the wizard and the
// tools; removed again by the destructor. Layout: Root()\pkg\app\bin holds
// Loomwise.exe, so all three modules folders stay inside Root().
class TestInstall {
 public:
  explicit TestInstall(const InstallOptions& options = {});
  ~TestInstall();
  TestInstall(const TestInstall&) = delete;
  TestInstall& operator=(const TestInstall&) = delete;

  // True when the build folder holds `file` (tests skip when the wizard is not built).
  static bool Built(const std::wstring& file);

  bool ok() const { return error_.empty(); }
  const std::wstring& error() const { return error_; }
  const std::wstring& Root() const { return root_; }
  const std::wstring& ProgramFolder() const { return programFolder_; }
  std::wstring ProgramPath() const { return programFolder_ + L"\\Loomwise.exe"; }
  std::wstring FolderFor(Place where) const;
  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }
  const std::wstring& ScenarioPath() const { return scenarioPath_; }
  const std::wstring& LogPath() const { return logPath_; }

  // Replaces the scenario; relative paths in it are relative to Root().
  void WriteScenario(const std::string& utf8) const;
  // Copies a file of the build folder into the installation (under asName).
  bool Install(const std::wstring& buildFile, Place where, const std::wstring& asName = L"");
  // Command lines the stand-in tools recorded, oldest first.
  std::vector<std::wstring> ToolLog() const;
  // The sample application the suggested project names: sample-app.exe as
  // app.exe, settings.exe and help.exe, and sample-help.ico as help.ico, in
  // "<program files>\Demo App" of this machine (%ProgramFilesDir%).
  bool InstallSampleApplication();

 private:
  std::wstring root_, programFolder_, scenarioPath_, logPath_, error_;
};

// --- Registry ----------------------------------------------------------------

namespace reg {
extern const wchar_t kSettingsKey[];  // HKCU settings key of section Loomwise
extern const wchar_t kRunOnceKey[];   // HKCU RunOnce key
extern const wchar_t kResumeValue[];  // name of the resume value under RunOnce
// REG_SZ values under HKEY_CURRENT_USER; nothing for a missing value or another type.
std::optional<std::wstring> ReadString(const wchar_t* key, const std::wstring& name);
bool WriteString(const wchar_t* key, const std::wstring& name, const std::wstring& value);
bool DeleteValue(const wchar_t* key, const std::wstring& name);
void DeleteTree(const wchar_t* key);
}  // namespace reg

// Removes the wizard's settings key and resume value on construction and
// again on destruction, so every test starts and ends clean.
class CleanRegistry {
 public:
  CleanRegistry() { Clean(); }
  ~CleanRegistry() { Clean(); }
  static void Clean();
};

// A string value under HKEY_LOCAL_MACHINE (`name` null: the key's default
// value), put back as it was on destruction.
class MachineValue {
 public:
  MachineValue(std::wstring key, const wchar_t* name);
  ~MachineValue();
  void Set(const std::wstring& value) const;
  const std::wstring& Key() const { return key_; }

 private:
  std::wstring key_;
  const wchar_t* name_;
  std::optional<std::wstring> old_;
};

// --- The wizard process ------------------------------------------------------

// A top-level dialog of the wizard other than the main window: a message box
// (text from its static 65535) or a modal dialog.
struct Popup {
  HWND hwnd = nullptr;
  std::wstring caption, text;
  explicit operator bool() const { return hwnd != nullptr; }
};

// Environment changes for the wizard: a name with an empty value is removed.
using Env = std::map<std::wstring, std::wstring>;

class Wizard {
 public:
  Wizard() = default;
  ~Wizard() { Kill(); }
  Wizard(const Wizard&) = delete;
  Wizard& operator=(const Wizard&) = delete;

  // Starts Loomwise.exe of the installation with LOOM_STANDIN_SCENARIO and
  // LOOM_STANDIN_LOG set, in its program folder.
  testing::AssertionResult Start(const TestInstall& install, const std::wstring& extraArgs = L"", const Env& env = {});
  // Starts a wizard installed elsewhere (a run folder, an unpacked zip) with
  // this program's environment, in the wizard's own folder.
  testing::AssertionResult StartProgram(const std::wstring& programPath);
  DWORD ProcessId() const { return pi_.dwProcessId; }
  bool Running() const;

  // The main window: the wizard's top-level dialog that holds child pages.
  HWND MainWindow();
  // Waits for the main window with all its page windows made.
  testing::AssertionResult WaitForMainWindow(DWORD timeoutMs = kWaitMs);
  testing::AssertionResult WaitForTitle(const std::wstring& title, DWORD timeoutMs = kWaitMs);
  // Clicks Next (Back) and waits for the page titled `title`.
  testing::AssertionResult Next(const std::wstring& title, DWORD timeoutMs = kWaitMs);
  testing::AssertionResult Back(const std::wstring& title, DWORD timeoutMs = kWaitMs);
  // Presses Next page after page until the page titled `title` shows.
  testing::AssertionResult NextUntil(const std::wstring& title, DWORD timeoutMs = 60000);
  // Presses Next page after page until `reached` holds. Each round `reached`
  // is asked first and may act (answer a message box, fill in or picture the
  // page); Next is then pressed only when it is enabled and the page and the
  // title are still those the round began with, by the page's own button, so
  // a page that changes meanwhile never takes the click. Tool steps are
  // waited out. Fails when a message box that was open before `reached` ran
  // is still open after it, when the wizard ends first, or after `timeoutMs`.
  // `titles`, when given, collects each title shown, in order.
  testing::AssertionResult NextUntil(const std::function<bool()>& reached, DWORD timeoutMs = 60000,
                                     std::vector<std::wstring>* titles = nullptr);
  std::wstring Title();

  // The visible child page, and controls on it (the main window's own
  // controls, such as the banner, are found too).
  HWND CurrentPage();
  HWND Control(int id);
  testing::AssertionResult Click(int id);  // fails for a missing, hidden or disabled control
  std::wstring Text(int id);
  testing::AssertionResult SetText(int id, const std::wstring& text);
  bool IsEnabled(int id);
  bool IsVisible(int id);
  bool IsChecked(int id);
  int FocusedId();  // control ID of the window with the keyboard focus (0 when none)

  // List views of the current page, read across the process boundary.
  int RowCount(int listId);
  std::wstring RowText(int listId, int row, int column = 0);
  bool RowChecked(int listId, int row);
  int RowImage(int listId, int row);  // -1 when the row has none
  bool HasSmallImages(int listId);    // a small-icon image list is attached
  // The pixels of a row's icon as drawn on the screen (16 by 16, row by row);
  // empty when the row is not visible.
  std::vector<uint32_t> RowIconPixels(int listId, int row);
  // Sets a row's check box as a click would; returns without waiting for a
  // message box the change may open.
  testing::AssertionResult SetRowChecked(int listId, int row, bool on);

  // Message boxes and modal dialogs.
  Popup FindPopup();
  Popup WaitMessageBox(DWORD timeoutMs = kWaitMs);
  // Clicks a button of the popup and waits for the popup to close.
  testing::AssertionResult Answer(const Popup& box, int buttonId);
  // Waits for a message box, answers it with `buttonId` and fails unless it
  // read `text` (and was captioned `caption`, when one is given).
  testing::AssertionResult AnswerMessage(const std::wstring& text, int buttonId = IDOK,
                                         const std::wstring& caption = L"");

  testing::AssertionResult WaitExit(DWORD timeoutMs = kWaitMs, DWORD* exitCode = nullptr);
  void CloseByTitleBar();  // WM_SYSCOMMAND SC_CLOSE to the main window
  // Ends the wizard and every process it started (the stand-in tools).
  void Kill();

  std::vector<std::wstring> ToolLog() const;
  // The working project file the comparison (the third tool run) was told to
  // write; empty before it ran.
  std::wstring WorkingProject() const;
  // Waits until the stand-in log holds at least `count` command lines.
  bool WaitToolRuns(size_t count, DWORD timeoutMs = kWaitMs) const;
  // Saves the window (default: the main window) as a 24-bit BMP.
  bool Screenshot(const std::wstring& path, HWND window = nullptr);
  // Title, current page and open popups, for failure messages.
  std::string Describe();

  // The same operations on a given dialog (a popup, or a page).
  static std::wstring WindowText(HWND window);
  static testing::AssertionResult ClickIn(HWND dialog, int id);
  static std::wstring TextIn(HWND dialog, int id);

 private:
  std::vector<HWND> TopLevelDialogs() const;
  testing::AssertionResult Launch(const std::wstring& program, const std::wstring& extraArgs, const Env* env);
  const TestInstall* install_ = nullptr;
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// --- The fixture of the wizard's tests ----------------------------------------

// Skipped while the wizard is not built; the settings and the resume value
// cleared around each test; the installation, and the wizard started from it
// (declared after it, so that its processes end before their folder goes).
class WizardTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!TestInstall::Built(L"Loomwise.exe")) GTEST_SKIP() << "Loomwise.exe is not built yet";
  }
  // A fresh installation in place of any earlier one, whose wizard is ended first.
  void MakeInstall(const InstallOptions& options) {
    w_.Kill();
    install_ = std::make_unique<TestInstall>(options);
    ASSERT_TRUE(install_->ok()) << Narrow(install_->error());
  }
  // A fresh installation and the wizard started from it, up to its main window.
  void StartWizard(const InstallOptions& options) {
    ASSERT_NO_FATAL_FAILURE(MakeInstall(options));
    ASSERT_TRUE(w_.Start(*install_));
    ASSERT_TRUE(w_.WaitForMainWindow());
  }

  CleanRegistry registry_;
  std::unique_ptr<TestInstall> install_;
  Wizard w_;
};

// --- Controls of the wizard's process -----------------------------------------

// Memory in another process, for control messages that take pointers.
class ProcessMemory {
 public:
  ProcessMemory(DWORD pid, size_t size);
  ~ProcessMemory();
  ProcessMemory(const ProcessMemory&) = delete;
  ProcessMemory& operator=(const ProcessMemory&) = delete;
  BYTE* At(size_t offset) const { return base_ + offset; }
  LPARAM Param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }
  void Write(const void* data, size_t n, size_t offset = 0) const;
  void Read(void* data, size_t n, size_t offset = 0) const;

 private:
  HANDLE process_;
  BYTE* base_ = nullptr;
};

// List views of the wizard (process pid), read and changed across processes.
int ListViewRowCount(HWND list);
std::wstring ListViewText(DWORD pid, HWND list, int row, int column = 0);
// The row whose first column reads `text`; -1 when none.
int ListViewFindRow(DWORD pid, HWND list, const std::wstring& text);
bool ListViewRowChecked(HWND list, int row);
// Sets a row's check box as a click would; waits only briefly, since the
// change may open a message box that the caller answers.
void ListViewSetRowChecked(DWORD pid, HWND list, int row, bool on);

// Runs a program with its output captured (for checking the stand-in itself).
struct Captured {
  DWORD exitCode = 0;
  std::string output;  // raw bytes of standard output and standard error
  bool finished = false;
};
Captured RunCaptured(const std::wstring& commandLine, const Env& env = {}, const std::wstring& folder = L"",
                     DWORD timeoutMs = kWaitMs);

}  // namespace loomtest
