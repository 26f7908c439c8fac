// The scan-locations selection: one text of blank-separated items, first the
// drive roots ("C:\" form, ascending), then the registry hives in the order
// HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_USER. The scan-locations
// dialog reads an incoming selection with the functions here and builds the
// new one from its check boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace loom {

constexpr char16_t kHiveLocalMachine[] = u"HKEY_LOCAL_MACHINE";
constexpr char16_t kHiveUsers[] = u"HKEY_USERS";
constexpr char16_t kHiveCurrentUser[] = u"HKEY_CURRENT_USER";

// The root of drive `letter` in lower case: u'C' gives "c:\".
std::u16string DriveRoot(char16_t letter);

// The drive letters (lower case) that are offered for a drive bit mask
// (bit 0 = A): C to Z only, A and B are never listed.
std::vector<char16_t> OfferedDriveLetters(uint32_t mask);

// The bit index (0 = a) of a local network name "x:" (either case, anything
// may follow the colon); -1 when the name does not start with a letter and ":".
int DriveIndexOfLocalName(std::u16string_view localName);

// Whether an incoming selection names a root: a plain substring search for
// the root in lower case, or else in upper case (so "c:\" and "C:\" count).
bool SelectionHasRoot(std::u16string_view selection, std::u16string_view lowerRoot);

struct HiveChoice {
  bool localMachine = false;
  bool users = false;
  bool currentUser = false;
};

// The hives an incoming selection names (substring search for each name).
HiveChoice SelectionHives(std::u16string_view selection);

// The wizard's default selection: the drive of the program files (the first
// three characters of its folder, "C:\\") and two hives.
std::u16string DefaultScanLocations(std::u16string_view programFilesFolder);

// Builds the selection from the checked roots (in list order) and hive boxes.
// Roots are written in upper case. HKEY_USERS covers the current user, so
// HKEY_CURRENT_USER is written only without it. False when nothing at all is
// chosen; `out` is then left empty.
bool BuildScanLocations(const std::vector<std::u16string>& checkedRoots, const HiveChoice& hives, std::u16string& out);

}  // namespace loom
