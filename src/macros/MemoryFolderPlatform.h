// A simulated Windows system held in memory, for running the folder macro
// table without Windows (tests, fuzzing, benchmarks). It models what the
// table asks: registry values (with a separate 64-bit view), environment
// variables, the system folders, and a file tree whose entries may have a
// short (8.3) name besides the long one.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "macros/FolderPlatform.h"

namespace loom {

class MemoryFolderPlatform : public FolderPlatform {
 public:
  MemoryFolderPlatform();
  ~MemoryFolderPlatform() override;

  // The system's shape; an empty folder makes its query fail.
  bool is64Bit = false;
  bool redirection = false;  // file-system redirection active for the thread
  uint16_t version = 0x601;
  std::u16string systemDir, windowsDir, systemWindowsDir, wow64Dir, userSid;

  // A value visible without extra access, or (view64) only through the
  // 64-bit registry view on 64-bit Windows.
  void SetRegistry(RegistryRoot root, std::u16string_view subkey, std::u16string_view name, uint32_t type,
                   std::u16string_view data, bool view64 = false);
  void SetEnv(std::u16string_view name, std::u16string_view value);
  void RemoveEnv(std::u16string_view name);
  // Makes `longPath` (and its parents) exist; `shortPath`, when given, has as
  // many components and names their short forms where they differ.
  void AddPath(std::u16string_view longPath, std::u16string_view shortPath = {});

  char16_t Upcase(char16_t c) const override;
  bool ShortPath(std::u16string_view path, std::u16string& shortPath) const override;
  bool LongPath(std::u16string_view path, std::u16string& longPath) const override;
  bool NtPath(std::u16string_view dosPath, std::u16string& ntPath) const override;
  bool Is64BitWindows() const override { return is64Bit; }
  bool IsRedirectionActive() const override { return redirection; }
  uint16_t WindowsVersion() const override { return version; }
  uint32_t ReadRegistryValue(RegistryRoot root, std::u16string_view subkey, std::u16string_view valueName,
                             uint32_t extraAccess, uint32_t& type, std::u16string& data) const override;
  bool GetEnvironment(std::u16string_view name, std::u16string& value) const override;
  bool SetEnvironment(std::u16string_view name, const std::u16string* value) override;
  bool ExpandEnvironment(std::u16string_view text, std::u16string& expanded) const override;
  bool SystemDirectory(std::u16string& path) const override { return Give(systemDir, path); }
  bool WindowsDirectory(std::u16string& path) const override { return Give(windowsDir, path); }
  bool SystemWindowsDirectory(std::u16string& path) const override { return Give(systemWindowsDir, path); }
  bool SystemWow64Directory(std::u16string& path) const override { return Give(wow64Dir, path); }
  bool CurrentUserSid(std::u16string& sid) const override { return Give(userSid, sid); }

 private:
  struct Entry;
  static bool Give(const std::u16string& value, std::u16string& out);
  std::u16string Upper(std::u16string_view s) const;
  bool MapPath(std::u16string_view path, bool toShort, std::u16string& out) const;

  using RegistryKey = std::tuple<RegistryRoot, bool, std::u16string>;  // root, view64, KEY\NAME
  std::map<RegistryKey, std::pair<uint32_t, std::u16string>> registry_;
  std::map<std::u16string, std::u16string> env_;  // upper-cased name -> value
  std::unique_ptr<Entry> root_;
};

}  // namespace loom
