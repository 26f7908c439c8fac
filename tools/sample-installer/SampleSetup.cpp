// SampleSetup.exe: installs the sample application the way an ordinary
// installer does, so that a capture has something real to find:
//   %ProgramFiles%\Sample App\  SampleApp.exe (with icon), sample.dll,
//                               Sample.ini, uninstall.exe (this program)
//   HKLM\Software\Fernhill Labs\Sample App   install folder, version, build
//   HKCU\Software\Fernhill Labs\Sample App   per-user settings
//   All users' Start Menu: Sample App\Sample App.lnk
//   HKLM\...\CurrentVersion\Uninstall\FernhillSampleApp
// SampleSetup.exe [/S]          install (/S: no closing message)
// SampleSetup.exe /uninstall [/S] remove it all again
// Exit code 0 on success; 1 with a message on standard error otherwise.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t kAppKey[] = L"Software\\Fernhill Labs\\Sample App";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\FernhillSampleApp";

std::wstring Folder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path);
  return path;
}

bool Fail(const std::wstring& what) {
  std::wstring text = L"Sample App setup: " + what + L"\r\n";
  DWORD put;
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err && err != INVALID_HANDLE_VALUE) WriteFile(err, text.c_str(), DWORD(text.size() * 2), &put, nullptr);
  return false;
}

bool WriteResource(int id, const std::wstring& path) {
  HRSRC r = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL g = r ? LoadResource(nullptr, r) : nullptr;
  const void* data = g ? LockResource(g) : nullptr;
  DWORD size = r ? SizeofResource(nullptr, r) : 0;
  if (!data) return Fail(L"payload missing");
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Fail(L"cannot write " + path);
  DWORD put = 0;
  bool ok = WriteFile(h, data, size, &put, nullptr) && put == size;
  CloseHandle(h);
  return ok || Fail(L"cannot write " + path);
}

bool WriteText(const std::wstring& path, const std::string& text) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Fail(L"cannot write " + path);
  DWORD put = 0;
  bool ok = WriteFile(h, text.data(), DWORD(text.size()), &put, nullptr);
  CloseHandle(h);
  return ok || Fail(L"cannot write " + path);
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
  return RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                        DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetDword(HKEY key, const wchar_t* name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) == ERROR_SUCCESS;
}

bool Shortcut(const std::wstring& link, const std::wstring& target, const std::wstring& folder) {
  IShellLinkW* sl = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&sl))))
    return Fail(L"cannot create the shortcut");
  sl->SetPath(target.c_str());
  sl->SetWorkingDirectory(folder.c_str());
  sl->SetIconLocation(target.c_str(), 0);
  sl->SetDescription(L"Sample App");
  IPersistFile* pf = nullptr;
  bool ok = SUCCEEDED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pf))) &&
            SUCCEEDED(pf->Save(link.c_str(), TRUE));
  if (pf) pf->Release();
  sl->Release();
  return ok || Fail(L"cannot save the shortcut " + link);
}

bool Install() {
  std::wstring dir = Folder(CSIDL_PROGRAM_FILES) + L"\\Sample App";
  CreateDirectoryW(dir.c_str(), nullptr);
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (!WriteResource(101, dir + L"\\SampleApp.exe") || !WriteResource(102, dir + L"\\sample.dll") ||
      !WriteText(dir + L"\\Sample.ini", "; Sample App settings\r\n[Window]\r\nTitle=Sample App\r\nWidth=480\r\n") ||
      !CopyFileW(std::wstring(self, n).c_str(), (dir + L"\\uninstall.exe").c_str(), FALSE))
    return Fail(L"cannot install into " + dir);

  HKEY key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
    return Fail(L"cannot write HKEY_LOCAL_MACHINE\\Software");
  bool ok = SetString(key, L"InstallDir", dir) && SetString(key, L"Version", L"1.2.0") && SetDword(key, L"Build", 120);
  const wchar_t channels[] = L"stable\0beta\0";
  ok = ok && RegSetValueExW(key, L"Channels", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(channels),
                            sizeof channels) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (!ok || RegCreateKeyExW(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
    return Fail(L"cannot write the settings");
  ok = SetString(key, L"Greeting", L"\u4F60\u597D") && SetDword(key, L"WindowWidth", 480);  // 你好
  RegCloseKey(key);

  std::wstring menu = Folder(CSIDL_COMMON_PROGRAMS) + L"\\Sample App";
  CreateDirectoryW(menu.c_str(), nullptr);
  ok = ok && Shortcut(menu + L"\\Sample App.lnk", dir + L"\\SampleApp.exe", dir);

  if (!ok || RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
    return Fail(L"cannot write the uninstall entry");
  ok = SetString(key, L"DisplayName", L"Sample App") && SetString(key, L"DisplayVersion", L"1.2.0") &&
       SetString(key, L"Publisher", L"Fernhill Labs") && SetString(key, L"InstallLocation", dir) &&
       SetString(key, L"DisplayIcon", dir + L"\\SampleApp.exe") &&
       SetString(key, L"UninstallString", L"\"" + dir + L"\\uninstall.exe\" /uninstall");
  RegCloseKey(key);
  return ok || Fail(L"cannot write the uninstall entry");
}

bool Uninstall() {
  std::wstring dir = Folder(CSIDL_PROGRAM_FILES) + L"\\Sample App";
  for (const wchar_t* f : {L"SampleApp.exe", L"sample.dll", L"Sample.ini"}) DeleteFileW((dir + L"\\" + f).c_str());
  // uninstall.exe may be this very program: it goes at the next restart.
  std::wstring self = dir + L"\\uninstall.exe";
  if (!DeleteFileW(self.c_str())) MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  RemoveDirectoryW(dir.c_str());
  std::wstring menu = Folder(CSIDL_COMMON_PROGRAMS) + L"\\Sample App";
  DeleteFileW((menu + L"\\Sample App.lnk").c_str());
  RemoveDirectoryW(menu.c_str());
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAppKey);
  RegDeleteKeyW(HKEY_CURRENT_USER, kAppKey);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  bool silent = false, remove = false;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i < argc; ++i) {
    if (!lstrcmpiW(argv[i], L"/S"))
      silent = true;
    else if (!lstrcmpiW(argv[i], L"/uninstall"))
      remove = true;
  }
  LocalFree(argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool ok = remove ? Uninstall() : Install();
  CoUninitialize();
  if (!silent)
    MessageBoxW(nullptr,
                ok ? (remove ? L"Sample App was removed." : L"Sample App 1.2.0 was installed.")
                   : L"Sample App could not be installed.",
                L"Sample App Setup", MB_OK | (ok ? MB_ICONINFORMATION : MB_ICONERROR));
  return ok ? 0 : 1;
}
