#include "project/ProjectLocation.h"

#include <algorithm>

#include "macros/FolderMacros.h"
#include "project/IniDocument.h"
#include "snapshot/ProjectSuggestion.h"
#include "util/PathRules.h"
#include "util/Text.h"

namespace loom {

std::u16string Trimmed(std::u16string_view text) { return std::u16string(TrimView(text, kWhiteSpace)); }

std::u16string ProposedLocation(std::u16string_view originOrProgramPath, std::u16string_view inventoryName) {
  size_t slash = originOrProgramPath.rfind(u'\\');
  std::u16string base(slash == std::u16string_view::npos ? std::u16string_view()
                                                         : originOrProgramPath.substr(0, slash + 1));
  return base + u"Captures\\" + std::u16string(inventoryName);
}

std::u16string FollowName(std::u16string_view location, std::u16string_view lastName, std::u16string_view name) {
  size_t slash = location.rfind(u'\\');
  size_t start = slash == std::u16string_view::npos ? 0 : slash + 1;
  std::u16string out(location);
  if (EqualsNoCaseAscii(location.substr(start), lastName))
    out.replace(start, std::u16string::npos, name);
  else if (!location.empty() && location.back() == u'\\')
    out += name;
  return out;
}

std::u16string FreeSpaceRoot(std::u16string_view full) {
  if (full.size() >= 2 && full[0] == u'\\' && full[1] == u'\\') {
    size_t seen = 0;
    for (size_t i = 0; i < full.size(); ++i)
      if (full[i] == u'\\' && ++seen == 4) return std::u16string(full.substr(0, i + 1));
    return std::u16string(full) + u"\\";  // "\\server\share": the share itself
  }
  bool letter = full.size() >= 3 && ((full[0] >= u'A' && full[0] <= u'Z') || (full[0] >= u'a' && full[0] <= u'z'));
  if (letter && full[1] == u':' && full[2] == u'\\') return std::u16string(full.substr(0, 3));
  return {};
}

bool TooLittleSpace(uint64_t freeBytes, long estimatedMegabytes) {
  if (estimatedMegabytes <= 0) return false;
  return (freeBytes >> 20) < static_cast<uint64_t>(estimatedMegabytes);
}

Refusal CheckInventoryName(std::u16string_view trimmedName) {
  if (trimmedName.empty()) return Refusal::NameInvalid;
  if (trimmedName.find_first_of(u"[]") != std::u16string_view::npos) return Refusal::NameBrackets;
  return Refusal::None;
}

LocationVerdict CheckLocation(std::u16string_view inventoryName, std::u16string_view location, long estimatedMegabytes,
                              LocationPlatform& platform, const std::vector<std::u16string>& capturedFolders) {
  LocationVerdict v;
  v.name = Trimmed(inventoryName);
  auto refuse = [&v](Refusal refusal, LocationField field) {
    v.refusal = refusal;
    v.field = field;
    return v;
  };
  if (Refusal r = CheckInventoryName(v.name); r != Refusal::None) return refuse(r, LocationField::Name);
  if (location.empty()) return refuse(Refusal::LocationMissing, LocationField::Location);
  if (!IsValidFolderPath(location)) return refuse(Refusal::LocationInvalid, LocationField::Location);

  std::u16string folder = NormalFolder(location);
  if (RefuseProjectFolder(folder, capturedFolders).kind != ProjectFolderRefusal::kNone ||
      RefuseProjectFolder(platform.FullPath(folder), capturedFolders).kind == ProjectFolderRefusal::kCaptured)
    return refuse(Refusal::LocationInvalid, LocationField::Location);
  std::u16string spaceFolder;
  LocationPlatform::Kind kind = platform.Lookup(folder);
  switch (kind) {
    case LocationPlatform::Kind::File: return refuse(Refusal::LocationInvalid, LocationField::Location);
    case LocationPlatform::Kind::Folder: spaceFolder = folder; break;
    case LocationPlatform::Kind::Missing: spaceFolder = FreeSpaceRoot(platform.FullPath(folder)); break;
  }
  if (!spaceFolder.empty()) {
    std::optional<uint64_t> free = platform.FreeBytes(spaceFolder);
    if (free && TooLittleSpace(*free, estimatedMegabytes))
      return refuse(Refusal::LowDiskSpace, LocationField::Location);
  }
  v.askOverwrite = kind == LocationPlatform::Kind::Folder && platform.HasEntries(folder);
  return v;
}

std::vector<std::u16string> CapturedFolders(const IniDocument& doc) {
  std::vector<std::u16string> folders;
  for (const std::u16string& section : doc.ListSections()) {
    std::u16string source = doc.GetValue(section, u"Source");
    if (source.empty() || doc.GetValue(section, u"IsBrowser") == u"1") continue;
    std::u16string live = ExpandFolderMacros(source, false);
    size_t cut = live.rfind(u'\\');
    if (cut != std::u16string::npos && cut > 2) folders.push_back(live.substr(0, cut));
  }
  std::u16string created = doc.GetValue(snap::kSnapshotSection, snap::kNewFoldersKey);
  for (size_t from = 0, bar = 0; from < created.size(); from = bar + 1) {
    bar = std::min(created.find(u'|', from), created.size());
    if (bar > from) folders.push_back(created.substr(from, bar - from));
  }
  return folders;
}

void ApplyInventoryName(IniDocument& doc, std::u16string_view name) {
  doc.SetValue(u"BuildOptions", u"InventoryName", name);
  doc.SetValue(u"BuildOptions", u"SandboxName", name);
}

std::u16string NameToWrite(std::u16string_view name, bool portalBaseUpdate, std::u16string_view baseInventoryName) {
  return std::u16string(portalBaseUpdate && !baseInventoryName.empty() ? baseInventoryName : name);
}

}  // namespace loom
