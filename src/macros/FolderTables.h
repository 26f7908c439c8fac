// The data behind the folder macro table: which shell folders get a macro,
// and how the folder of each CSIDL number is found on each Windows version.
#pragma once

#include <cstddef>
#include <cstdint>

#include "macros/FolderPlatform.h"

namespace loom {

// A folder that receives a macro: its CSIDL number, the macro's name and the
// form used when the folder cannot be resolved (environment variables to
// expand; null when there is none).
struct FolderRow {
  uint16_t csidl;
  const char16_t* name;
  const char16_t* fallback;
};

// Table 1 and table 2 are registered on every system, in this order; table 3
// on 64-bit Windows only, reading the 64-bit registry view.
extern const FolderRow kFolderTable1[22];
extern const FolderRow kFolderTable2[13];
extern const FolderRow kFolderTable3[2];

enum class ResolverKind : uint8_t {
  kNone,                 // the folder is not available on the admitted versions
  kShellFolderValue,     // a value of Explorer's "User Shell Folders" / "Shell Folders"
  kCurrentVersionValue,  // a value under local machine ...\Windows\CurrentVersion
  kSystemFolder,         // the Windows, system or 32-bit system folder
  kUserProfile,          // the current user's ProfileImagePath
};

// One way of finding a folder. Rows are tried in table order; a row applies
// when the running version lies in [minVersion, maxVersion] (major*256+minor).
struct ResolverRow {
  uint16_t csidl;
  RegistryRoot root;
  const char16_t* subkey;     // null when the kind reads no registry
  const char16_t* valueName;  // null when the kind reads no registry
  ResolverKind kind;
  uint32_t failureCode;  // 0 = none
  uint16_t minVersion;
  uint16_t maxVersion;
};

constexpr size_t kResolverRowCount = 64;
extern const ResolverRow kResolverTable[kResolverRowCount];

// CSIDL numbers the algorithms name.
constexpr uint16_t kCsidlWindows = 0x24;
constexpr uint16_t kCsidlSystem = 0x25;
constexpr uint16_t kCsidlProfile = 0x28;
constexpr uint16_t kCsidlSystemX86 = 0x29;
constexpr uint16_t kCsidlResources = 0x38;

// Result codes of ResolveFolder.
constexpr uint32_t kResolveInvalidArg = 0x80070057;    // no row answered
constexpr uint32_t kResolveFileNotFound = 0x80070002;  // a row failed without a code of its own
constexpr uint32_t kResolveFail = 0x80004005;
constexpr uint32_t kErrorInvalidData = 13;  // a registry value of the wrong form
constexpr uint32_t kErrorMoreData = 234;    // a value too long for a path buffer

// Paths are held in buffers of this many characters, the terminator included.
constexpr size_t kFolderPathBuffer = 260;

}  // namespace loom
