// The suggested project: what the comparison of two snapshots writes as the
// wizard's working project file. It collects what it needs while the merge
// runs (memory grows with the changes, never with the size of the scans).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "snapshot/SnapshotMerge.h"

namespace loom::snap {

// What the suggestion asks of the system.
struct CaptureEnvironment {
  // A path in folder-macro form ("%ProgramFilesDir%\App\app.exe").
  std::function<std::u16string(std::u16string_view path)> toMacros;
  // A macro-form path escaped for a Package.ini value ("%" and "#" that begin
  // no macro as "#25" / "#23"); identity when not given.
  std::function<std::u16string(std::u16string_view text)> escapeIni;
  // Registry string data in macro form: each path under a folder of the
  // folder-macro table as its macro, "%" and "#" of the text as "#25" / "#23"
  // (identity when not given).
  std::function<std::u16string(std::u16string_view text)> textToMacros;
  // The target of a shortcut file on the live system; empty when unknown.
  std::function<std::u16string(std::u16string_view lnkPath)> shortcutTarget;
};

// The section of the working file that records the two snapshots, so that
// generation can merge them again; generation leaves it out of Package.ini.
inline constexpr char16_t kSnapshotSection[] = u"CaptureSnapshots";

struct SuggestedEntry {
  std::u16string section;  // "Sample App.exe"
  std::u16string path;     // the live path
  bool preSelected = false;
  bool isBrowser = false;
};

class SuggestionBuilder : public DiffVisitor {
 public:
  explicit SuggestionBuilder(CaptureEnvironment env) : env_(std::move(env)) {}

  void Added(const Entry& after) override { Take(after, false); }
  void Changed(const Entry&, const Entry& after) override { Take(after, true); }
  void Deleted(const Entry& before) override;

  // Decides names and entry points (resolves the new shortcuts). Uninstallers
  // are no entry points: the executables a captured uninstall entry names in
  // UninstallString or QuietUninstallString, and unins*.exe / uninst*.exe.
  void Finish(int ieSelection);

  // One line that says what the project holds: new and changed files and
  // their size, registry keys and values per hive, deletions, entry points.
  std::u16string Summary() const;

  const std::vector<SuggestedEntry>& entries() const { return entries_; }
  const std::u16string& name() const { return name_; }
  uint64_t capturedBytes() const { return bytes_; }

  // The working project file's text (without byte-order mark; CR LF lines).
  std::u16string Text(std::u16string_view beforeSnapshot, std::u16string_view afterSnapshot) const;

 private:
  void Take(const Entry& e, bool changed);
  std::u16string Macros(std::u16string_view path) const;
  std::u16string Escaped(std::u16string_view text) const;

  CaptureEnvironment env_;
  std::vector<std::u16string> exes_, shortcuts_, programFolders_, uninstallers_;
  struct HiveCount {
    std::u16string hive;
    uint64_t keys = 0, values = 0;
  };
  std::vector<HiveCount> hives_;
  uint64_t newFiles_ = 0, changedFiles_ = 0, deleted_ = 0;
  std::u16string displayName_, publisher_, version_;
  std::vector<SuggestedEntry> entries_;
  std::u16string name_;
  uint64_t bytes_ = 0;
  int ieSelection_ = 0;
};

// Registry string data as text: UTF-16LE up to the first NUL.
std::u16string RegistryString(const std::string& data);
// The last name of a path, and that name without its extension.
std::u16string_view LastName(std::u16string_view path);
std::u16string_view Stem(std::u16string_view name);
// Text usable as an INI section name (no "[", "]", control characters; no
// leading ";" or "#").
std::u16string SectionSafe(std::u16string_view name);

}  // namespace loom::snap
