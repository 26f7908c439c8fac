#include "macros/FolderPlatform.h"

#include <atomic>

namespace loom {
namespace {

std::atomic<FolderPlatform*> gInstalled{nullptr};

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

bool FolderPlatform::ShortNamePattern(std::u16string_view shortPath, std::u16string& pattern) const {
  return MakeShortNamePattern(shortPath, pattern);
}

bool MakeShortNamePattern(std::u16string_view shortPath, std::u16string& pattern) {
  std::u16string out;
  out.reserve(shortPath.size());
  bool replaced = false;
  size_t i = 0;
  while (i < shortPath.size()) {
    // A "~digits" run ending the base name: at the end of the component or
    // before its extension's dot.
    if (shortPath[i] == u'~') {
      size_t j = i + 1;
      while (j < shortPath.size() && IsAsciiDigit(shortPath[j])) ++j;
      const bool endsBase =
          j == shortPath.size() || shortPath[j] == u'.' || shortPath[j] == u'\\' || shortPath[j] == u'/';
      if (j > i + 1 && endsBase) {
        out += u"~*";
        replaced = true;
        i = j;
        continue;
      }
    }
    out += shortPath[i++];
  }
  if (!replaced) return false;
  pattern = std::move(out);
  return true;
}

void SetFolderPlatform(FolderPlatform* platform) { gInstalled.store(platform); }

FolderPlatform& ActiveFolderPlatform() {
  FolderPlatform* p = gInstalled.load();
  return p ? *p : SystemFolderPlatform();
}

}  // namespace loom
