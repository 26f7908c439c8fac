#include "snapshot/ProjectSuggestion.h"

#include <algorithm>

#include "snapshot/Exclusions.h"
#include "snapshot/ToolCommand.h"
#include "util/Text.h"

namespace loom::snap {
namespace {

bool EndsWithNoCase(std::u16string_view s, std::u16string_view tail) {
  return s.size() >= tail.size() && EqualsNoCaseUnicode(s.substr(s.size() - tail.size()), tail);
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view head) {
  return s.size() >= head.size() && EqualsNoCaseUnicode(s.substr(0, head.size()), head);
}

size_t CountNames(std::u16string_view s) { return size_t(std::count(s.begin(), s.end(), u'\\')) + 1; }

// The uninstall entry's name when `keyPath` is one program's uninstall key
// ("...\Software\[Wow6432Node\]Microsoft\Windows\CurrentVersion\Uninstall\X").
bool IsUninstallKey(std::u16string_view keyPath) {
  static const std::u16string_view kTails[] = {
      u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
      u"\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"};
  size_t cut = keyPath.rfind(u'\\');
  if (cut == std::u16string_view::npos) return false;
  std::u16string_view parent = keyPath.substr(0, cut + 1);
  for (std::u16string_view t : kTails)
    if (EndsWithNoCase(parent, t)) return true;
  return false;
}

// The first name of a macro-form path is the macro; a new program folder is
// a folder directly below one of the program-files macros.
bool IsProgramFolder(std::u16string_view macroPath) {
  if (CountNames(macroPath) != 2) return false;
  return StartsWithNoCase(macroPath, u"%ProgramFilesDir%\\") ||
         StartsWithNoCase(macroPath, u"%ProgramFilesDir(x64)%\\") ||
         StartsWithNoCase(macroPath, u"%ProgramFilesDir(x86)%\\");
}

bool IsStartMenuShortcut(std::u16string_view macroPath) {
  return EndsWithNoCase(macroPath, u".lnk") &&
         (StartsWithNoCase(macroPath, u"%Programs%\\") || StartsWithNoCase(macroPath, u"%Common Programs%\\") ||
          StartsWithNoCase(macroPath, u"%StartMenu%\\") || StartsWithNoCase(macroPath, u"%Common StartMenu%\\"));
}

// The program a command line starts: the quoted first part, else the text up
// to ".exe" (paths with blanks are often written unquoted), else up to a blank.
std::u16string_view CommandProgram(std::u16string_view command) {
  while (!command.empty() && command[0] == u' ') command.remove_prefix(1);
  if (!command.empty() && command[0] == u'"') {
    size_t close = command.find(u'"', 1);
    return command.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
  }
  for (size_t i = 0; i + 4 <= command.size(); ++i)
    if (EqualsNoCaseAscii(command.substr(i, 4), u".exe") && (i + 4 == command.size() || command[i + 4] == u' '))
      return command.substr(0, i + 4);
  return command.substr(0, command.find(u' '));
}

bool IsUninstallerName(std::u16string_view name) {
  return MatchName(u"unins*.exe", name) || MatchName(u"uninst*.exe", name);
}

std::u16string Plural(uint64_t n, std::u16string_view one, std::u16string_view many) {
  return Grouped(n) + u" " + std::u16string(n == 1 ? one : many);
}

void Line(std::u16string& out, std::u16string_view a, std::u16string_view b = {}) {
  out.append(a);
  out.append(b);
  out.append(u"\r\n");
}

}  // namespace

std::u16string RegistryString(const std::string& data) {
  std::u16string s = FromUtf16LeBytes(data.data(), data.size() & ~size_t(1));
  size_t nul = s.find(u'\0');
  if (nul != std::u16string::npos) s.resize(nul);
  return s;
}

std::u16string_view LastName(std::u16string_view path) {
  size_t cut = path.rfind(u'\\');
  return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

std::u16string_view Stem(std::u16string_view name) {
  size_t dot = name.rfind(u'.');
  return dot == std::u16string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

std::u16string SectionSafe(std::u16string_view name) {
  std::u16string s;
  for (char16_t c : name) s += (c == u'[' || c == u']' || c < 32) ? u'_' : c;
  while (!s.empty() && (s[0] == u';' || s[0] == u'#' || s[0] == u' ')) s.erase(0, 1);
  while (!s.empty() && s.back() == u' ') s.pop_back();
  return s;
}

std::u16string SuggestionBuilder::Macros(std::u16string_view path) const {
  return env_.toMacros ? env_.toMacros(path) : std::u16string(path);
}

std::u16string SuggestionBuilder::Escaped(std::u16string_view text) const {
  return env_.escapeIni ? env_.escapeIni(text) : std::u16string(text);
}

void SuggestionBuilder::Take(const Entry& e, bool changed) {
  switch (e.kind) {
    case EntryKind::kFile: {
      bytes_ += e.size;
      ++(changed ? changedFiles_ : newFiles_);
      if (EndsWithNoCase(e.path, u".exe")) {
        exes_.push_back(e.path);
      } else if (EndsWithNoCase(e.path, u".lnk") && IsStartMenuShortcut(Macros(e.path))) {
        shortcuts_.push_back(e.path);
      }
      break;
    }
    case EntryKind::kFolder:
      if (IsProgramFolder(Macros(e.path))) programFolders_.push_back(e.path);
      break;
    case EntryKind::kValue:
    case EntryKind::kKey: {
      std::u16string_view hive = std::u16string_view(e.path).substr(0, e.path.find(u'\\'));
      auto h = std::find_if(hives_.begin(), hives_.end(), [&](const HiveCount& c) { return c.hive == hive; });
      if (h == hives_.end()) h = hives_.insert(hives_.end(), HiveCount{std::u16string(hive)});
      ++(e.kind == EntryKind::kKey ? h->keys : h->values);
      if (e.kind == EntryKind::kKey || (e.type != kRegSz && e.type != kRegExpandSz) || !IsUninstallKey(e.path)) break;
      std::u16string text = RegistryString(e.data);
      if (EqualsNoCaseAscii(e.name, u"DisplayName") && displayName_.empty()) displayName_ = text;
      if (EqualsNoCaseAscii(e.name, u"Publisher") && publisher_.empty()) publisher_ = text;
      if (EqualsNoCaseAscii(e.name, u"DisplayVersion") && version_.empty()) version_ = text;
      if (EqualsNoCaseAscii(e.name, u"UninstallString") || EqualsNoCaseAscii(e.name, u"QuietUninstallString"))
        uninstallers_.emplace_back(CommandProgram(text));
      break;
    }
  }
}

void SuggestionBuilder::Deleted(const Entry&) { ++deleted_; }

void SuggestionBuilder::Finish(int ieSelection) {
  ieSelection_ = ieSelection;
  entries_.clear();
  // Shortcut name for each executable the Start Menu points at.
  std::vector<std::pair<std::u16string, std::u16string>> targets;  // exe path, shortcut name
  for (const std::u16string& lnk : shortcuts_) {
    std::u16string target = env_.shortcutTarget ? env_.shortcutTarget(lnk) : std::u16string();
    if (!target.empty()) targets.emplace_back(target, std::u16string(Stem(LastName(lnk))));
  }
  std::vector<SuggestedEntry> chosen, others;
  for (const std::u16string& exe : exes_) {
    if (IsUninstallerName(LastName(exe)) ||
        std::any_of(uninstallers_.begin(), uninstallers_.end(),
                    [&](const std::u16string& u) { return EqualsNoCaseUnicode(u, exe); }))
      continue;
    SuggestedEntry entry;
    entry.path = exe;
    for (const auto& t : targets) {
      if (EqualsNoCaseUnicode(t.first, exe)) {
        entry.preSelected = true;
        entry.section = SectionSafe(t.second) + u".exe";
        break;
      }
    }
    if (!entry.preSelected) entry.section = SectionSafe(LastName(exe));
    (entry.preSelected ? chosen : others).push_back(std::move(entry));
  }
  if (ieSelection == 1 || ieSelection == 2) {
    SuggestedEntry ie;
    ie.section = u"Internet Explorer.exe";
    ie.path = u"%ProgramFilesDir%\\Internet Explorer\\iexplore.exe";
    ie.preSelected = true;
    ie.isBrowser = true;
    others.insert(others.begin(), std::move(ie));
  }
  entries_ = std::move(chosen);
  for (auto& e : others) entries_.push_back(std::move(e));
  // Section names are unique without regard to case: "App.exe", "App 2.exe".
  for (size_t i = 0; i < entries_.size(); ++i) {
    std::u16string base(Stem(entries_[i].section)), name = entries_[i].section;
    for (int n = 2;; ++n) {
      bool taken = name.empty();
      for (size_t k = 0; k < i && !taken; ++k) taken = EqualsNoCaseUnicode(entries_[k].section, name);
      if (!taken) break;
      name = base + u" " + DecimalText(n) + u".exe";
    }
    entries_[i].section = name;
  }
  // The package's name: the uninstall entry, else the new program folder,
  // else the first chosen entry point.
  if (!displayName_.empty())
    name_ = displayName_;
  else if (!programFolders_.empty())
    name_ = std::u16string(LastName(programFolders_.front()));
  else if (!entries_.empty())
    name_ = std::u16string(Stem(entries_.front().section));
  else
    name_ = u"New Application";
  name_ = SectionSafe(name_);
  if (name_.empty()) name_ = u"New Application";
}

std::u16string SuggestionBuilder::Summary() const {
  std::u16string s = u"Suggested project \"" + name_ + u"\": " + Grouped(newFiles_) + u" new and " +
                     Plural(changedFiles_, u"changed file", u"changed files") + u" (" + Grouped(bytes_) + u" bytes)";
  for (const HiveCount& h : hives_)
    s += u", " + h.hive + u" " + Plural(h.keys, u"key", u"keys") + u" and " + Plural(h.values, u"value", u"values");
  size_t chosen = 0;
  for (const SuggestedEntry& e : entries_) chosen += e.preSelected && !e.isBrowser;
  s += u", " + Plural(deleted_, u"deletion", u"deletions") + u", " +
       Plural(entries_.size(), u"entry point", u"entry points") + u" (" + Grouped(chosen) +
       u" with a Start Menu shortcut)";
  return s;
}

std::u16string SuggestionBuilder::Text(std::u16string_view before, std::u16string_view after) const {
  std::u16string t;
  uint64_t megabytes = std::max<uint64_t>(1, (bytes_ + (1u << 20) - 1) >> 20);
  std::u16string primary;
  for (const SuggestedEntry& e : entries_)
    if (!e.isBrowser) {
      primary = e.section;
      break;
    }
  bool anyPreSelected = std::any_of(entries_.begin(), entries_.end(),
                                    [](const SuggestedEntry& e) { return e.preSelected && !e.isBrowser; });
  Line(t, u"; Project suggested by the Loomwise capture tool from the changes between two scans.");
  Line(t, u"; Lines starting with a semicolon are comments or inactive defaults.");
  Line(t, u"");
  Line(t, u"[Compression]");
  Line(t, u"CompressionType=None");
  Line(t, u"");
  Line(t, u"[Isolation]");
  Line(t, u"DirectoryIsolationMode=Merged");
  Line(t, u"");
  Line(t, u"[BuildOptions]");
  Line(t, u";-------- Parameters used only during the build --------");
  Line(t, u"OutDir=bin");
  Line(t, u"InventoryName=", name_);
  Line(t, u"SuggestedName=", name_);
  Line(t, u"SandboxName=", name_);
  if (!primary.empty()) Line(t, u"PrimaryDataContainer=", primary);
  Line(t, u"EstimatedDataContainerSize=", DecimalText((long long)megabytes));
  Line(t, u";PermittedGroups=");
  Line(t, u";AccessDeniedMsg=You are not authorized to run this application.");
  Line(t, u";QualityReportingEnabled=0");
  Line(t, u";MSIFilename=", name_ + u".msi");
  Line(t, u";MSIManufacturer=", publisher_.empty() ? name_ : publisher_);
  Line(t, u";MSIProductVersion=", version_.empty() ? std::u16string(u"1.0") : version_);
  Line(t, u";MSIDefaultInstallAllUsers=1");
  Line(t, u";MSIRequireElevatedPrivileges=1");
  Line(t, u";MSIInstallDirectory=", name_);
  Line(t, u";RemoveSandboxOnExit=1");
  for (const SuggestedEntry& e : entries_) {
    std::u16string source = e.isBrowser ? e.path : Macros(e.path);
    Line(t, u"");
    Line(t, u"[" + e.section + u"]");
    Line(t, u"Source=", Escaped(source));
    if (e.section == primary)
      Line(t, u"ReadOnlyData=Package.ro.tvr");
    else if (!primary.empty())
      Line(t, u"Shortcut=", Escaped(primary));
    if (e.preSelected) Line(t, u"PreSelected=1");
    if (e.isBrowser) Line(t, u"IsBrowser=1");
    if (ieSelection_ == 2 && e.isBrowser)
      Line(t, u"; Internet Explorer runs fully inside the package: capture its files with the application.");
    if (!e.preSelected && anyPreSelected) Line(t, u"Disabled=1");
    size_t cut = source.rfind(u'\\');
    if (cut != std::u16string::npos) Line(t, u";WorkingDirectory=", Escaped(source.substr(0, cut)));
  }
  Line(t, u"");
  Line(t, u"[" + std::u16string(kSnapshotSection) + u"]");
  Line(t, u"; The scans this project was made from; project generation reads them and");
  Line(t, u"; leaves this section out of Package.ini.");
  Line(t, u"Before=", before);
  Line(t, u"After=", after);
  return t;
}

}  // namespace loom::snap
