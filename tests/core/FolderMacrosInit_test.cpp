// Resolving folders and filling the table from a simulated system.
#include <gtest/gtest.h>

#include "macros/FolderMacros.h"
#include "macros/FolderResolver.h"
#include "macros/FolderTables.h"
#include "macros/MemoryFolderPlatform.h"

using namespace loom;

namespace {

constexpr RegistryRoot CU = RegistryRoot::kCurrentUser;
constexpr RegistryRoot LM = RegistryRoot::kLocalMachine;
const std::u16string kUserShell = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const std::u16string kShell = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::u16string kVersion = u"Software\\Microsoft\\Windows\\CurrentVersion";

// A Windows 7 machine with one user, "ann", whose process was started with
// another TEMP and no USERPROFILE.
class FolderMacrosInit : public ::testing::Test {
 protected:
  FolderMacrosInit() {
    sys.windowsDir = sys.systemWindowsDir = u"C:\\Windows";
    sys.systemDir = u"C:\\Windows\\system32";
    sys.userSid = u"S-1-5-21-7";
    sys.SetEnv(u"SystemDrive", u"C:");
    sys.SetEnv(u"TEMP", u"C:\\Inherited");
    sys.SetEnv(u"ProgramFiles", u"C:\\Program Files");
    sys.SetRegistry(LM, u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-7",
                    u"ProfileImagePath", kRegExpandSz, u"%SystemDrive%\\Users\\ann");
    sys.SetRegistry(CU, u"Environment", u"TEMP", kRegExpandSz, u"%USERPROFILE%\\AppData\\Local\\Temp");
    sys.SetRegistry(CU, kUserShell, u"AppData", kRegExpandSz, u"%USERPROFILE%\\AppData\\Roaming");
    sys.AddPath(u"C:\\Users\\ann\\AppData\\Local\\Temp", u"C:\\Users\\ann\\AppData\\Local\\Temp");
    sys.AddPath(u"C:\\Program Files\\Common Files", u"C:\\PROGRA~1\\COMMON~1");
  }
  std::u16string ToMacros(std::u16string_view path) {
    std::u16string out;
    table.PathToMacros(path, out);
    return out;
  }
  uint32_t Resolve(uint32_t csidl, uint32_t extra = 0) {
    path.clear();
    return ResolveFolder(sys, csidl, path, extra);
  }

  MemoryFolderPlatform sys;
  FolderMacroTable table{sys};
  std::u16string path;
};

}  // namespace

TEST_F(FolderMacrosInit, ResolverRegistryRules) {
  // The user-set location is preferred; one that still holds a "%" or is no
  // string is passed over for the one Explorer wrote.
  sys.SetEnv(u"USERPROFILE", u"C:\\Users\\ann");
  EXPECT_EQ(Resolve(0x1a), 0u);
  EXPECT_EQ(path, u"C:\\Users\\ann\\AppData\\Roaming");
  sys.SetRegistry(CU, kUserShell, u"Personal", kRegExpandSz, u"%NOSUCH%\\Docs");
  sys.SetRegistry(CU, kShell, u"Personal", kRegSz, u"C:\\Docs");
  EXPECT_EQ(Resolve(0x05), 0u);
  EXPECT_EQ(path, u"C:\\Docs");
  sys.SetRegistry(CU, kUserShell, u"Desktop", kRegDword, u"x");
  EXPECT_EQ(Resolve(0x10), kResolveFileNotFound);
  sys.SetRegistry(CU, kShell, u"Recent", kRegSz, std::u16string(260, u'r'));
  EXPECT_EQ(Resolve(0x08), kResolveFileNotFound);  // does not fit a path buffer
  EXPECT_EQ(ReadRegistryPath(sys, CU, kUserShell, u"Personal", 0, path), kErrorInvalidData);

  // Common favorites: the machine's first, then the user's.
  sys.SetRegistry(CU, kUserShell, u"Favorites", kRegSz, u"C:\\Fav");
  EXPECT_EQ(Resolve(0x1f), 0u);
  EXPECT_EQ(path, u"C:\\Fav");
  sys.SetRegistry(LM, kShell, u"Common Favorites", kRegSz, u"C:\\CommonFav");
  EXPECT_EQ(Resolve(0x1f), 0u);
  EXPECT_EQ(path, u"C:\\CommonFav");
}

TEST_F(FolderMacrosInit, ResolverVersionsAndFailureCodes) {
  EXPECT_EQ(Resolve(0x77), kResolveInvalidArg);
  EXPECT_EQ(Resolve(0x1d), 1u);  // row's own code
  EXPECT_EQ(Resolve(0x2a), kResolveFail);
  EXPECT_EQ(Resolve(0x39), kResolveFileNotFound);
  sys.SetRegistry(LM, kVersion, u"CommonFilesDir", kRegSz, u"C:\\CF");
  EXPECT_EQ(Resolve(0x2c), 0u);  // at 0x600 and later
  sys.version = 0x600;
  EXPECT_EQ(Resolve(0x2c), 0u);  // both rows admit 0x600; the value wins
  sys.version = 0x502;
  EXPECT_EQ(Resolve(0x2c), kResolveFail);
  EXPECT_EQ(Resolve(0x27), kResolveFileNotFound);
  EXPECT_EQ(Resolve(0x2a), kResolveFail);
  sys.version = 0x501;
  EXPECT_EQ(Resolve(0x38), 0u);
  EXPECT_EQ(path, u"C:\\Windows\\resources");
  sys.version = 0x500;
  EXPECT_EQ(Resolve(0x38), kResolveInvalidArg);

  // System folders and their stand-ins.
  sys.systemWindowsDir.clear();
  sys.windowsDir = u"D:\\Win";
  EXPECT_EQ(Resolve(0x24), 0u);
  EXPECT_EQ(path, u"D:\\Win");
  EXPECT_EQ(Resolve(0x29), 0u);
  EXPECT_EQ(path, u"C:\\Windows\\system32");  // no 32-bit system folder
  sys.wow64Dir = u"C:\\Windows\\SysWOW64";
  EXPECT_EQ(Resolve(0x29), 0u);
  EXPECT_EQ(path, u"C:\\Windows\\SysWOW64");
  sys.userSid.clear();
  EXPECT_EQ(Resolve(0x28), kResolveFileNotFound);
}

TEST_F(FolderMacrosInit, FillsFromRegistryAndFallbacksAndRestoresEnvironment) {
  sys.SetRegistry(LM, kVersion, u"CommonFilesDir", kRegSz, u"C:\\Program Files\\Common Files");
  table.Init();
  // USERPROFILE came from the profile list, TEMP from the user's settings,
  // both only for the time of filling.
  EXPECT_EQ(ToMacros(u"C:\\Users\\ann\\AppData\\Roaming\\x"), u"%AppData%\\x");
  EXPECT_EQ(ToMacros(u"C:\\Users\\ann\\Desktop"), u"%Desktop%");  // by the fallback
  EXPECT_EQ(ToMacros(u"C:\\Users\\ann\\AppData\\Local\\Temp\\t"), u"%Temp%\\t");
  EXPECT_EQ(ToMacros(u"C:\\Users\\ann\\Other"), u"%Profile%\\Other");
  std::u16string v;
  EXPECT_TRUE(sys.GetEnvironment(u"TEMP", v));
  EXPECT_EQ(v, u"C:\\Inherited");
  EXPECT_FALSE(sys.GetEnvironment(u"USERPROFILE", v));

  // No ProgramFilesDir value: the fallback %ProgramFiles% stands in, and
  // its short form gets the "~" macro.
  EXPECT_EQ(table.Expand(u"%ProgramFilesDir%\\a", false), u"C:\\Program Files\\a");
  EXPECT_EQ(ToMacros(u"C:\\PROGRA~1\\x"), u"%ProgramFilesDir~0000\\x");
  EXPECT_EQ(ToMacros(u"C:\\PROGRA~1\\COMMON~1"), u"%Program Files Common~0000");
  // A fallback naming an unset variable gives no macro at all.
  EXPECT_EQ(table.Expand(u"%Local AppData%", false), u"%Local AppData%");
  EXPECT_EQ(table.Expand(u"%SystemSystem%", false), u"C:\\Windows\\system32");

  // A second call does nothing.
  sys.SetRegistry(CU, kUserShell, u"AppData", kRegSz, u"E:\\Roam");
  table.Init();
  EXPECT_EQ(table.Expand(u"%AppData%", false), u"C:\\Users\\ann\\AppData\\Roaming");
}

TEST_F(FolderMacrosInit, SixtyFourBitViews) {
  sys.is64Bit = true;
  sys.wow64Dir = u"C:\\Windows\\SysWOW64";
  sys.SetRegistry(LM, kVersion, u"ProgramFilesDir", kRegSz, u"C:\\Program Files (x86)");
  sys.SetRegistry(LM, kVersion, u"ProgramFilesDir", kRegSz, u"C:\\Program Files", true);
  table.Init();
  const std::u16string sys32 = u"C:\\Windows\\system32", wow = u"C:\\Windows\\SysWOW64";
  auto expand = [&](std::u16string_view t) { return table.Expand(t, false); };

  EXPECT_EQ(expand(u"%ProgramFilesDir%"), u"C:\\Program Files (x86)");
  EXPECT_EQ(expand(u"%ProgramFilesDir(x64)%"), u"C:\\Program Files");
  for (bool redirected : {false, true}) {
    sys.redirection = redirected;
    SCOPED_TRACE(redirected);
    EXPECT_EQ(expand(u"%SystemSystem%"), wow);
    EXPECT_EQ(expand(u"%SystemSystem(x64)%"), sys32);
    EXPECT_EQ(ToMacros(wow + u"\\a"), u"%SystemSystem%\\a");
    EXPECT_EQ(ToMacros(sys32 + u"\\a"), redirected ? u"%SystemSystem%\\a" : u"%SystemSystem(x64)%\\a");
  }
}

#ifndef _WIN32
TEST_F(FolderMacrosInit, ProcessWideTableUsesTheInstalledPlatform) {
  SetFolderPlatform(&sys);
  InitFolderMacros();
  EXPECT_EQ(ExpandFolderMacros(u"%AppData%\\#41", false), u"C:\\Users\\ann\\AppData\\Roaming\\A");
  std::u16string out;
  EXPECT_TRUE(PathToFolderMacros(u"C:\\Windows\\x", out));
  EXPECT_EQ(out, u"%SystemRoot%\\x");
  EXPECT_EQ(EscapeIniValue(u"%SystemRoot%\\#"), u"%SystemRoot%\\#23");
  EXPECT_EQ(ResolveFolder(0x25, out, 0), 0u);
  SetFolderPlatform(nullptr);
  EXPECT_EQ(ExpandFolderMacros(u"%AppData%", false), u"%AppData%");
}
#endif
