#include "app/Settings.h"

#include <windows.h>

#include <vector>

#include "app/Origin.h"
#include "app/Registry_win32.h"
#include "capture/ScanTool.h"
#include "framework/WinText.h"
#include "macros/FolderPlatform.h"

namespace loom {
namespace {

std::wstring SettingsKey(const wchar_t* section) {
  return std::wstring(L"Software\\Corvel, Inc.\\Corvel Wrenlow\\") + section;
}

std::wstring CurrentVersionValue(const wchar_t* name) {
  std::wstring value;
  return ReadRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", name, value)
             ? value
             : std::wstring();
}

std::wstring& SettingsFile() {
  static std::wstring path;
  return path;
}

}  // namespace

void UseSettingsOrigin(const Origin& origin) { SettingsFile() = ToWide(SettingsFilePathFor(origin)); }

std::wstring SettingsFilePath() {
  // A program that did not choose one gets the origin of this moment.
  if (SettingsFile().empty()) UseSettingsOrigin(ReadOrigin(SystemFolderPlatform(), ToU16(ProgramPath())));
  return SettingsFile();
}

std::wstring ReadSetting(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) {
  std::wstring value;
  bool found = ReadRegistryString(HKEY_CURRENT_USER, SettingsKey(section).c_str(), key, value);
  if (!found) {
    std::vector<wchar_t> buf(1024);
    for (;;) {
      DWORD n = ::GetPrivateProfileStringW(section, key, defaultValue, buf.data(), DWORD(buf.size()),
                                           SettingsFilePath().c_str());
      if (n + 1 < buf.size() || buf.size() >= (1u << 20)) {
        value.assign(buf.data(), n);
        break;
      }
      buf.resize(buf.size() * 4);
    }
  }
  return value;
}

void WriteSetting(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
  HKEY hkey;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &hkey, nullptr) == ERROR_SUCCESS) {
    ::RegSetValueExW(hkey, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     DWORD((wcslen(value) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(hkey);
  }
  ::WritePrivateProfileStringW(section, key, value, SettingsFilePath().c_str());
}

DWORD ReadSettingNumber(const wchar_t* section, const wchar_t* key, DWORD defaultValue) {
  HKEY hkey;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey(section).c_str(), 0, KEY_QUERY_VALUE, &hkey) == ERROR_SUCCESS) {
    DWORD type = 0, value = 0, size = sizeof value;
    LONG rc = ::RegQueryValueExW(hkey, key, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(hkey);
    if (rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value) return value;
  }
  return ::GetPrivateProfileIntW(section, key, INT(defaultValue), SettingsFilePath().c_str());
}

std::wstring RegisteredOwner() { return CurrentVersionValue(L"RegisteredOwner"); }
std::wstring RegisteredOrganization() { return CurrentVersionValue(L"RegisteredOrganization"); }

}  // namespace loom
