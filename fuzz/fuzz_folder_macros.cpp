// Arbitrary text through the folder macro conversions, over a table filled
// from a simulated 64-bit system. Besides not crashing:
//  - a path without "%", "#", "~" or "?" comes back from its macro form (up
//    to case; escapes included). Those characters are left out because the
//    NT form "\??\", the drive-less "C?\" form and the short forms map to the
//    same macros as the plain path, and "%"/"#" in a path read as macros and
//    escapes on the way back. Only in view 0: in view 1 the system folder
//    turns into "%SystemSystem%", which names the 32-bit system folder that a
//    redirected program sees there.
//  - a text without "%" comes back from its Package.ini escaping.
//  - registry text without "~" or "?" comes back from its macro form (up to
//    case; its own "%" and "#" are escaped), in view 0.
// The first byte chooses the options; with bit 4 set, each further byte picks
// a character from a small alphabet of path pieces, otherwise the bytes are
// UTF-16LE text.
#include <cstdint>
#include <string>

#include "macros/FolderMacros.h"
#include "macros/MemoryFolderPlatform.h"
#include "util/Text.h"

namespace {

using namespace loom;

FolderMacroTable& Table(MemoryFolderPlatform*& platform) {
  static MemoryFolderPlatform sys;
  static FolderMacroTable* table = [] {
    const std::u16string kShell = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    sys.is64Bit = true;
    sys.windowsDir = sys.systemWindowsDir = u"C:\\Windows";
    sys.systemDir = u"C:\\Windows\\System32";
    sys.wow64Dir = u"C:\\Windows\\SysWOW64";
    sys.userSid = u"S-1-5-21-9";
    sys.SetEnv(u"TEMP", u"C:\\Temp");
    sys.SetEnv(u"ProgramFiles", u"C:\\Program Files (x86)");
    sys.SetEnv(u"ProgramW6432", u"C:\\Program Files");
    sys.SetRegistry(RegistryRoot::kLocalMachine,
                    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-9", u"ProfileImagePath",
                    kRegSz, u"C:\\Users\\Ann");
    sys.SetRegistry(RegistryRoot::kCurrentUser, kShell, u"AppData", kRegExpandSz, u"%USERPROFILE%\\AppData\\Roaming");
    sys.AddPath(u"C:\\Program Files\\Common Files\\A Long Name.txt", u"C:\\PROGRA~1\\COMMON~1\\ALONGN~1.TXT");
    sys.AddPath(u"C:\\Program Files (x86)\\App One\\b", u"C:\\PROGRA~2\\APPONE~1\\b");
    sys.AddPath(u"C:\\Users\\Ann\\AppData\\Roaming\\Some Data", u"C:\\Users\\Ann\\AppData\\Roaming\\SOMEDA~1");
    auto* t = new FolderMacroTable(sys);
    t->Init();
    t->Register(u"Top", u"E:\\Top\\", kMacroToPath | kPathToMacro, kView0 | kView1);
    return t;
  }();
  platform = &sys;
  return *table;
}

constexpr char16_t kAlphabet[] =
    u"C:\\Program Files (x86)\\Common~1.TXT%#?*/Users\\Ann\\AppData\\drive_E:\\Top\\"
    u"PROGRA~1COMMON~2\u00e9\u4e2d0123456789abcdefZ.. \\??\\%AppData%%Temp~0004##";

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  MemoryFolderPlatform* sys = nullptr;
  FolderMacroTable& table = Table(sys);
  const uint8_t flags = data[0];
  sys->redirection = (flags & 1) != 0;
  MacroEscapeSet escapes;
  escapes.escapeAbove127 = (flags & 2) != 0;
  if (flags & 4) escapes.marks[data[1]] = true;
  const bool leadingOnly = (flags & 8) != 0;

  std::u16string text;
  if (flags & 16) {
    for (size_t i = 2; i < size; ++i) text += kAlphabet[data[i] % (sizeof(kAlphabet) / 2 - 1)];
  } else {
    text = FromUtf16LeBytes(data + 2, size - 2);
  }

  std::u16string macro;
  const bool changed = table.PathToMacros(text, macro, (flags & 32) ? &escapes : nullptr);
  const std::u16string back = table.Expand(macro, false);
  if (!sys->redirection && text.find_first_of(u"%#~?") == std::u16string::npos) {
    Check(EqualsNoCaseUnicode(back, text));
    Check(changed || macro == text);
  }
  table.Expand(text, leadingOnly);

  std::u16string registryText;
  table.TextToMacros(text, registryText);
  if (!sys->redirection && text.find_first_of(u"~?") == std::u16string::npos)
    Check(EqualsNoCaseUnicode(table.Expand(registryText, false), text));

  const std::u16string escaped = table.EscapeIniValue(text);
  if (text.find(u'%') == std::u16string::npos) Check(table.Expand(escaped, false) == text);
  return 0;
}
