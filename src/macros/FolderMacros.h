// The folder macro table: relates each Windows special folder to its macro
// ("%ProgramFilesDir%", "%AppData%", ...) in both directions, so that paths
// can be written in a machine-independent form and expanded again.
//
// Four maps: path -> macro and macro -> path, each in two views. View 1 is
// used on 64-bit Windows while file-system redirection for 32-bit programs is
// in effect for the calling thread, view 0 otherwise; the state is asked of
// the platform once per conversion call.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "macros/FolderPlatform.h"
#include "macros/TernaryMap.h"

namespace loom {

// Directions of a registration.
constexpr unsigned kMacroToPath = 1;
constexpr unsigned kPathToMacro = 2;
// Views of a registration.
constexpr unsigned kView0 = 1;
constexpr unsigned kView1 = 2;

// Which characters PathToFolderMacros writes as "#xx" / "##xxxx" when they
// begin no folder macro.
struct MacroEscapeSet {
  bool escapeAbove127 = false;  // every character above 127
  std::bitset<256> marks;       // these characters below 256
};

struct FolderRow;

class FolderMacroTable {
 public:
  explicit FolderMacroTable(FolderPlatform& platform) : platform_(platform) {}
  FolderMacroTable(const FolderMacroTable&) = delete;
  FolderMacroTable& operator=(const FolderMacroTable&) = delete;

  // Fills the table from the system's folders (once; a second call returns
  // at once). The process's TEMP and USERPROFILE are the same afterwards.
  void Init();

  // Registers macro `name` for `path`, with every derived form (NT form,
  // short form "%name~", short-name pattern "%name*", drive-less "%?name%").
  // False when the path is empty (nothing is registered) or a map refused
  // an entry for lack of room.
  bool Register(std::u16string_view name, std::u16string_view path, unsigned directions, unsigned views);

  // `text` with its folder macros replaced by their folders. With
  // `leadingOnly`, only a macro at the very start is expanded and "#"
  // escapes are left as they are.
  std::u16string Expand(std::u16string_view text, bool leadingOnly) const;

  // `path` in macro form; true when anything was replaced or escaped, or the
  // drive-letter form "%drive_X%" was used.
  bool PathToMacros(std::u16string_view path, std::u16string& result, const MacroEscapeSet* escapes = nullptr) const;

  // Free text (registry string data) with every path in it that lies under a
  // folder of the table in macro form, by the longest match as in
  // PathToMacros. A path is taken where it starts (at the start or after a
  // character that cannot be part of a name, such as a blank, a quote, ";" or
  // "="), only as whole folder names ("C:\Program Filesystem" is not under
  // "C:\Program Files"); "%" and "#" of the text itself are written "#25" and
  // "#23", so that Expand gives back exactly `text`. No "%drive_X%" form.
  // True when anything was replaced or escaped.
  bool TextToMacros(std::u16string_view text, std::u16string& result) const;

  // `text` escaped for a Package.ini value: "%" and "#" as "#25" / "#23",
  // except a whole registered macro running up to a "\" or the end.
  std::u16string EscapeIniValue(std::u16string_view text) const;

  // 0 or 1, asked of the platform.
  int CurrentView() const;

  FolderPlatform& platform() const { return platform_; }

 private:
  struct Maps {
    TernaryMap pathToMacro[2];
    TernaryMap macroToPath[2];
  };

  Maps& maps() const;  // creates them on first use; the caller holds mutex_
  void RegisterTable(const FolderRow* rows, size_t count, uint32_t extraAccess);
  void WriteShortForm(std::u16string_view path, size_t& pos, size_t matched, const TernaryMap::Match& match,
                      std::u16string& out) const;
  void ReadShortForm(std::u16string_view text, size_t& pos, size_t matched, const TernaryMap::Match& match,
                     std::u16string& out) const;

  FolderPlatform& platform_;
  mutable std::mutex mutex_;  // guards the creation and use of the maps
  mutable std::unique_ptr<Maps> maps_;
  std::mutex initMutex_;
  bool initialised_ = false;
};

// The process-wide table, on ActiveFolderPlatform(). The wizard fills it once
// when its main window is constructed. Installing another platform with
// SetFolderPlatform replaces it with a new, empty table on the next call.
FolderMacroTable& ProcessFolderMacros();

void InitFolderMacros();
uint32_t ResolveFolder(uint32_t csidl, std::u16string& path, uint32_t extraAccess);
bool RegisterFolderMacro(std::u16string_view name, std::u16string_view path, unsigned directions, unsigned views);
std::u16string ExpandFolderMacros(std::u16string_view text, bool leadingOnly);
bool PathToFolderMacros(std::u16string_view path, std::u16string& result, const MacroEscapeSet* escapes = nullptr);
bool TextToFolderMacros(std::u16string_view text, std::u16string& result);
std::u16string EscapeIniValue(std::u16string_view text);

}  // namespace loom
