#include "snapshot/Exclusions.h"

#include <algorithm>

#include "util/Text.h"

namespace loom::snap {
namespace {

std::vector<std::u16string> SplitNames(std::u16string_view path) {
  std::vector<std::u16string> names;
  size_t i = 0;
  for (;;) {
    size_t e = path.find(u'\\', i);
    if (e == std::u16string_view::npos) e = path.size();
    names.emplace_back(path.substr(i, e - i));
    if (e == path.size()) break;
    i = e + 1;
  }
  return names;
}

// Blanks at both ends and carriage returns at the end.
std::u16string_view Trim(std::u16string_view s) { return TrimView(s, kBlanks, u" \t\r"); }

// Each pattern line of a list, trimmed.
std::vector<std::u16string_view> PatternLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  size_t i = 0;
  while (i < text.size()) {
    size_t e = text.find(u'\n', i);
    if (e == std::u16string_view::npos) e = text.size();
    std::u16string_view line = Trim(text.substr(i, e - i));
    if (!line.empty() && line[0] == 0xFEFF) line = Trim(line.substr(1));
    if (!line.empty() && line[0] != u'#' && line[0] != u';') lines.push_back(line);
    i = e + 1;
  }
  return lines;
}

}  // namespace

bool MatchName(std::u16string_view p, std::u16string_view n) {
  size_t pi = 0, ni = 0, star = std::u16string_view::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == u'?' || UpcaseUnit(p[pi]) == UpcaseUnit(n[ni]))) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == u'*') {
      star = pi++;
      mark = ni;
    } else if (star != std::u16string_view::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == u'*') ++pi;
  return pi == p.size();
}

void ExclusionList::Add(std::u16string_view pattern) {
  pattern = Trim(pattern);
  while (pattern.size() > 1 && pattern.back() == u'\\') pattern.remove_suffix(1);
  if (pattern.empty() || pattern == u"\\") return;
  if (pattern.find(u'\\') == std::u16string_view::npos && pattern.find(u':') == std::u16string_view::npos &&
      pattern.rfind(u"HKEY_", 0) != 0)
    names_.emplace_back(pattern);
  else
    paths_.push_back(SplitNames(pattern));
}

void ExclusionList::Parse(std::u16string_view text, const Expander& expand) {
  for (std::u16string_view line : PatternLines(text)) {
    if (expand) {
      std::u16string expanded = expand(line);
      // A variable that is not set stays as "%NAME%": leave such a line out.
      if (expanded.find(u'%') == std::u16string::npos || line.find(u'%') == std::u16string_view::npos) Add(expanded);
    } else {
      Add(line);
    }
  }
}

std::vector<std::u16string> ExclusionList::MissingDefaults(std::u16string_view text) {
  std::vector<std::u16string_view> have = PatternLines(text);
  std::vector<std::u16string> missing;
  for (std::u16string_view d : PatternLines(DefaultText()))
    if (std::none_of(have.begin(), have.end(), [&](std::u16string_view h) { return EqualsNoCaseUnicode(h, d); }))
      missing.emplace_back(d);
  return missing;
}

bool ExclusionList::Excludes(std::u16string_view path) const {
  size_t cut = path.rfind(u'\\');
  std::u16string_view last = cut == std::u16string_view::npos ? path : path.substr(cut + 1);
  for (const std::u16string& n : names_)
    if (MatchName(n, last)) return true;
  if (paths_.empty()) return false;
  size_t count = 1;
  for (char16_t c : path) count += c == u'\\';
  for (const auto& p : paths_) {
    if (p.size() != count) continue;
    size_t i = 0, k = 0;
    for (; k < p.size(); ++k) {
      size_t e = path.find(u'\\', i);
      if (e == std::u16string_view::npos) e = path.size();
      if (!MatchName(p[k], path.substr(i, e - i))) break;
      i = e + 1;
    }
    if (k == p.size()) return true;
  }
  return false;
}

std::u16string_view ExclusionList::DefaultText() {
  return u"# Places the capture tool leaves out of every scan, one a line.\r\n"
         u"#\r\n"
         u"# To leave out more, add lines to this file (it must stay beside the tool,\r\n"
         u"# named snapshot-exclude.txt). A line is either a path that begins with a\r\n"
         u"# drive or a registry hive, or, without any \"\\\", a name that is left out\r\n"
         u"# wherever it occurs. \"*\" and \"?\" match within one name; letter case is\r\n"
         u"# ignored; a folder or key that is left out takes everything below it.\r\n"
         u"# Environment variables such as %TEMP% are expanded. Lines beginning with\r\n"
         u"# \"#\" are comments.\r\n"
         u"#\r\n"
         u"# The tool writes this file only when it is missing. A newer version of the\r\n"
         u"# tool may leave out more by default; a file kept from an older version does\r\n"
         u"# not get the new lines, and the comparison of the scans (-SuggestProject)\r\n"
         u"# then says in an info line which default it lacks (one removed on purpose\r\n"
         u"# too). Delete this file to get the current defaults (and add your own\r\n"
         u"# lines again), or copy the new lines into it.\r\n"
         u"\r\n"
         u"# The tool's own snapshot files and the temp folders\r\n"
         u"*.snapshot\r\n"
         u"*.snapshot.new\r\n"
         u"%TEMP%\r\n"
         u"%TMP%\r\n"
         u"%SystemRoot%\\Temp\r\n"
         u"\r\n"
         u"# Paging, hibernation and swap files, recycle bins, restore points\r\n"
         u"?:\\pagefile.sys\r\n"
         u"?:\\hiberfil.sys\r\n"
         u"?:\\swapfile.sys\r\n"
         u"?:\\System Volume Information\r\n"
         u"?:\\$Recycle.Bin\r\n"
         u"?:\\RECYCLER\r\n"
         u"\r\n"
         u"# The system's own noise: logs, caches, prefetch data, registry hive files\r\n"
         u"%SystemRoot%\\Prefetch\r\n"
         u"%SystemRoot%\\Logs\r\n"
         u"%SystemRoot%\\debug\r\n"
         u"%SystemRoot%\\SoftwareDistribution\r\n"
         u"%SystemRoot%\\ServiceProfiles\r\n"
         u"%SystemRoot%\\System32\\config\r\n"
         u"%SystemRoot%\\System32\\LogFiles\r\n"
         u"%SystemRoot%\\System32\\winevt\r\n"
         u"%SystemRoot%\\System32\\wbem\\Repository\r\n"
         u"%ProgramData%\\Microsoft\\Windows\\WER\r\n"
         u"%LOCALAPPDATA%\\Microsoft\\Windows\\INetCache\r\n"
         u"%LOCALAPPDATA%\\Microsoft\\Windows\\Explorer\r\n"
         u"%LOCALAPPDATA%\\Temp\r\n"
         u"NTUSER.DAT*\r\n"
         u"UsrClass.dat*\r\n"
         u"\r\n"
         u"# Windows Installer's cache of the packages it installed\r\n"
         u"%SystemRoot%\\Installer\r\n"
         u"\r\n"
         u"# Volatile registry keys\r\n"
         u"HKEY_LOCAL_MACHINE\\HARDWARE\r\n"
         u"HKEY_LOCAL_MACHINE\\SAM\r\n"
         u"HKEY_LOCAL_MACHINE\\SECURITY\r\n"
         u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\r\n"
         u"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet*\\Enum\r\n"
         u"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet*\\Control\\DeviceClasses\r\n"
         u"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet*\\Services\\bam\r\n"
         u"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet*\\Services\\Tcpip\\Parameters\\Interfaces\r\n"
         u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Cryptography\\RNG\r\n"
         u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\r\n"
         u"HKEY_USERS\\*\\Volatile Environment\r\n"
         u"HKEY_USERS\\*\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\r\n"
         u"HKEY_USERS\\*\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\r\n"
         u"HKEY_USERS\\*\\Software\\Microsoft\\Windows\\Shell\\BagMRU\r\n"
         u"HKEY_USERS\\*\\Software\\Microsoft\\Windows\\Shell\\Bags\r\n"
         u"HKEY_USERS\\*\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache\r\n"
         u"HKEY_USERS\\*\\Software\\Classes\\Local Settings\r\n"
         u"HKEY_USERS\\*_Classes\\Local Settings\r\n"
         u"HKEY_USERS\\*\\Software\\Wine\r\n"
         u"HKEY_CURRENT_USER\\Volatile Environment\r\n"
         u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\r\n"
         u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\r\n"
         u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\Shell\\BagMRU\r\n"
         u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\Shell\\Bags\r\n"
         u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache\r\n"
         u"HKEY_CURRENT_USER\\Software\\Classes\\Local Settings\r\n"
         u"HKEY_CURRENT_USER\\Software\\Wine\r\n"
         u"\r\n"
         u"# Windows Installer's own registration of what it installed (the product's\r\n"
         u"# own uninstall entry under ...\\CurrentVersion\\Uninstall stays in the capture)\r\n"
         u"# products, features and components as Windows Installer advertises them\r\n"
         u"HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer\r\n"
         u"# per-user product data, component paths, upgrade codes, the cache's index\r\n"
         u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer\r\n"
         u"# a user's own installations and their source lists\r\n"
         u"HKEY_USERS\\*\\Software\\Microsoft\\Installer\r\n"
         u"# a user's advertised products\r\n"
         u"HKEY_USERS\\*\\Software\\Classes\\Installer\r\n"
         u"# the same, in the user's classes hive\r\n"
         u"HKEY_USERS\\*_Classes\\Installer\r\n"
         u"# the current user's installations\r\n"
         u"HKEY_CURRENT_USER\\Software\\Microsoft\\Installer\r\n"
         u"# the current user's advertised products\r\n"
         u"HKEY_CURRENT_USER\\Software\\Classes\\Installer\r\n"
         u"\r\n"
         u"# The capture wizard's own settings, written while it runs (\"don't ask again\")\r\n"
         u"HKEY_USERS\\*\\Software\\Corvel, Inc.\\Corvel Wrenlow\\Loomwise\r\n"
         u"HKEY_CURRENT_USER\\Software\\Corvel, Inc.\\Corvel Wrenlow\\Loomwise\r\n";
}

}  // namespace loom::snap
