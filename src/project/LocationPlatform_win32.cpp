#include "project/LocationPlatform_win32.h"

#include <windows.h>

#include "framework/WinText.h"

namespace loom {

LocationPlatform::Kind Win32Location::Lookup(const std::u16string& path) {
  DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::Missing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
}

std::u16string Win32Location::FullPath(const std::u16string& path) {
  wchar_t full[MAX_PATH];
  DWORD n = ::GetFullPathNameW(ToWide(path).c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH ? ToU16(std::wstring(full, n)) : std::u16string();
}

std::optional<uint64_t> Win32Location::FreeBytes(const std::u16string& folder) {
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(ToWide(folder).c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

bool Win32Location::HasEntries(const std::u16string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((ToWide(folder) + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool any = false;
  do {
    any = wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0;
  } while (!any && ::FindNextFileW(search, &found));
  ::FindClose(search);
  return any;
}

}  // namespace loom
