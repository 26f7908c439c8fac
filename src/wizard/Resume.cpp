#include "wizard/Resume.h"

#include "app/Origin.h"
#include "util/Text.h"

namespace loom {
namespace {

bool IsDriveRoot(std::u16string_view item) {
  return item.size() == 3 && ((item[0] >= u'A' && item[0] <= u'Z') || (item[0] >= u'a' && item[0] <= u'z')) &&
         item[1] == u':' && item[2] == u'\\';
}

bool IsHiveName(std::u16string_view item) {
  return item == u"HKEY_LOCAL_MACHINE" || item == u"HKEY_USERS" || item == u"HKEY_CURRENT_USER";
}

}  // namespace

std::u16string ResumeValueAfterPrescan(std::u16string_view program, std::u16string_view prescan,
                                       std::u16string_view scanLocations, int ieSelection) {
  return Quoted(program) + u" " + Quoted(prescan) + u" " + Quoted(scanLocations) + u" " + DecimalText(ieSelection);
}

std::u16string ResumeValueAfterPostscan(std::u16string_view program, std::u16string_view prescan,
                                        std::u16string_view postscan, std::u16string_view scanLocations,
                                        int ieSelection) {
  return Quoted(program) + u" " + Quoted(prescan) + u" " + Quoted(postscan) + u" " + Quoted(scanLocations) + u" " +
         DecimalText(ieSelection);
}

std::u16string ResumeValueFromCommandLine(std::u16string_view program, std::u16string_view commandLine) {
  std::u16string_view rest;
  if (!commandLine.empty() && commandLine[0] == u'"') {
    size_t close = commandLine.find(u'"', 1);
    if (close != std::u16string_view::npos) rest = commandLine.substr(close + 1);
  } else {
    size_t blank = commandLine.find(u' ');
    if (blank != std::u16string_view::npos) rest = commandLine.substr(blank);
  }
  return Quoted(program) + std::u16string(rest);
}

std::u16string ResumeProgramPath(const Origin& origin) {
  if (origin.path.empty()) return origin.programPath;
  size_t cut = origin.path.find_last_of(u"\\/:");
  return (cut == std::u16string::npos ? std::u16string() : origin.path.substr(0, cut + 1)) + u"Loomwise.exe";
}

bool IsValidScanLocations(std::u16string_view text) {
  bool any = false;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == u' ') {
      if (i == 0 || text[i - 1] == u' ') return false;  // single blanks between items only
      ++i;
      continue;
    }
    size_t end = text.find(u' ', i);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view item = text.substr(i, end - i);
    if (!IsDriveRoot(item) && !IsHiveName(item)) return false;
    any = true;
    i = end;
  }
  return any && text.back() != u' ';
}

bool ParseResumeArguments(const std::vector<std::u16string>& tokens, ResumeArguments& args) {
  if (tokens.size() != 4 && tokens.size() != 5) return false;
  args = ResumeArguments();
  args.withPostscan = tokens.size() == 5;
  args.prescan = tokens[1];
  size_t next = 2;
  if (args.withPostscan) args.postscan = tokens[next++];
  args.scanLocations = tokens[next++];
  // The selection is read as a decimal number (leading digits, as a C
  // conversion would); only 0, 1 and 2 count.
  long value = 0;
  size_t digits = 0;
  for (char16_t c : tokens[next]) {
    if (c < u'0' || c > u'9' || value > 2) break;
    value = value * 10 + (c - u'0');
    ++digits;
  }
  if (digits > 0 && value <= 2) args.ieSelection = int(value);
  return IsValidScanLocations(args.scanLocations);
}

std::u16string_view FileNamePart(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/:");
  return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace loom
