// Outside Windows there are no shell folders: every query fails, so a table
// filled here is empty, and upper-casing follows the portable Unicode table.
#include "macros/FolderPlatform.h"
#include "util/FileIo.h"
#include "util/Text.h"

namespace loom {
namespace {

class NoFolderPlatform final : public FolderPlatform {
 public:
  char16_t Upcase(char16_t c) const override { return UpcaseUnit(c); }
  bool ShortPath(std::u16string_view, std::u16string&) const override { return false; }
  bool LongPath(std::u16string_view, std::u16string&) const override { return false; }
  bool NtPath(std::u16string_view, std::u16string&) const override { return false; }
  bool Is64BitWindows() const override { return false; }
  bool IsRedirectionActive() const override { return false; }
  uint16_t WindowsVersion() const override { return 0; }
  uint32_t ReadRegistryValue(RegistryRoot, std::u16string_view, std::u16string_view, uint32_t, uint32_t&,
                             std::u16string&) const override {
    return kErrorFileNotFound;
  }
  bool GetEnvironment(std::u16string_view, std::u16string&) const override { return false; }
  bool SetEnvironment(std::u16string_view, const std::u16string*) override { return false; }
  bool ExpandEnvironment(std::u16string_view, std::u16string&) const override { return false; }
  bool SystemDirectory(std::u16string&) const override { return false; }
  bool WindowsDirectory(std::u16string&) const override { return false; }
  bool SystemWindowsDirectory(std::u16string&) const override { return false; }
  bool SystemWow64Directory(std::u16string&) const override { return false; }
  bool CurrentUserSid(std::u16string&) const override { return false; }
};

}  // namespace

FolderPlatform& SystemFolderPlatform() {
  static NoFolderPlatform platform;
  return platform;
}

}  // namespace loom
