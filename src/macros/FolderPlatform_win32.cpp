// The real system behind the folder macro table.
#include <windows.h>
#include <sddl.h>

#include <cstring>
#include <vector>

#include "macros/FolderPlatform.h"
#include "util/FileIo.h"

namespace loom {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
std::u16string U(const wchar_t* s, size_t n) { return std::u16string(reinterpret_cast<const char16_t*>(s), n); }

// Calls `fill(buffer, size)` (a system call returning the length written, or
// the size it needs including the terminator, or 0 on failure) with a buffer
// that grows until the text fits.
template <typename Fill>
bool GrowingCall(Fill fill, std::u16string& out) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return false;
    if (n < buffer.size()) {
      out = U(buffer.data(), n);
      return true;
    }
    buffer.resize(n + 1);
  }
  return false;
}

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    default: return nullptr;
  }
}

// Functions that not every Windows version has, looked up once by name.
template <typename Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE h = GetModuleHandleW(module);
  return h ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(h, name))) : nullptr;
}

struct NtUnicodeString {
  USHORT Length;
  USHORT MaximumLength;
  PWSTR Buffer;
};
using DosPathToNtPathFn = BOOLEAN(WINAPI*)(PCWSTR, NtUnicodeString*, PWSTR*, void*);
using FreeUnicodeStringFn = void(WINAPI*)(NtUnicodeString*);
using GetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
using GetWow64DirectoryFn = UINT(WINAPI*)(LPWSTR, UINT);

#ifndef _WIN64
bool IsWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}
#endif

class Win32FolderPlatform final : public FolderPlatform {
 public:
  char16_t Upcase(char16_t c) const override {
    wchar_t w = static_cast<wchar_t>(c);
    CharUpperBuffW(&w, 1);
    return static_cast<char16_t>(w);
  }

  bool ShortPath(std::u16string_view path, std::u16string& out) const override {
    const std::u16string p(path);
    return GrowingCall([&](wchar_t* b, DWORD n) { return GetShortPathNameW(W(p), b, n); }, out);
  }

  bool LongPath(std::u16string_view path, std::u16string& out) const override {
    const std::u16string p(path);
    return GrowingCall([&](wchar_t* b, DWORD n) { return GetLongPathNameW(W(p), b, n); }, out);
  }

  bool NtPath(std::u16string_view dosPath, std::u16string& out) const override {
    static const auto convert = Lookup<DosPathToNtPathFn>(L"ntdll.dll", "RtlDosPathNameToNtPathName_U");
    static const auto release = Lookup<FreeUnicodeStringFn>(L"ntdll.dll", "RtlFreeUnicodeString");
    if (!convert || !release) return false;
    const std::u16string p(dosPath);
    NtUnicodeString nt{};
    if (!convert(W(p), &nt, nullptr, nullptr)) return false;
    out = U(nt.Buffer, nt.Length / sizeof(wchar_t));
    release(&nt);
    return true;
  }

  bool Is64BitWindows() const override {
#ifdef _WIN64
    return true;
#else
    static const bool wow64 = IsWow64();
    return wow64;
#endif
  }

  bool IsRedirectionActive() const override {
    // Only a 32-bit program on 64-bit Windows is redirected. Switching the
    // redirection off for this thread hands back the state it had (null when
    // redirection was in effect), which is put back at once.
    if (!Is64BitWindows() || sizeof(void*) == 8) return false;
    PVOID previous = nullptr;
    if (!Wow64DisableWow64FsRedirection(&previous)) return false;
    Wow64RevertWow64FsRedirection(previous);
    return previous == nullptr;
  }

  uint16_t WindowsVersion() const override {
    static const uint16_t version = [] {
      static const auto get = Lookup<GetVersionFn>(L"ntdll.dll", "RtlGetVersion");
      OSVERSIONINFOW info{};
      info.dwOSVersionInfoSize = sizeof(info);
      if (!get || get(&info) != 0) return uint16_t(0);
      return static_cast<uint16_t>(info.dwMajorVersion * 256 + info.dwMinorVersion);
    }();
    return version;
  }

  uint32_t ReadRegistryValue(RegistryRoot root, std::u16string_view subkey, std::u16string_view valueName,
                             uint32_t extraAccess, uint32_t& type, std::u16string& data) const override {
    HKEY rootKey = RootKey(root);
    if (!rootKey) return kErrorInvalidParameter;
    HKEY key = nullptr;
    const std::u16string sub(subkey), name(valueName);
    LONG rc = RegOpenKeyExW(rootKey, W(sub), 0, KEY_READ | extraAccess, &key);
    if (rc != ERROR_SUCCESS) return static_cast<uint32_t>(rc);
    std::vector<BYTE> bytes(MAX_PATH * sizeof(wchar_t));
    DWORD valueType = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD size = static_cast<DWORD>(bytes.size());
      rc = RegQueryValueExW(key, W(name), nullptr, &valueType, bytes.data(), &size);
      if (rc == ERROR_MORE_DATA) {
        bytes.resize(size + sizeof(wchar_t));
        continue;
      }
      bytes.resize(rc == ERROR_SUCCESS ? size : 0);
      break;
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return static_cast<uint32_t>(rc);
    type = valueType;
    std::u16string text(bytes.size() / sizeof(char16_t), u'\0');
    if (!text.empty()) memcpy(&text[0], bytes.data(), text.size() * sizeof(char16_t));
    const size_t nul = text.find(u'\0');
    if (nul != std::u16string::npos) text.resize(nul);
    data = std::move(text);
    return 0;
  }

  bool GetEnvironment(std::u16string_view name, std::u16string& value) const override {
    const std::u16string n(name);
    SetLastError(ERROR_SUCCESS);
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 4; ++attempt) {
      const DWORD len = GetEnvironmentVariableW(W(n), buffer.data(), static_cast<DWORD>(buffer.size()));
      if (len == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
        value.clear();  // set, but empty
        return true;
      }
      if (len < buffer.size()) {
        value = U(buffer.data(), len);
        return true;
      }
      buffer.resize(len + 1);
    }
    return false;
  }

  bool SetEnvironment(std::u16string_view name, const std::u16string* value) override {
    const std::u16string n(name);
    return SetEnvironmentVariableW(W(n), value ? W(*value) : nullptr) != 0;
  }

  bool ExpandEnvironment(std::u16string_view text, std::u16string& expanded) const override {
    const std::u16string t(text);
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 4; ++attempt) {
      const DWORD n = ExpandEnvironmentStringsW(W(t), buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n == 0) return false;
      if (n <= buffer.size()) {  // the count includes the terminator
        expanded = U(buffer.data(), n - 1);
        return true;
      }
      buffer.resize(n);
    }
    return false;
  }

  bool SystemDirectory(std::u16string& path) const override {
    return GrowingCall([](wchar_t* b, DWORD n) { return GetSystemDirectoryW(b, n); }, path);
  }

  bool WindowsDirectory(std::u16string& path) const override {
    return GrowingCall([](wchar_t* b, DWORD n) { return GetWindowsDirectoryW(b, n); }, path);
  }

  bool SystemWindowsDirectory(std::u16string& path) const override {
    return GrowingCall([](wchar_t* b, DWORD n) { return GetSystemWindowsDirectoryW(b, n); }, path);
  }

  bool SystemWow64Directory(std::u16string& path) const override {
    static const auto get = Lookup<GetWow64DirectoryFn>(L"kernel32.dll", "GetSystemWow64DirectoryW");
    if (!get) return false;
    return GrowingCall([](wchar_t* b, DWORD n) { return get(b, n); }, path);
  }

  bool CurrentUserSid(std::u16string& sid) const override {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> info(size ? size : 1);
    bool ok = false;
    if (size && GetTokenInformation(token, TokenUser, info.data(), size, &size)) {
      LPWSTR text = nullptr;
      if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid, &text)) {
        sid = U(text, wcslen(text));
        LocalFree(text);
        ok = true;
      }
    }
    CloseHandle(token);
    return ok;
  }
};

}  // namespace

FolderPlatform& SystemFolderPlatform() {
  static Win32FolderPlatform platform;
  return platform;
}

}  // namespace loom
