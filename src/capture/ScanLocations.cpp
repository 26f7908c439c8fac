#include "capture/ScanLocations.h"

#include "util/Text.h"

namespace loom {

std::u16string DriveRoot(char16_t letter) {
  std::u16string root(1, AsciiLower(letter));
  root += u":\\";
  return root;
}

std::vector<char16_t> OfferedDriveLetters(uint32_t mask) {
  std::vector<char16_t> letters;
  for (int bit = 2; bit < 26; ++bit)
    if (mask & (uint32_t(1) << bit)) letters.push_back(char16_t(u'a' + bit));
  return letters;
}

int DriveIndexOfLocalName(std::u16string_view localName) {
  if (localName.size() < 2 || localName[1] != u':') return -1;
  char16_t c = AsciiLower(localName[0]);
  return c >= u'a' && c <= u'z' ? int(c - u'a') : -1;
}

bool SelectionHasRoot(std::u16string_view selection, std::u16string_view lowerRoot) {
  if (lowerRoot.empty()) return false;
  if (selection.find(lowerRoot) != std::u16string_view::npos) return true;
  std::u16string upper(lowerRoot);
  for (char16_t& c : upper) c = UpcaseUnit(c);
  return selection.find(upper) != std::u16string_view::npos;
}

HiveChoice SelectionHives(std::u16string_view selection) {
  HiveChoice h;
  h.localMachine = selection.find(kHiveLocalMachine) != std::u16string_view::npos;
  h.users = selection.find(kHiveUsers) != std::u16string_view::npos;
  h.currentUser = selection.find(kHiveCurrentUser) != std::u16string_view::npos;
  return h;
}

bool BuildScanLocations(const std::vector<std::u16string>& checkedRoots, const HiveChoice& hives, std::u16string& out) {
  out.clear();
  for (const std::u16string& root : checkedRoots) {
    for (char16_t c : root.substr(0, 3)) out += UpcaseUnit(c);
    out += u' ';
  }
  if (hives.localMachine) out += std::u16string(kHiveLocalMachine) + u' ';
  if (hives.users) {
    out += std::u16string(kHiveUsers) + u' ';
  } else if (hives.currentUser) {
    out += std::u16string(kHiveCurrentUser) + u' ';
  } else if (out.empty()) {
    return false;
  }
  out.pop_back();  // the trailing blank
  return true;
}

std::u16string DefaultScanLocations(std::u16string_view programFilesFolder) {
  return std::u16string(programFilesFolder.substr(0, 3)) + u" " + kHiveLocalMachine + u" " + kHiveUsers;
}

}  // namespace loom
