#include "macros/FolderResolver.h"

#include "macros/FolderTables.h"

namespace loom {
namespace {

bool FitsPathBuffer(std::u16string_view s) { return s.size() < kFolderPathBuffer; }

// Runs one row's resolver; true with the folder in `path`.
bool RunResolver(const FolderPlatform& platform, const ResolverRow& row, uint32_t extraAccess, std::u16string& path) {
  std::u16string found;
  switch (row.kind) {
    case ResolverKind::kShellFolderValue: {
      // The user-set location first, then the one Explorer last wrote.
      for (const char16_t* leaf : {u"User Shell Folders", u"Shell Folders"}) {
        std::u16string subkey = std::u16string(row.subkey) + leaf;
        if (ReadRegistryPath(platform, row.root, subkey, row.valueName, extraAccess, found) == 0) break;
        found.clear();
      }
      break;
    }
    case ResolverKind::kCurrentVersionValue:
      if (ReadRegistryPath(platform, row.root, row.subkey, row.valueName, extraAccess, found) != 0) found.clear();
      break;
    case ResolverKind::kUserProfile: {
      std::u16string sid;
      if (!platform.CurrentUserSid(sid) || sid.empty()) return false;
      if (ReadRegistryPath(platform, row.root, std::u16string(row.subkey) + sid, row.valueName, extraAccess, found) !=
          0)
        found.clear();
      break;
    }
    case ResolverKind::kSystemFolder:
      switch (row.csidl) {
        case kCsidlWindows:
          if (!platform.SystemWindowsDirectory(found) && !platform.WindowsDirectory(found)) found.clear();
          break;
        case kCsidlSystem:
          if (!platform.SystemDirectory(found)) found.clear();
          break;
        case kCsidlSystemX86:
          if (!platform.SystemWow64Directory(found) && !platform.SystemDirectory(found)) found.clear();
          break;
        case kCsidlResources:
          if (platform.WindowsDirectory(found))
            found += u"\\resources";
          else
            found.clear();
          break;
        default: found.clear();
      }
      break;
    case ResolverKind::kNone: return false;
  }
  if (found.empty() || !FitsPathBuffer(found)) return false;
  path = std::move(found);
  return true;
}

}  // namespace

uint32_t ReadRegistryPath(const FolderPlatform& platform, RegistryRoot root, std::u16string_view subkey,
                          std::u16string_view valueName, uint32_t extraAccess, std::u16string& path) {
  uint32_t type = 0;
  std::u16string data;
  if (uint32_t error = platform.ReadRegistryValue(root, subkey, valueName, extraAccess, type, data)) return error;
  if (type == kRegExpandSz) {
    std::u16string expanded;
    if (!platform.ExpandEnvironment(data, expanded)) return kErrorInvalidData;
    if (expanded.find(u'%') != std::u16string::npos) return kErrorInvalidData;
    data = std::move(expanded);
  } else if (type != kRegSz) {
    return kErrorInvalidData;
  }
  if (!FitsPathBuffer(data)) return kErrorMoreData;
  path = std::move(data);
  return 0;
}

uint32_t ResolveFolder(const FolderPlatform& platform, uint32_t csidl, std::u16string& path, uint32_t extraAccess) {
  const uint16_t version = platform.WindowsVersion();
  uint32_t result = kResolveInvalidArg;
  for (const ResolverRow& row : kResolverTable) {
    if (row.csidl != csidl || version < row.minVersion || version > row.maxVersion) continue;
    if (row.kind != ResolverKind::kNone) {
      if (RunResolver(platform, row, extraAccess, path)) return 0;
      result = row.failureCode != 0 ? row.failureCode : kResolveFileNotFound;
    }
    if (row.failureCode != 0) result = row.failureCode;
  }
  return result;
}

}  // namespace loom
