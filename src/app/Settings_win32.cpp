#include "app/Settings.h"

#include <windows.h>

#include <vector>

namespace loom {
namespace {

std::wstring SettingsKey(const wchar_t* section) {
  return std::wstring(L"Software\\Corvel, Inc.\\Corvel Wrenlow\\") + section;
}

// A REG_SZ value of an open key; false for any other type or an odd size.
bool QueryString(HKEY key, const wchar_t* name, std::wstring& out, DWORD initialBytes) {
  std::vector<BYTE> buf(initialBytes);
  DWORD type = 0, size = DWORD(buf.size());
  LONG rc = ::RegQueryValueExW(key, name, nullptr, &type, buf.data(), &size);
  if (rc == ERROR_MORE_DATA) {
    buf.resize(size);
    rc = ::RegQueryValueExW(key, name, nullptr, &type, buf.data(), &size);
  }
  if (rc != ERROR_SUCCESS || type != REG_SZ || size % 2 != 0) return false;
  out.assign(reinterpret_cast<const wchar_t*>(buf.data()), size / 2);
  return true;
}

std::wstring DropCountedNul(std::wstring text) {
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::wstring CurrentVersionValue(const wchar_t* name) {
  HKEY key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return std::wstring();
  std::wstring value;
  bool ok = QueryString(key, name, value, 256);
  ::RegCloseKey(key);
  return ok ? DropCountedNul(value) : std::wstring();
}

}  // namespace

std::wstring SettingsFilePath() {
  wchar_t buf[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableW(L"QM_ORIGIN", buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring path(buf, n < MAX_PATH ? n : 0);
  size_t cut = path.find_last_of(L"\\/:");
  path.resize(cut == std::wstring::npos ? 0 : cut + 1);
  return path + L"Wrenlow.ini";
}

std::wstring ReadSetting(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) {
  std::wstring value;
  bool found = false;
  HKEY hkey;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey(section).c_str(), 0, KEY_QUERY_VALUE, &hkey) == ERROR_SUCCESS) {
    found = QueryString(hkey, key, value, 520);
    ::RegCloseKey(hkey);
  }
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
  return DropCountedNul(value);
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
