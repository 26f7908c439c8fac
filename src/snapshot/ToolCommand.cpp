#include "snapshot/ToolCommand.h"

#include <algorithm>

#include "snapshot/SnapshotFormat.h"
#include "util/Text.h"

namespace loom::snap {
namespace {

bool IsSwitch(std::u16string_view arg, std::u16string_view name) { return EqualsNoCaseAscii(arg, name); }

ToolCommand Invalid(std::u16string error) {
  ToolCommand c;
  c.error = std::move(error);
  return c;
}

// "C:\", "c:" -> "C:"; hive names as the wizard writes them (short forms too).
bool NormalRoot(std::u16string_view arg, std::u16string& root) {
  if ((arg.size() == 2 || (arg.size() == 3 && (arg[2] == u'\\' || arg[2] == u'/'))) && arg[1] == u':') {
    char16_t d = arg[0];
    if (d >= u'a' && d <= u'z') d = char16_t(d - 32);
    if (d < u'A' || d > u'Z') return false;
    root = std::u16string(1, d) + u":";
    return true;
  }
  static const std::u16string_view kHives[][2] = {
      {u"HKEY_LOCAL_MACHINE", u"HKLM"}, {u"HKEY_USERS", u"HKU"}, {u"HKEY_CURRENT_USER", u"HKCU"}};
  for (const auto& h : kHives)
    if (EqualsNoCaseAscii(arg, h[0]) || EqualsNoCaseAscii(arg, h[1])) {
      root = std::u16string(h[0]);
      return true;
    }
  return false;
}

}  // namespace

ToolCommand ParseToolCommand(const std::vector<std::u16string>& all) {
  std::vector<std::u16string> args = all;
  if (!args.empty() && IsSwitch(args.back(), u"-Loomwise")) args.pop_back();
  if (args.empty()) return Invalid(u"No snapshot file was given.");
  ToolCommand c;
  c.file = args[0];
  if (args.size() >= 2 && IsSwitch(args[1], u"-SuggestProject")) {
    if (args.size() < 4) return Invalid(u"-SuggestProject needs the postscan snapshot and the project file to write.");
    c.mode = ToolMode::kSuggest;
    c.after = args[2];
    c.output = args[3];
    for (size_t i = 4; i < args.size(); ++i) {
      if (IsSwitch(args[i], u"-IESelection") && i + 1 < args.size()) {
        const std::u16string& v = args[++i];
        if (v.size() != 1 || v[0] < u'0' || v[0] > u'2') return Invalid(u"-IESelection takes 0, 1 or 2.");
        c.ieSelection = v[0] - u'0';
      } else {
        return Invalid(u"Unknown argument: " + args[i]);
      }
    }
    return c;
  }
  if (args.size() >= 2 && IsSwitch(args[1], u"-GenerateProject")) {
    if (args.size() != 3 || args[2].empty()) return Invalid(u"-GenerateProject needs the project folder.");
    c.mode = ToolMode::kGenerate;
    c.output = args[2];
    return c;
  }
  if (c.file.empty() || c.file[0] == u'-') return Invalid(u"Unknown argument: " + c.file);
  for (size_t i = 1; i < args.size(); ++i) {
    std::u16string root;
    if (!NormalRoot(args[i], root))
      return Invalid(
          u"Unknown scan location " + args[i] +
          u": give drive roots such as C:\\ and the hives HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_USER.");
    c.roots.push_back(root);
  }
  if (c.roots.empty()) return Invalid(u"No scan location was given (for example C:\\ HKEY_LOCAL_MACHINE).");
  auto fileSystemFirst = [](const std::u16string& a, const std::u16string& b) {
    bool ad = a.size() == 2, bd = b.size() == 2;
    if (ad != bd) return ad;
    return ComparePaths(a, b) < 0;
  };
  std::sort(c.roots.begin(), c.roots.end(), fileSystemFirst);
  c.roots.erase(std::unique(c.roots.begin(), c.roots.end()), c.roots.end());
  c.mode = ToolMode::kScan;
  return c;
}

std::u16string_view ToolUsage() {
  return u"Loomwise capture tool\r\n"
         u"  snapshot64 SNAPSHOT ROOT... [-Loomwise]\r\n"
         u"      scan drive roots (C:\\) and hives (HKEY_LOCAL_MACHINE HKEY_USERS HKEY_CURRENT_USER)\r\n"
         u"  snapshot64 BEFORE -SuggestProject AFTER PROJECT.ini [-IESelection 0|1|2] [-Loomwise]\r\n"
         u"      compare two snapshots and write the suggested project\r\n"
         u"  snapshot64 PROJECT.ini -GenerateProject FOLDER [-Loomwise]\r\n"
         u"      write the project folder\r\n";
}

std::u16string Grouped(uint64_t n) {
  std::u16string digits;
  int i = 0;
  do {
    if (i && i % 3 == 0) digits.insert(digits.begin(), u',');
    digits.insert(digits.begin(), char16_t(u'0' + n % 10));
    n /= 10;
    ++i;
  } while (n);
  return digits;
}

}  // namespace loom::snap
