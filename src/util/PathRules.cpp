#include "util/PathRules.h"

#include "util/Text.h"

namespace loom {
namespace {

bool HasDrivePrefix(std::u16string_view p) { return p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == u':'; }

}  // namespace

bool IsUsablePath(std::u16string_view path) {
  for (size_t i = 0; i < path.size(); ++i) {
    char16_t c = path[i];
    if (c < 0x20) return false;
    switch (c) {
      case u'"':
      case u'<':
      case u'>':
      case u'|':
      case u'?':
      case u'*': return false;
      case u':':
        if (i != 1 || !IsAsciiLetter(path[0])) return false;
        break;
      default: break;
    }
  }
  return true;
}

bool IsAbsolutePath(std::u16string_view path) {
  if (HasDrivePrefix(path)) return path.size() >= 3 && IsSeparator(path[2]);
  // UNC: two separators, a server name, a separator, a share name.
  if (path.size() < 5 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  size_t server = path.find_first_of(u"\\/", 2);
  return server != std::u16string_view::npos && server > 2 && server + 1 < path.size() &&
         !IsSeparator(path[server + 1]);
}

std::u16string NormalFolder(std::u16string_view path) {
  size_t n = path.size();
  while (n > 0 && IsSeparator(path[n - 1])) --n;
  std::u16string out(path.substr(0, n));
  if (n == 2 && HasDrivePrefix(path) && path.size() > 2) out += u'\\';
  return out;
}

bool IsWithinFolder(std::u16string_view path, std::u16string_view folder) {
  while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  if (folder.empty() || path.size() < folder.size()) return false;
  if (!EqualsNoCaseUnicode(path.substr(0, folder.size()), folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == u'\\';
}

ProjectFolderRefusal RefuseProjectFolder(std::u16string_view projectFolder,
                                         const std::vector<std::u16string>& captured) {
  std::u16string folder(projectFolder);
  for (char16_t& c : folder)
    if (c == u'/') c = u'\\';
  while (folder.size() > 1 && folder.back() == u'\\') folder.pop_back();
  bool root;
  if (HasDrivePrefix(folder)) {
    root = folder.size() == 2;
  } else if (folder.size() > 2 && folder[0] == u'\\' && folder[1] == u'\\') {
    size_t names = 1;
    for (size_t i = 2; i < folder.size(); ++i) names += folder[i] == u'\\';
    root = names <= 2;
  } else {
    root = folder.empty() || folder == u"\\";
  }
  if (root) return {ProjectFolderRefusal::kRoot, {}};
  for (const std::u16string& c : captured)
    if (IsWithinFolder(folder, c)) return {ProjectFolderRefusal::kCaptured, c};
  return {};
}

std::u16string QuotedPath(std::u16string_view path) {
  std::u16string out;
  out.reserve(path.size() + 3);
  out += u'"';
  out.append(path);
  if (!path.empty() && path.back() == u'\\') out += u'\\';
  out += u'"';
  return out;
}

}  // namespace loom
