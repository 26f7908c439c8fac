// Filling the folder macro table: registration of one macro with its derived
// forms, the folder tables, and the one-time initialisation.
#include "macros/FolderMacros.h"

#include <iterator>

#include "macros/FolderResolver.h"
#include "macros/FolderTables.h"

namespace loom {
namespace {

constexpr unsigned kBothDirections = kMacroToPath | kPathToMacro;
constexpr unsigned kBothViews = kView0 | kView1;

bool EqualsNoCase(const KeyUpcaser& up, std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (up.Upcase(a[i]) != up.Upcase(b[i])) return false;
  return true;
}

std::u16string Enclose(std::u16string_view before, std::u16string_view name, char16_t after) {
  std::u16string s(before);
  s += name;
  s += after;
  return s;
}

}  // namespace

FolderMacroTable::Maps& FolderMacroTable::maps() const {
  if (!maps_) maps_ = std::make_unique<Maps>();
  return *maps_;
}

int FolderMacroTable::CurrentView() const {
  return platform_.Is64BitWindows() && platform_.IsRedirectionActive() ? 1 : 0;
}

bool FolderMacroTable::Register(std::u16string_view name, std::u16string_view path, unsigned directions,
                                unsigned views) {
  // A folder without a path has nothing to relate a macro to.
  if (path.empty()) return false;
  const bool toMacro = (directions & kPathToMacro) != 0;
  const bool toPath = (directions & kMacroToPath) != 0;

  const std::u16string macro = Enclose(u"%", name, u'%');
  const std::u16string shortMacro = Enclose(u"%", name, u'~');
  const std::u16string patternMacro = Enclose(u"%", name, u'*');
  const std::u16string drivelessMacro = Enclose(u"%?", name, u'%');

  // Ask the platform for the derived forms before taking the lock.
  std::u16string ntForm, shortForm, pattern;
  const bool haveNt = toMacro && platform_.NtPath(path, ntForm) && !ntForm.empty();
  const bool haveShort =
      platform_.ShortPath(path, shortForm) && !shortForm.empty() && !EqualsNoCase(platform_, shortForm, path);
  const bool havePattern = haveShort && platform_.ShortNamePattern(shortForm, pattern);
  std::u16string driveless;
  if (path.size() >= 2 && path[1] == u':') {
    driveless.assign(path);
    driveless[1] = u'?';
  }

  std::lock_guard<std::mutex> lock(mutex_);
  Maps& m = maps();
  bool ok = true;
  auto put = [&](TernaryMap& map, std::u16string_view key, std::u16string_view value, std::u16string_view companion) {
    ok = map.Insert(key, value, companion, platform_) && ok;
  };
  for (int view = 0; view < 2; ++view) {
    if ((views & (1u << view)) == 0) continue;
    TernaryMap& pathToMacro = m.pathToMacro[view];
    TernaryMap& macroToPath = m.macroToPath[view];

    if (toMacro) put(pathToMacro, path, macro, macro);
    if (toPath) put(macroToPath, macro, path, path);

    if (haveNt) put(pathToMacro, ntForm, macro, {});

    // The short form and its pattern carry the long path as companion, from
    // which the short-name form is written and read again.
    if (haveShort) {
      if (toMacro) put(pathToMacro, shortForm, shortMacro, path);
      if (toPath) put(macroToPath, shortMacro, shortForm, path);
      if (havePattern) {
        if (toMacro) put(pathToMacro, pattern, patternMacro, path);
        if (toPath) put(macroToPath, patternMacro, pattern, path);
      }
    } else if (toPath) {
      put(macroToPath, shortMacro, path, path);
    }

    if (!driveless.empty()) {
      if (toMacro) put(pathToMacro, driveless, drivelessMacro, {});
      if (toPath) put(macroToPath, drivelessMacro, driveless, {});
    }
  }
  return ok;
}

void FolderMacroTable::RegisterTable(const FolderRow* rows, size_t count, uint32_t extraAccess) {
  for (size_t i = 0; i < count; ++i) {
    const FolderRow& row = rows[i];
    std::u16string path;
    if (ResolveFolder(platform_, row.csidl, path, extraAccess) != 0) {
      if (row.fallback == nullptr) continue;
      // An expansion that leaves a variable unexpanded names no folder.
      std::u16string expanded;
      if (!platform_.ExpandEnvironment(row.fallback, expanded) || expanded.empty() ||
          expanded.size() >= kFolderPathBuffer || expanded.find(u'%') != std::u16string::npos)
        continue;
      path = std::move(expanded);
    }
    Register(row.name, path, kBothDirections, kBothViews);
  }
}

void FolderMacroTable::Init() {
  std::lock_guard<std::mutex> initLock(initMutex_);
  if (initialised_) return;
  FolderPlatform& p = platform_;

  // The fallback forms and the registry's expandable strings are expanded
  // against the profile folder and the TEMP setting that the registry records
  // for the user, not the ones the process inherited; both variables are put
  // back at the end.
  std::u16string savedTemp, savedProfile;
  const bool hadTemp = p.GetEnvironment(u"TEMP", savedTemp);
  const bool hadProfile = p.GetEnvironment(u"USERPROFILE", savedProfile);

  std::u16string profile;
  if (ResolveFolder(p, kCsidlProfile, profile, 0) == 0) p.SetEnvironment(u"USERPROFILE", &profile);

  std::u16string userTemp;
  if (ReadRegistryPath(p, RegistryRoot::kCurrentUser, u"Environment", u"TEMP", 0, userTemp) == 0 && !userTemp.empty())
    p.SetEnvironment(u"TEMP", &userTemp);

  initialised_ = true;

  RegisterTable(kFolderTable1, std::size(kFolderTable1), 0);
  RegisterTable(kFolderTable2, std::size(kFolderTable2), 0);

  std::u16string system;
  if (p.Is64BitWindows()) {
    RegisterTable(kFolderTable3, std::size(kFolderTable3), kKeyWow64_64Key);
    // View 0 (no redirection): "SystemSystem" is the 32-bit system folder
    // (table 3) and "SystemSystem(x64)" the real one. View 1: a redirected
    // program sees the 32-bit folder under the system folder's name, so that
    // path turns into "SystemSystem" too.
    if (ResolveFolder(p, kCsidlSystem, system, 0) == 0) Register(u"SystemSystem(x64)", system, kBothDirections, kView0);
    if (ResolveFolder(p, kCsidlSystem, system, 0) == 0) Register(u"SystemSystem", system, kPathToMacro, kView1);
    if (ResolveFolder(p, kCsidlSystem, system, 0) == 0) Register(u"SystemSystem(x64)", system, kMacroToPath, kView1);
  } else if (ResolveFolder(p, kCsidlSystem, system, 0) == 0) {
    Register(u"SystemSystem", system, kBothDirections, kBothViews);
  }

  std::u16string temp, longTemp;
  if (p.GetEnvironment(u"TEMP", temp) && !temp.empty()) {
    if (!p.LongPath(temp, longTemp) || longTemp.empty()) longTemp = temp;
    Register(u"Temp", longTemp, kBothDirections, kBothViews);
  }

  p.SetEnvironment(u"TEMP", hadTemp ? &savedTemp : nullptr);
  p.SetEnvironment(u"USERPROFILE", hadProfile ? &savedProfile : nullptr);
}

// The process-wide table and its free functions.

FolderMacroTable& ProcessFolderMacros() {
  // Made for the installed platform on first use; installing another
  // platform later (tests do) starts a new, empty table for it.
  static std::mutex mutex;
  static std::unique_ptr<FolderMacroTable> table;
  std::lock_guard<std::mutex> lock(mutex);
  FolderPlatform& platform = ActiveFolderPlatform();
  if (!table || &table->platform() != &platform) table = std::make_unique<FolderMacroTable>(platform);
  return *table;
}

void InitFolderMacros() { ProcessFolderMacros().Init(); }

uint32_t ResolveFolder(uint32_t csidl, std::u16string& path, uint32_t extraAccess) {
  return ResolveFolder(ProcessFolderMacros().platform(), csidl, path, extraAccess);
}

bool RegisterFolderMacro(std::u16string_view name, std::u16string_view path, unsigned directions, unsigned views) {
  return ProcessFolderMacros().Register(name, path, directions, views);
}

std::u16string ExpandFolderMacros(std::u16string_view text, bool leadingOnly) {
  return ProcessFolderMacros().Expand(text, leadingOnly);
}

bool PathToFolderMacros(std::u16string_view path, std::u16string& result, const MacroEscapeSet* escapes) {
  return ProcessFolderMacros().PathToMacros(path, result, escapes);
}

bool TextToFolderMacros(std::u16string_view text, std::u16string& result) {
  return ProcessFolderMacros().TextToMacros(text, result);
}
std::u16string EscapeIniValue(std::u16string_view text) { return ProcessFolderMacros().EscapeIniValue(text); }

}  // namespace loom
