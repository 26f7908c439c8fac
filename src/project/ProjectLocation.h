// The decisions of the project-location page: the proposed location, the
// location's last folder name following the inventory name, and the checks
// made when the user presses Next (fed with the platform's answers).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/Refusal.h"

namespace loom {

class IniDocument;

// Base folder ("QM_ORIGIN", else the program's own path) cut after its last
// backslash, then "Captures\" and the name.
std::u16string ProposedLocation(std::u16string_view originOrProgramPath, std::u16string_view inventoryName);

// The location after the user typed in the name box: its last part follows
// the name while it equals the name it followed last (ASCII case folded); a
// location ending in "\" gets the name appended; any other stays.
std::u16string FollowName(std::u16string_view location, std::u16string_view lastName, std::u16string_view name);

// What the platform says about the location.
class LocationPlatform {
 public:
  enum class Kind { Missing, File, Folder };
  virtual ~LocationPlatform() = default;
  virtual Kind Lookup(const std::u16string& path) = 0;
  // The full form of a path that does not exist yet.
  virtual std::u16string FullPath(const std::u16string& path) = 0;
  // Bytes free for the user in the folder; nothing when the query fails.
  virtual std::optional<uint64_t> FreeBytes(const std::u16string& folder) = 0;
  // True when the folder holds any entry besides "." and "..".
  virtual bool HasEntries(const std::u16string& folder) = 0;
};

// The root asked for the free space of a path that does not exist yet:
// "\\server\share\" or "X:\"; empty for any other form.
std::u16string FreeSpaceRoot(std::u16string_view fullPath);

// Fewer free megabytes (bytes / 2^20) than the estimate.
bool TooLittleSpace(uint64_t freeBytes, long estimatedMegabytes);

// The box a refusal concerns.
enum class LocationField { None, Name, Location };

struct LocationVerdict {
  Refusal refusal = Refusal::None;  // told with an OK button
  LocationField field = LocationField::None;
  bool askOverwrite = false;  // the folder holds files: ask whether to overwrite
  std::u16string name;        // the trimmed inventory name
  bool ok() const { return refusal == Refusal::None; }
};

// The check of a trimmed inventory name: NameInvalid when empty,
// NameBrackets with "[" or "]", else None.
Refusal CheckInventoryName(std::u16string_view trimmedName);

// The checks of Next, in order: the trimmed name (CheckInventoryName), the
// location (empty: LocationMissing; a character no path may hold or a
// relative path, a drive's root or a folder in one of `capturedFolders`, as
// typed or in full form, an existing file: LocationInvalid), the free space
// against the estimate (LowDiskSpace; not checked when the platform cannot
// tell), and whether an existing folder holds files (the overwrite question).
LocationVerdict CheckLocation(std::u16string_view inventoryName, std::u16string_view location, long estimatedMegabytes,
                              LocationPlatform& platform, const std::vector<std::u16string>& capturedFolders = {});

// The captured application's folders that no project may be written into:
// those of the working project's entry points (each section's Source with its
// folder macros expanded, browser entries left out) and the outermost folders
// the installation created, as the comparison recorded them.
std::vector<std::u16string> CapturedFolders(const IniDocument& doc);

// InventoryName and SandboxName of BuildOptions.
void ApplyInventoryName(IniDocument& doc, std::u16string_view name);

// The name written: the base package's name when the portal page manages an
// update of it and knows its name, else the page's name.
std::u16string NameToWrite(std::u16string_view name, bool portalBaseUpdate, std::u16string_view baseInventoryName);

// White space removed at both ends.
std::u16string Trimmed(std::u16string_view text);

}  // namespace loom
