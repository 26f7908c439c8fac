#include "util/PathRules.h"

namespace loom {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
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
