// The system queries behind the folder macro table. The table itself is
// portable logic; everything it asks of Windows goes through this interface,
// so tests run it on a simulated system and the Windows program plugs in the
// real one (FolderPlatform_win32.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "macros/TernaryMap.h"

namespace loom {

// Registry value types, as the system numbers them.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

// Extra registry access: the 64-bit view of the registry.
constexpr uint32_t kKeyWow64_64Key = 0x0100;

enum class RegistryRoot : uint8_t { kNone, kCurrentUser, kLocalMachine };

class FolderPlatform : public KeyUpcaser {
 public:
  virtual ~FolderPlatform() = default;

  // Upper-cases one UTF-16 unit with the system's Unicode upper-casing.
  char16_t Upcase(char16_t c) const override = 0;

  // Short (8.3) and long forms of an existing path; false when the system
  // gives none.
  virtual bool ShortPath(std::u16string_view path, std::u16string& shortPath) const = 0;
  virtual bool LongPath(std::u16string_view path, std::u16string& longPath) const = 0;

  // The NT form of a DOS path name ("C:\x" -> "\??\C:\x"); false on failure.
  virtual bool NtPath(std::u16string_view dosPath, std::u16string& ntPath) const = 0;

  // The short-name pattern of a short path: the path with the "~digits" tail
  // of every 8.3 component's base name replaced by "~*" ("C:\PROGRA~1\ABC~12.TXT"
  // -> "C:\PROGRA~*\ABC~*.TXT"). False when no component has such a tail.
  // The default is MakeShortNamePattern; a platform need not override it.
  virtual bool ShortNamePattern(std::u16string_view shortPath, std::u16string& pattern) const;

  // True on 64-bit Windows (for a 32-bit program too).
  virtual bool Is64BitWindows() const = 0;
  // True while file-system redirection for 32-bit programs is in effect for
  // the calling thread (never for a native 64-bit program).
  virtual bool IsRedirectionActive() const = 0;
  // major * 256 + minor.
  virtual uint16_t WindowsVersion() const = 0;

  // Reads a registry value under `root\subkey`, the key opened for reading
  // with `extraAccess` added. Returns 0 with the value's type and text (for
  // string types, up to the first NUL), or a Windows error code.
  virtual uint32_t ReadRegistryValue(RegistryRoot root, std::u16string_view subkey, std::u16string_view valueName,
                                     uint32_t extraAccess, uint32_t& type, std::u16string& data) const = 0;

  // Environment of the process. GetEnvironment is false when the variable is
  // not set; SetEnvironment with a null value removes it. ExpandEnvironment
  // replaces every %NAME% of a set variable and leaves others as they are.
  virtual bool GetEnvironment(std::u16string_view name, std::u16string& value) const = 0;
  virtual bool SetEnvironment(std::u16string_view name, const std::u16string* value) = 0;
  virtual bool ExpandEnvironment(std::u16string_view text, std::u16string& expanded) const = 0;

  // System folders; false when the system gives none. SystemWow64Directory
  // is the 32-bit system folder of 64-bit Windows.
  virtual bool SystemDirectory(std::u16string& path) const = 0;
  virtual bool WindowsDirectory(std::u16string& path) const = 0;
  virtual bool SystemWindowsDirectory(std::u16string& path) const = 0;
  virtual bool SystemWow64Directory(std::u16string& path) const = 0;

  // The current user's security identifier in text form ("S-1-5-21-...").
  virtual bool CurrentUserSid(std::u16string& sid) const = 0;
};

// The portable short-name pattern routine described at ShortNamePattern.
bool MakeShortNamePattern(std::u16string_view shortPath, std::u16string& pattern);

// The platform of the running system: the Windows one on Windows; elsewhere
// one on which every query fails (so the table stays empty).
FolderPlatform& SystemFolderPlatform();

// The platform the process-wide folder macro table uses. Install one before
// the first table function runs (tests install a simulated system); without
// one, SystemFolderPlatform() is used. The platform must outlive the table.
void SetFolderPlatform(FolderPlatform* platform);
FolderPlatform& ActiveFolderPlatform();

}  // namespace loom
