#include "WizardDriver.h"

#include "framework/WinText.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <thread>

namespace loomtest {

// --- Small helpers -----------------------------------------------------------

std::wstring Widen(const std::string& utf8) { return loom::Utf8ToWide(utf8); }
std::string Narrow(const std::wstring& text) { return loom::WideToUtf8(text); }

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH];
  std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L'\\'));
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH + 1];
  std::wstring temp(path, GetTempPathW(MAX_PATH + 1, path));
  while (!temp.empty() && temp.back() == L'\\') temp.pop_back();
  return temp;
}

bool FileExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(h);
  return ok;
}

std::wstring ReadUtf16File(const std::wstring& path) {
  std::string bytes = ReadBytes(path).value_or(std::string());
  if (bytes.rfind("\xFF\xFE", 0) == 0) bytes.erase(0, 2);
  std::wstring text(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return text;
}

std::string Utf16Bytes(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) bytes += static_cast<char>(c & 0xFF), bytes += static_cast<char>((c >> 8) & 0xFF);
  return bytes;
}

std::wstring Edited(std::wstring text, std::initializer_list<std::pair<std::wstring, std::wstring>> edits) {
  for (auto& [from, to] : edits) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::wstring::npos) << Narrow(from);
    if (at != std::wstring::npos) text.replace(at, from.size(), to);
  }
  return text;
}

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A REG_SZ value of any length (trailing NULs dropped); nothing for a missing
// value or another type.
static std::optional<std::wstring> ReadSz(HKEY root, const wchar_t* key, const wchar_t* name) {
  DWORD size = 0;
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, &value[0], &size) != ERROR_SUCCESS) return std::nullopt;
  value.resize(size / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return value;
}

MachineValue::MachineValue(std::wstring key, const wchar_t* name)
    : key_(std::move(key)), name_(name), old_(ReadSz(HKEY_LOCAL_MACHINE, key_.c_str(), name)) {}

MachineValue::~MachineValue() {
  if (old_)
    Set(*old_);
  else
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key_.c_str(), name_);
}

void MachineValue::Set(const std::wstring& value) const {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, key_.c_str(), name_, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine) {
  std::vector<std::wstring> args;
  if (commandLine.find_first_not_of(L" \t") == std::wstring::npos) return args;
  int n = 0;
  wchar_t** argv = CommandLineToArgvW(commandLine.c_str(), &n);
  if (!argv) return args;
  args.assign(argv, argv + n);
  LocalFree(argv);
  return args;
}

// Long form of a path (for comparing with 8.3 forms); the path when unknown.
static std::wstring LongPath(const std::wstring& path) {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetLongPathNameW(path.c_str(), buf, MAX_PATH * 2);
  return n == 0 || n >= MAX_PATH * 2 ? path : std::wstring(buf, n);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return lstrcmpiW(LongPath(a).c_str(), LongPath(b).c_str()) == 0;
}

std::optional<DWORD> ReadPidFile(const std::wstring& path) {
  std::optional<std::string> text = ReadBytes(path);
  if (!text || text->empty()) return std::nullopt;
  return static_cast<DWORD>(std::stoul(*text));
}

bool IsProcessRunning(DWORD pid) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!h) return false;
  bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
  CloseHandle(h);
  return running;
}

bool WaitProcessGone(DWORD pid, DWORD timeoutMs) {
  return WaitUntil([&] { return !IsProcessRunning(pid); }, timeoutMs);
}

namespace {

bool SameName(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

void CreateFolders(const std::wstring& path) {
  for (size_t i = 3; i <= path.size(); ++i)
    if (i == path.size() || path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}

bool RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  return RemoveDirectoryW(folder.c_str()) || !FolderExists(folder);
}

// The test program's environment with `changes` applied, as a block for
// CreateProcessW (CREATE_UNICODE_ENVIRONMENT).
std::vector<wchar_t> EnvironmentBlock(const Env& changes) {
  std::vector<wchar_t> block;
  wchar_t* env = GetEnvironmentStringsW();
  for (const wchar_t* p = env; *p; p += wcslen(p) + 1) {
    std::wstring entry = p;
    std::wstring name = entry.substr(0, entry.find(L'=', 1));
    bool replaced = false;
    for (const auto& change : changes) replaced |= SameName(change.first, name);
    if (!replaced) block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  }
  FreeEnvironmentStringsW(env);
  for (const auto& change : changes) {
    if (change.second.empty()) continue;
    std::wstring entry = change.first + L"=" + change.second;
    block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  }
  block.push_back(L'\0');
  return block;
}

bool IsDialog(HWND h) {
  wchar_t cls[16];
  return GetClassNameW(h, cls, 16) && std::wstring(cls) == L"#32770";
}

struct DialogSearch {
  HWND parent;  // direct children of this window; top-level windows when null
  DWORD pid;    // of this process (top-level search)
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<DialogSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  bool wanted = s->parent ? GetParent(h) == s->parent : pid == s->pid && IsWindowVisible(h);
  if (wanted && IsDialog(h)) s->found.push_back(h);
  return TRUE;
}

std::vector<HWND> DialogChildren(HWND parent) {
  DialogSearch search{parent, 0, {}};
  EnumChildWindows(parent, CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

LRESULT SendTimeout(HWND h, UINT msg, WPARAM wp, LPARAM lp, bool* ok = nullptr) {
  DWORD_PTR result = 0;
  bool sent = h && SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 3000, &result) != 0;
  if (ok) *ok = sent;
  return static_cast<LRESULT>(result);
}

testing::AssertionResult PostClick(HWND button, int id) {
  if (!button) return testing::AssertionFailure() << "no control " << id;
  if (!IsWindowVisible(button)) return testing::AssertionFailure() << "control " << id << " is hidden";
  if (!IsWindowEnabled(button)) return testing::AssertionFailure() << "control " << id << " is disabled";
  if (!PostMessageW(button, BM_CLICK, 0, 0)) return testing::AssertionFailure() << "cannot post to " << id;
  return testing::AssertionSuccess();
}

ULONGLONG CreationTime(DWORD pid) {
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!h) return 0;
  FILETIME created, exited, kernel, user;
  ULONGLONG t = GetProcessTimes(h, &created, &exited, &kernel, &user)
                    ? (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime
                    : 0;
  CloseHandle(h);
  return t;
}

}  // namespace

// --- Test installation -------------------------------------------------------

TestInstall::TestInstall(const InstallOptions& options) {
  static int counter = 0;
  root_ = TempFolder() + L"\\loomgui-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
  if (FolderExists(root_)) RemoveTree(root_);
  programFolder_ = root_ + L"\\pkg\\app\\bin";
  CreateFolders(programFolder_);
  scenarioPath_ = root_ + L"\\scenario.txt";
  logPath_ = root_ + L"\\tools.log";
  WriteScenario(options.scenario);
  Install(options.program, Place::Beside, L"Loomwise.exe");
  Install(L"snapshot.exe", options.snapshot);
  Install(L"snapshot64.exe", options.snapshot64);
  // The suggested project the stand-in scan tool writes lies beside it.
  if (options.snapshot != Place::Absent) Install(L"suggested-project.ini", options.snapshot);
  if (options.snapshot64 != Place::Absent && options.snapshot64 != options.snapshot)
    Install(L"suggested-project.ini", options.snapshot64);
  Install(L"Branding.dll", options.branding);
  for (const wchar_t* tool : {L"vregtool.exe", L"vftool.exe", L"tlink.exe"}) Install(tool, options.buildTools);
}

bool TestInstall::InstallSampleApplication() {
  wchar_t programFiles[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles))) return false;
  std::wstring folder = std::wstring(programFiles) + L"\\Demo App";
  CreateFolders(folder);
  bool ok = true;
  for (const wchar_t* name : {L"app.exe", L"settings.exe", L"help.exe"})
    ok &= CopyFileW((BuildFolder() + L"\\sample-app.exe").c_str(), (folder + L"\\" + name).c_str(), FALSE) != 0;
  ok &= CopyFileW((BuildFolder() + L"\\sample-help.ico").c_str(), (folder + L"\\help.ico").c_str(), FALSE) != 0;
  return ok;
}

TestInstall::~TestInstall() {
  // A process that was just killed may hold its files for a moment.
  WaitUntil([&] { return RemoveTree(root_); }, 3000);
}

bool TestInstall::Built(const std::wstring& file) { return FileExists(BuildFolder() + L"\\" + file); }

std::wstring TestInstall::FolderFor(Place where) const {
  switch (where) {
    case Place::Beside: return programFolder_;
    case Place::Modules1: return root_ + L"\\pkg\\app\\modules";
    case Place::Modules2: return root_ + L"\\pkg\\modules";
    case Place::Modules3: return root_ + L"\\modules";
    case Place::Absent: break;
  }
  return {};
}

void TestInstall::WriteScenario(const std::string& utf8) const { WriteBytes(scenarioPath_, utf8); }

bool TestInstall::Install(const std::wstring& buildFile, Place where, const std::wstring& asName) {
  if (where == Place::Absent) return true;
  std::wstring folder = FolderFor(where);
  CreateFolders(folder);
  std::wstring target = folder + L"\\" + (asName.empty() ? buildFile : asName);
  if (CopyFileW((BuildFolder() + L"\\" + buildFile).c_str(), target.c_str(), FALSE)) return true;
  error_ += L"cannot install " + buildFile + L"; ";
  return false;
}

std::vector<std::wstring> TestInstall::ToolLog() const {
  std::vector<std::wstring> lines;
  std::wstring text = Widen(ReadBytes(logPath_).value_or(std::string()));
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find(L'\n', at);
    if (end == std::wstring::npos) break;  // a line still being written
    std::wstring line = text.substr(at, end - at);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

// --- Registry ----------------------------------------------------------------

namespace reg {
const wchar_t kSettingsKey[] = L"Software\\Corvel, Inc.\\Corvel Wrenlow\\Loomwise";
const wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const wchar_t kResumeValue[] = L"继续WrenlowLoomwise";

std::optional<std::wstring> ReadString(const wchar_t* key, const std::wstring& name) {
  return ReadSz(HKEY_CURRENT_USER, key, name.c_str());
}

// (RegSetKeyValueW creates the key when it is missing.)
bool WriteString(const wchar_t* key, const std::wstring& name, const std::wstring& value) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, key, name.c_str(), REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool DeleteValue(const wchar_t* key, const std::wstring& name) {
  return RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name.c_str()) == ERROR_SUCCESS;
}

void DeleteTree(const wchar_t* key) {
  RegDeleteTreeW(HKEY_CURRENT_USER, key);
  RegDeleteKeyW(HKEY_CURRENT_USER, key);
}
}  // namespace reg

void CleanRegistry::Clean() {
  reg::DeleteTree(reg::kSettingsKey);
  reg::DeleteValue(reg::kRunOnceKey, reg::kResumeValue);
}

// --- The wizard process ------------------------------------------------------

testing::AssertionResult Wizard::Start(const TestInstall& install, const std::wstring& extraArgs, const Env& env) {
  if (pi_.hProcess) return testing::AssertionFailure() << "the wizard was started already";
  if (!install.ok()) return testing::AssertionFailure() << Narrow(install.error());
  install_ = &install;
  Env all{{L"LOOM_STANDIN_SCENARIO", install.ScenarioPath()}, {L"LOOM_STANDIN_LOG", install.LogPath()}};
  for (const auto& change : env) all[change.first] = change.second;
  return Launch(install.ProgramPath(), extraArgs, &all);
}

testing::AssertionResult Wizard::StartProgram(const std::wstring& programPath) {
  if (pi_.hProcess) return testing::AssertionFailure() << "the wizard was started already";
  return Launch(programPath, L"", nullptr);
}

testing::AssertionResult Wizard::Launch(const std::wstring& program, const std::wstring& extraArgs, const Env* env) {
  main_ = nullptr;
  std::vector<wchar_t> block = env ? EnvironmentBlock(*env) : std::vector<wchar_t>();
  std::wstring cmd = L"\"" + program + L"\"" + (extraArgs.empty() ? L"" : L" " + extraArgs);
  std::vector<wchar_t> cmdBuf(cmd.c_str(), cmd.c_str() + cmd.size() + 1);
  std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (!CreateProcessW(nullptr, cmdBuf.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      env ? block.data() : nullptr, folder.c_str(), &si, &pi_)) {
    pi_ = {};
    return testing::AssertionFailure() << "CreateProcessW failed with " << GetLastError() << ": " << Narrow(cmd);
  }
  CloseHandle(pi_.hThread);
  pi_.hThread = nullptr;
  return testing::AssertionSuccess();
}

bool Wizard::Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

std::vector<HWND> Wizard::TopLevelDialogs() const {
  DialogSearch search{nullptr, pi_.dwProcessId, {}};
  if (pi_.hProcess) EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Wizard::MainWindow() {
  if (main_ && IsWindow(main_)) return main_;
  main_ = nullptr;
  for (HWND h : TopLevelDialogs())
    if (!DialogChildren(h).empty()) return main_ = h;
  return nullptr;
}

testing::AssertionResult Wizard::WaitForMainWindow(DWORD timeoutMs) {
  // The wizard makes its other page windows after showing the first, the
  // resume page's last: once that is there, an answered message means the
  // wizard has finished making it.
  auto lastPageMade = [&] {
    for (HWND page : DialogChildren(MainWindow()))
      if (GetDlgItem(page, IDC_CONTINUE_RADIO)) return true;
    return false;
  };
  if (WaitUntil([&] { return (MainWindow() && lastPageMade()) || !Running(); }, timeoutMs) && MainWindow()) {
    SendTimeout(MainWindow(), WM_NULL, 0, 0);
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "no main window; " << Describe();
}

testing::AssertionResult Wizard::WaitForTitle(const std::wstring& title, DWORD timeoutMs) {
  if (WaitUntil([&] { return Title() == title; }, timeoutMs)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "wanted the title \"" << Narrow(title) << "\"; " << Describe();
}

testing::AssertionResult Wizard::Next(const std::wstring& title, DWORD timeoutMs) {
  if (auto r = Click(IDOK); !r) return r << "; " << Describe();
  return WaitForTitle(title, timeoutMs);
}

testing::AssertionResult Wizard::Back(const std::wstring& title, DWORD timeoutMs) {
  if (auto r = Click(IDC_BACK); !r) return r << "; " << Describe();
  return WaitForTitle(title, timeoutMs);
}

testing::AssertionResult Wizard::NextUntil(const std::wstring& title, DWORD timeoutMs) {
  return NextUntil([&] { return Title() == title; }, timeoutMs) << "; wanted \"" << Narrow(title) << "\"";
}

testing::AssertionResult Wizard::NextUntil(const std::function<bool()>& reached, DWORD timeoutMs,
                                           std::vector<std::wstring>* titles) {
  const DWORD start = GetTickCount();
  for (;;) {
    const Popup box = FindPopup();
    const HWND page = CurrentPage();
    const std::wstring title = Title();
    if (titles && !title.empty() && (titles->empty() || titles->back() != title)) titles->push_back(title);
    if (reached()) return testing::AssertionSuccess();
    if (box && IsWindow(box.hwnd) && IsWindowVisible(box.hwnd))
      return testing::AssertionFailure() << "message box \"" << Narrow(box.caption) << "\": \"" << Narrow(box.text)
                                         << "\"";
    if (!Running()) return reached() ? testing::AssertionSuccess() : testing::AssertionFailure() << "the wizard ended";
    if (GetTickCount() - start >= timeoutMs) return testing::AssertionFailure() << "no end in sight; " << Describe();
    HWND next = page ? GetDlgItem(page, IDOK) : nullptr;
    if (next && IsWindowVisible(next) && IsWindowEnabled(next) && CurrentPage() == page && Title() == title) {
      PostClick(next, IDOK);
      WaitUntil([&] { return CurrentPage() != page || Title() != title || FindPopup() || !Running(); }, 3000);
    } else {
      Sleep(20);
    }
  }
}

std::wstring Wizard::Title() { return WindowText(MainWindow()); }

HWND Wizard::CurrentPage() {
  HWND main = MainWindow();
  if (!main) return nullptr;
  for (HWND page : DialogChildren(main))
    if (IsWindowVisible(page)) return page;
  return nullptr;
}

HWND Wizard::Control(int id) {
  HWND page = CurrentPage();
  HWND h = page ? GetDlgItem(page, id) : nullptr;
  if (!h && MainWindow()) h = GetDlgItem(MainWindow(), id);
  return h;
}

testing::AssertionResult Wizard::Click(int id) {
  testing::AssertionResult r = PostClick(Control(id), id);
  if (!r) r << "; " << Describe();
  return r;
}

std::wstring Wizard::Text(int id) { return WindowText(Control(id)); }

// --- List views ----------------------------------------------------------------
// The wizard's list views through the free ListView* helpers below.

int Wizard::RowCount(int listId) {
  HWND list = Control(listId);
  return list ? ListViewRowCount(list) : 0;
}

std::wstring Wizard::RowText(int listId, int row, int column) {
  HWND list = Control(listId);
  return list ? ListViewText(pi_.dwProcessId, list, row, column) : std::wstring();
}

bool Wizard::RowChecked(int listId, int row) { return ListViewRowChecked(Control(listId), row); }

int Wizard::RowImage(int listId, int row) {
  HWND list = Control(listId);
  if (!list) return -1;
  ProcessMemory mem(pi_.dwProcessId, sizeof(LVITEMW));
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iImage = -1;
  mem.Write(&item, sizeof item);
  if (!SendTimeout(list, LVM_GETITEMW, 0, mem.Param())) return -1;
  mem.Read(&item, sizeof item);
  return item.iImage;
}

bool Wizard::HasSmallImages(int listId) {
  HWND list = Control(listId);
  return list && SendTimeout(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0) != 0;
}

std::vector<uint32_t> Wizard::RowIconPixels(int listId, int row) {
  HWND list = Control(listId);
  if (!list) return {};
  ProcessMemory mem(pi_.dwProcessId, sizeof(RECT));
  RECT rect{};
  rect.left = LVIR_ICON;
  mem.Write(&rect, sizeof rect);
  if (!SendTimeout(list, LVM_GETITEMRECT, row, mem.Param())) return {};
  mem.Read(&rect, sizeof rect);
  POINT at{rect.left, rect.top};
  ClientToScreen(list, &at);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 16;
  bi.bmiHeader.biHeight = -16;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, 16, 16, screen, at.x, at.y, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 256);
  for (uint32_t& p : pixels) p &= 0xFFFFFF;  // the alpha byte comes back as 0
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return pixels;
}

testing::AssertionResult Wizard::SetRowChecked(int listId, int row, bool on) {
  HWND list = Control(listId);
  if (!list) return testing::AssertionFailure() << "no list " << listId;
  ListViewSetRowChecked(pi_.dwProcessId, list, row, on);
  return testing::AssertionSuccess();
}

testing::AssertionResult Wizard::SetText(int id, const std::wstring& text) {
  HWND h = Control(id);
  bool ok = false;
  if (h) SendTimeout(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok);
  if (ok) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "cannot set the text of control " << id << "; " << Describe();
}

bool Wizard::IsEnabled(int id) {
  HWND h = Control(id);
  return h && IsWindowEnabled(h);
}

bool Wizard::IsVisible(int id) {
  HWND h = Control(id);
  return h && IsWindowVisible(h);
}

int Wizard::FocusedId() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(pi_.dwThreadId, &info) || !info.hwndFocus) return 0;
  return GetDlgCtrlID(info.hwndFocus);
}

bool Wizard::IsChecked(int id) { return SendTimeout(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The message of a popup: the system message box's text control, or in one
// of the wizard's own dialogs the first unnamed static that is not an icon
// (an icon in a template is an unnamed static too, and may come first).
static HWND PopupTextControl(HWND popup) {
  for (HWND child = GetWindow(popup, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    int id = GetDlgCtrlID(child);  // 0xFFFF in a system message box, -1 in an extended template
    if ((id != kMessageBoxText && id != -1) || lstrcmpiW(cls, L"Static")) continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
    return child;
  }
  return nullptr;
}

Popup Wizard::FindPopup() {
  HWND main = MainWindow();
  Popup found;
  for (HWND h : TopLevelDialogs()) {
    if (h == main) continue;
    // A modal dialog opened over another one leaves that one disabled.
    if (!found.hwnd || IsWindowEnabled(h)) found.hwnd = h;
  }
  if (found.hwnd) {
    found.caption = WindowText(found.hwnd);
    found.text = WindowText(PopupTextControl(found.hwnd));
  }
  return found;
}

Popup Wizard::WaitMessageBox(DWORD timeoutMs) {
  Popup box;
  WaitUntil([&] { return (box = FindPopup()).hwnd != nullptr; }, timeoutMs);
  return box;
}

testing::AssertionResult Wizard::Answer(const Popup& box, int buttonId) {
  if (!box.hwnd) return testing::AssertionFailure() << "no message box to answer; " << Describe();
  testing::AssertionResult r = ClickIn(box.hwnd, buttonId);
  if (!r) return r;
  if (WaitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); })) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "the message box stayed open; " << Describe();
}

testing::AssertionResult Wizard::AnswerMessage(const std::wstring& text, int buttonId, const std::wstring& caption) {
  Popup box = WaitMessageBox();
  if (!box) return testing::AssertionFailure() << "no message box; wanted \"" << Narrow(text) << "\"; " << Describe();
  testing::AssertionResult answered = Answer(box, buttonId);
  if (box.text != text || (!caption.empty() && box.caption != caption))
    return testing::AssertionFailure() << "message box \"" << Narrow(box.caption) << "\": \"" << Narrow(box.text)
                                       << "\"; wanted \"" << Narrow(caption) << "\": \"" << Narrow(text) << "\"";
  return answered;
}

testing::AssertionResult Wizard::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
  if (!pi_.hProcess) return testing::AssertionFailure() << "the wizard was not started";
  if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0)
    return testing::AssertionFailure() << "the wizard is still running; " << Describe();
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  if (exitCode) *exitCode = code;
  return testing::AssertionSuccess();
}

void Wizard::CloseByTitleBar() {
  if (HWND main = MainWindow()) PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Wizard::Kill() {
  if (!pi_.hProcess) return;
  // Every process started by the wizard, directly or not, and not older than it.
  ULONGLONG born = CreationTime(pi_.dwProcessId);
  std::vector<DWORD> tree{pi_.dwProcessId};
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap != INVALID_HANDLE_VALUE) {
    std::vector<PROCESSENTRY32W> all;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL more = Process32FirstW(snap, &pe); more; more = Process32NextW(snap, &pe)) all.push_back(pe);
    CloseHandle(snap);
    for (size_t i = 0; i < tree.size(); ++i)
      for (const PROCESSENTRY32W& p : all)
        if (p.th32ParentProcessID == tree[i] && p.th32ProcessID != tree[i] && CreationTime(p.th32ProcessID) >= born)
          tree.push_back(p.th32ProcessID);
  }
  TerminateProcess(pi_.hProcess, 1);
  for (size_t i = 1; i < tree.size(); ++i) {
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, tree[i])) {
      TerminateProcess(h, 1);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
  WaitForSingleObject(pi_.hProcess, 5000);
  CloseHandle(pi_.hProcess);
  pi_ = {};
  main_ = nullptr;
}

std::vector<std::wstring> Wizard::ToolLog() const {
  return install_ ? install_->ToolLog() : std::vector<std::wstring>();
}

std::wstring Wizard::WorkingProject() const {
  std::vector<std::wstring> log = ToolLog();
  std::vector<std::wstring> args = log.size() > 2 ? SplitCommandLine(log[2]) : std::vector<std::wstring>();
  return args.size() > 4 ? args[4] : L"";
}

bool Wizard::WaitToolRuns(size_t count, DWORD timeoutMs) const {
  return WaitUntil([&] { return ToolLog().size() >= count; }, timeoutMs);
}

bool Wizard::Screenshot(const std::wstring& path, HWND window) {
  if (!window) window = MainWindow();
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;  // bottom-up rows, as a BMP file stores them
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bmp) {
    HGDIOBJ old = SelectObject(mem, bmp);
    ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(mem, old);
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    DWORD imageSize = stride * static_cast<DWORD>(h);
    info.biSizeImage = imageSize;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(static_cast<const char*>(bits), imageSize);
    ok = ok && WriteBytes(path, bytes);
    DeleteObject(bmp);
  }
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

std::string Wizard::Describe() {
  std::string d = Running() ? "wizard running" : "wizard not running";
  if (HWND main = MainWindow()) d += ", title \"" + Narrow(WindowText(main)) + "\"";
  HWND main = MainWindow();
  for (HWND h : TopLevelDialogs()) {
    if (h == main) continue;
    HWND text = PopupTextControl(h);
    d += ", popup \"" + Narrow(WindowText(h)) + "\": \"" + Narrow(WindowText(text)) + "\"";
  }
  return d;
}

std::wstring Wizard::WindowText(HWND window) {
  if (!window) return {};
  // The text may change between a length query and the read (a title while
  // the wizard moves on), so read into room to spare and grow when it fills.
  for (size_t room = 1024;; room *= 4) {
    std::wstring text(room, L'\0');
    LRESULT got = SendTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    if (got < 0) got = 0;
    if (static_cast<size_t>(got) + 1 < room || room >= (1u << 22)) {
      text.resize(static_cast<size_t>(got));
      return text;
    }
  }
}

testing::AssertionResult Wizard::ClickIn(HWND dialog, int id) { return PostClick(GetDlgItem(dialog, id), id); }

std::wstring Wizard::TextIn(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

Captured RunCaptured(const std::wstring& commandLine, const Env& env, const std::wstring& folder, DWORD timeoutMs) {
  Captured result;
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nul;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  std::vector<wchar_t> block = EnvironmentBlock(env);
  std::vector<wchar_t> cmd(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
  PROCESS_INFORMATION pi{};
  BOOL started =
      CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                     block.data(), folder.empty() ? nullptr : folder.c_str(), &si, &pi);
  CloseHandle(writeEnd);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (started) {
    std::thread reader([&] {
      char buf[65536];
      DWORD got = 0;
      while (ReadFile(readEnd, buf, sizeof buf, &got, nullptr)) result.output.append(buf, got);
    });
    result.finished = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!result.finished) TerminateProcess(pi.hProcess, 1), WaitForSingleObject(pi.hProcess, 5000);
    reader.join();
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(readEnd);
  return result;
}

// --- Controls of the wizard's process -----------------------------------------

ProcessMemory::ProcessMemory(DWORD pid, size_t size)
    : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)) {
  if (process_) base_ = static_cast<BYTE*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
}

ProcessMemory::~ProcessMemory() {
  if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

void ProcessMemory::Write(const void* data, size_t n, size_t offset) const {
  WriteProcessMemory(process_, At(offset), data, n, nullptr);
}

void ProcessMemory::Read(void* data, size_t n, size_t offset) const {
  ReadProcessMemory(process_, At(offset), data, n, nullptr);
}

int ListViewRowCount(HWND list) { return static_cast<int>(SendTimeout(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListViewText(DWORD pid, HWND list, int row, int column) {
  constexpr int kChars = 8192;  // entry-point targets may be long
  ProcessMemory mem(pid, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(mem.At(sizeof item));
  item.cchTextMax = kChars;
  mem.Write(&item, sizeof item);
  std::wstring text(static_cast<size_t>(SendTimeout(list, LVM_GETITEMTEXTW, row, mem.Param())), L'\0');
  if (!text.empty()) mem.Read(&text[0], text.size() * sizeof(wchar_t), sizeof item);
  return text;
}

int ListViewFindRow(DWORD pid, HWND list, const std::wstring& text) {
  for (int row = 0, n = ListViewRowCount(list); row < n; ++row)
    if (ListViewText(pid, list, row) == text) return row;
  return -1;
}

bool ListViewRowChecked(HWND list, int row) {
  return (SendTimeout(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void ListViewSetRowChecked(DWORD pid, HWND list, int row, bool on) {
  // The item is left in the wizard's process on purpose: the change may open
  // a message box while the list still reads it after this short wait ends.
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
  bool written = remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
  CloseHandle(process);
  if (!written) return;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 300, &result);
}

}  // namespace loomtest
