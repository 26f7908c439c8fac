#include "options/BasePackage_win32.h"

#include <windows.h>

#include <vector>

#include "framework/WinText.h"

namespace loom {
namespace {

// The folder's entries in enumeration order; false (with the error code)
// when the enumeration cannot start.
bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>& entries, DWORD& error) {
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    return false;
  }
  do {
    entries.push_back({ToU16(fd.cFileName), (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  return true;
}

}  // namespace

Refusal CheckBasePackage(const std::wstring& folder, BaseIdentity& identity) {
  identity = BaseIdentity();
  if (folder.empty()) return Refusal::BaseFolderMissing;
  DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Refusal::BaseFolderInvalid;
  std::vector<FolderEntry> entries;
  DWORD error = 0;
  BaseScan scan;
  if (!ListFolder(folder, entries, error)) {
    scan.error = error;
  } else {
    const std::u16string base = ToU16(folder);
    scan = ScanBasePackage(entries, [&](std::u16string_view name, uint32_t* err) {
      return ReadPackageAttributes(base + u"\\" + std::u16string(name), err);
    });
  }
  identity = IdentityFromScan(scan);
  return JudgeBaseScan(scan);
}

}  // namespace loom
