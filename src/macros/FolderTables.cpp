#include "macros/FolderTables.h"

namespace loom {

const FolderRow kFolderTable1[22] = {
    {0x02, u"Programs", u"%USERPROFILE%\\Start Menu\\Programs"},
    {0x05, u"Personal", u"%USERPROFILE%\\My Documents"},
    {0x06, u"Favorites", u"%USERPROFILE%\\Favorites"},
    {0x07, u"Startup", u"%USERPROFILE%\\Start Menu\\Programs\\Startup"},
    {0x08, u"Recent", u"%USERPROFILE%\\Recent"},
    {0x09, u"SendTo", u"%USERPROFILE%\\SendTo"},
    {0x0b, u"StartMenu", u"%USERPROFILE%\\Start Menu"},
    {0x10, u"Desktop", u"%USERPROFILE%\\Desktop"},
    {0x13, u"NetHood", u"%USERPROFILE%\\NetHood"},
    {0x14, u"Fonts", u"%SystemRoot%\\fonts"},
    {0x15, u"Templates", u"%USERPROFILE%\\Templates"},
    {0x16, u"Common StartMenu", u"%ALLUSERSPROFILE%\\Start Menu"},
    {0x17, u"Common Programs", u"%ALLUSERSPROFILE%\\Start Menu\\Programs"},
    {0x18, u"Common Startup", u"%ALLUSERSPROFILE%\\Start Menu\\Programs\\Startup"},
    {0x19, u"Common Desktop", u"%ALLUSERSPROFILE%\\Desktop"},
    {0x1a, u"AppData", u"%APPDATA%"},
    {0x1c, u"Local AppData", u"%LOCALAPPDATA%"},
    {0x1f, u"Common Favorites", u"%ALLUSERSPROFILE%\\Favorites"},
    {0x23, u"Common AppData", u"%ALLUSERSPROFILE%\\Application Data"},
    {0x24, u"SystemRoot", u"%SystemRoot%"},
    {0x26, u"ProgramFilesDir", u"%ProgramFiles%"},
    {0x28, u"Profile", u"%USERPROFILE%"},
};

const FolderRow kFolderTable2[13] = {
    {0x1b, u"PrintHood", u"%USERPROFILE%\\PrintHood"},
    {0x20, u"Internet Cache", u"%LOCALAPPDATA%\\Temporary Internet Files"},
    {0x21, u"Cookies", u"%USERPROFILE%\\Cookie"},
    {0x22, u"History", u"%LOCALAPPDATA%\\History"},
    {0x2b, u"Program Files Common", u"%ProgramFiles%\\Common"},
    {0x2d, u"Common Templates", u"%ALLUSERSPROFILE%\\Templates"},
    {0x2e, u"Common Documents", u"%ALLUSERSPROFILE%\\Documents"},
    {0x2f, u"Common AdminTools", u"%ALLUSERSPROFILE%\\Start Menu\\Programs\\Administrative Tools"},
    {0x30, u"AdminTools", u"%USERPROFILE%\\Start Menu\\Programs\\Administrative Tools"},
    {0x38, u"Resources", u"%SystemRoot%\\Resources"},
    {0x39, u"Resources Localized", nullptr},
    {0x3b, u"CDBurn Area", u"%LOCALAPPDATA%\\Microsoft\\CD Burning"},
    {0x3e, u"Profiles", nullptr},
};

const FolderRow kFolderTable3[2] = {
    {0x26, u"ProgramFilesDir(x64)", u"%ProgramW6432%"},
    {0x29, u"SystemSystem", nullptr},
};

namespace {

constexpr uint16_t kAny = 0x0000;
constexpr uint16_t kAll = 0xFFFF;
constexpr uint32_t kNoCode = 0;

constexpr RegistryRoot CU = RegistryRoot::kCurrentUser;
constexpr RegistryRoot LM = RegistryRoot::kLocalMachine;
constexpr RegistryRoot NoRoot = RegistryRoot::kNone;

constexpr const char16_t* kExplorer = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
constexpr const char16_t* kCurrentVersion = u"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char16_t* kProfileList = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";

constexpr ResolverRow Shell(uint16_t csidl, RegistryRoot root, const char16_t* value, uint32_t code = kNoCode,
                            uint16_t lo = kAny, uint16_t hi = kAll) {
  return {csidl, root, kExplorer, value, ResolverKind::kShellFolderValue, code, lo, hi};
}
constexpr ResolverRow Version(uint16_t csidl, const char16_t* value, uint32_t code = kNoCode, uint16_t lo = kAny) {
  return {csidl, LM, kCurrentVersion, value, ResolverKind::kCurrentVersionValue, code, lo, kAll};
}
constexpr ResolverRow System(uint16_t csidl, uint16_t lo = kAny) {
  return {csidl, NoRoot, nullptr, nullptr, ResolverKind::kSystemFolder, kNoCode, lo, kAll};
}
constexpr ResolverRow Unavailable(uint16_t csidl, uint32_t code, uint16_t lo, uint16_t hi) {
  return {csidl, NoRoot, nullptr, nullptr, ResolverKind::kNone, code, lo, hi};
}

}  // namespace

constexpr ResolverRow kResolverTable[kResolverRowCount] = {
    // The current user's shell folders.
    Shell(0x14, CU, u"Fonts"),
    Shell(0x10, CU, u"Desktop"),
    Shell(0x00, CU, u"Desktop"),
    Shell(0x07, CU, u"Startup"),
    Shell(0x02, CU, u"Programs"),
    Shell(0x0b, CU, u"Start Menu"),
    Shell(0x08, CU, u"Recent"),
    Shell(0x09, CU, u"SendTo"),
    Shell(0x05, CU, u"Personal"),
    Shell(0x06, CU, u"Favorites"),
    Shell(0x13, CU, u"NetHood"),
    Shell(0x1b, CU, u"PrintHood"),
    Shell(0x15, CU, u"Templates"),
    Shell(0x1a, CU, u"AppData"),
    Shell(0x1c, CU, u"Local AppData"),
    Shell(0x20, CU, u"Cache"),
    Shell(0x21, CU, u"Cookies"),
    Shell(0x22, CU, u"History"),
    Shell(0x30, CU, u"Administrative Tools"),
    Shell(0x0d, CU, u"My Music"),
    Shell(0x0e, CU, u"My Video"),
    Shell(0x3b, CU, u"CD Burning"),
    Shell(0x1d, CU, u"AltStartup", 1, kAny, 0x502),
    Shell(0x1d, CU, u"Startup", 1, 0x600, kAll),
    Shell(0x27, CU, u"My Pictures", kNoCode, kAny, 0x501),
    Shell(0x27, CU, u"My Pictures", kNoCode, 0x600, kAll),
    // The machine's shell folders (the user's favorites stand in for the
    // common ones when those are missing).
    Shell(0x18, LM, u"Common Startup"),
    Shell(0x17, LM, u"Common Programs"),
    Shell(0x16, LM, u"Common Start Menu"),
    Shell(0x19, LM, u"Common Desktop"),
    Shell(0x1f, LM, u"Common Favorites"),
    Shell(0x1f, CU, u"Favorites"),
    Shell(0x23, LM, u"Common AppData"),
    Shell(0x2d, LM, u"Common Templates"),
    Shell(0x2e, LM, u"Common Documents"),
    Shell(0x2f, LM, u"Common Administrative Tools"),
    Shell(0x36, LM, u"CommonPictures"),
    Shell(0x35, LM, u"CommonMusic"),
    Shell(0x37, LM, u"CommonVideo"),
    Shell(0x1e, LM, u"Common AltStartup", 1, kAny, 0x502),
    Shell(0x1e, LM, u"Common Startup", 1, 0x600, kAll),
    Shell(0x3a, LM, u"OEM Links", 1, kAny, 0x502),
    // System folders and the user profile.
    System(0x25),
    System(0x29),
    System(0x24),
    System(0x38, 0x501),
    {0x28, LM, kProfileList, u"ProfileImagePath", ResolverKind::kUserProfile, kNoCode, kAny, kAll},
    // Values of the machine's CurrentVersion key.
    Version(0x2b, u"CommonFilesDir"),
    Version(0x26, u"ProgramFilesDir"),
    Version(0x2a, u"ProgramFilesDir", kResolveFail, 0x600),
    Version(0x2c, u"CommonFilesDir", kResolveFail, 0x600),
    // Folders that do not exist on the admitted versions.
    Unavailable(0x27, kResolveFileNotFound, 0x502, 0x502),
    Unavailable(0x3a, kResolveFileNotFound, 0x600, kAll),
    Unavailable(0x2a, kResolveFail, kAny, 0x502),
    Unavailable(0x2c, kResolveFail, kAny, 0x600),
    Unavailable(0x39, kResolveFileNotFound, kAny, kAll),
    Unavailable(0x3d, kResolveFail, kAny, kAll),
    Unavailable(0x01, kResolveFail, 0x600, kAll),
    Unavailable(0x03, kResolveFail, 0x600, kAll),
    Unavailable(0x04, kResolveFail, 0x600, kAll),
    Unavailable(0x0a, kResolveFail, 0x600, kAll),
    Unavailable(0x11, kResolveFail, 0x600, kAll),
    Unavailable(0x12, kResolveFail, 0x600, kAll),
    Unavailable(0x31, kResolveFail, 0x600, kAll),
};
// A missing row would leave a zero row at the end.
static_assert(kResolverTable[kResolverRowCount - 1].csidl == 0x31, "resolver table is short");

}  // namespace loom
