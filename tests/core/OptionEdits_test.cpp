#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "IniText.h"
#include "options/OptionEdits.h"
#include "util/PackageAttributesWriter.h"
#include "util/Text.h"

using namespace loom;
using namespace loom::test;

namespace {

const char16_t kProject[] =
    u"\uFEFF[Isolation]\r\nDirectoryIsolationMode=Merged\r\n\r\n[BuildOptions]\r\n;-------- build --------\r\n"
    u"OutDir=bin\r\nInventoryName=Demo\r\n;PermittedGroups=\r\n;AccessDeniedMsg=No.\r\n"
    u";QualityReportingEnabled=0\r\n\r\n[Demo.exe]\r\nSource=C:\\Demo\\demo.exe\r\n";

}  // namespace

TEST(OptionEditsSimplePages, IsolationQualityAndSandboxWriteTheirKeys) {
  struct Case {
    const char* name;
    std::function<void(IniDocument&)> edit;
    std::u16string expected;
  };
  const Case cases[] = {
      {"merged", [](IniDocument& d) { ApplyIsolationMode(d, false); }, kProject},
      {"write-copy", [](IniDocument& d) { ApplyIsolationMode(d, true); },
       Edited(kProject, {{u"=Merged", u"=WriteCopy"}})},
      {"send", [](IniDocument& d) { ApplyQualityReporting(d, true); },
       Edited(kProject, {{u";QualityReportingEnabled=0", u"QualityReportingEnabled=1"}})},
      {"don't send", [](IniDocument& d) { ApplyQualityReporting(d, false); },
       Edited(kProject, {{u";QualityReportingEnabled=0", u"QualityReportingEnabled=0"}})},
      {"profile: nothing to remove", [](IniDocument& d) { ApplySandbox(d, kSandboxProfile, u"x"); }, kProject},
      {"no radio checked", [](IniDocument& d) { ApplySandbox(d, -1, u"x"); }, kProject},
      {"app folder", [](IniDocument& d) { ApplySandbox(d, kSandboxAppFolder, u"x"); },
       Edited(kProject, {{u"OutDir=bin", u"SandboxPath=.\r\nOutDir=bin"}})},
      {"custom", [](IniDocument& d) { ApplySandbox(d, kSandboxCustom, u"%AppData%\\Box"); },
       Edited(kProject, {{u"OutDir=bin", u"SandboxPath=%AppData%\\Box\r\nOutDir=bin"}})},
      {"custom, then profile",
       [](IniDocument& d) {
         ApplySandbox(d, kSandboxCustom, u"D:\\S");
         ApplySandbox(d, kSandboxProfile, u"");
       },
       kProject},
  };
  for (const Case& c : cases) {
    IniDocument d = Doc(kProject);
    c.edit(d);
    EXPECT_EQ(d.Text(), c.expected) << c.name;
  }
}

TEST(OptionEditsSandbox, ChoiceFromTheFileAndPathTest) {
  struct Load {
    std::u16string line;
    int choice;
    std::u16string path;
  };
  for (const Load& l : {Load{u"", kSandboxProfile, u""}, Load{u"SandboxPath=.\r\n", kSandboxAppFolder, u""},
                        Load{u"SandboxPath=./\r\n", kSandboxCustom, u"./"},
                        Load{u"SandboxPath=%AppData%\\X\r\n", kSandboxCustom, u"%AppData%\\X"}}) {
    SandboxState s = SandboxFromProject(Doc(Edited(kProject, {{u"OutDir=bin\r\n", u"OutDir=bin\r\n" + l.line}})));
    EXPECT_EQ(s.choice, l.choice) << Utf16ToUtf8(l.line);
    EXPECT_EQ(s.path, l.path);
  }
  // The custom path's characters are PathRules' IsUsablePath (tested in PathRules.UsableAndAbsolute).
}

TEST(OptionEditsGroups, ListAndKeys) {
  std::vector<std::u16string> groups;
  EXPECT_TRUE(AddGroup(groups, u"Sales"));
  EXPECT_FALSE(AddGroup(groups, u"SALES"));
  EXPECT_TRUE(AddGroup(groups, u"IT"));
  EXPECT_TRUE(AddGroup(groups, u"\u00e9quipe"));
  EXPECT_TRUE(AddGroup(groups, u"\u00c9QUIPE"));  // only ASCII letters fold
  EXPECT_EQ(JoinGroups(groups), u"Sales;IT;\u00e9quipe;\u00c9QUIPE");
  EXPECT_EQ(SplitGroups(u"Sales;;IT;"), (std::vector<std::u16string>{u"Sales", u"", u"IT", u""}));
  EXPECT_TRUE(SplitGroups(u"").empty());

  struct Case {
    const char* name;
    bool onlyGroups;
    std::vector<std::u16string> groups;
    std::u16string message, expected;
  };
  const Case cases[] = {
      {"everyone: groups commented out, message written",
       false,
       {u"Sales"},
       u"Go away.",
       Edited(kProject, {{u";AccessDeniedMsg=No.", u"AccessDeniedMsg=Go away."}})},
      {"two groups",
       true,
       {u"Sales", u"IT"},
       u"",
       Edited(kProject, {{u";PermittedGroups=", u"PermittedGroups=Sales;IT"}})},
      {"only groups, none listed", true, {}, u"m", Edited(kProject, {{u";AccessDeniedMsg=No.", u"AccessDeniedMsg=m"}})},
      // Every line end of a multi-line message becomes one blank: no stray
      // key line, and later edits still find their keys.
      {"multi-line message",
       false,
       {},
       u"Ask IT.\r\nRoom=12\rPhone 3\n\r\nBye",
       Edited(kProject, {{u";AccessDeniedMsg=No.", u"AccessDeniedMsg=Ask IT. Room=12 Phone 3  Bye"}})},
  };
  for (const Case& c : cases) {
    IniDocument d = Doc(kProject);
    ApplyAuthSettings(d, c.onlyGroups, c.groups, c.message);
    EXPECT_EQ(d.Text(), c.expected) << c.name;
    EXPECT_EQ(d.GetValue(kBuildOptions, u"OutDir"), u"bin") << c.name;
  }
}

TEST(OptionEditsPortal, UrlAndVersionRules) {
  const std::pair<std::u16string, bool> urls[] = {
      {u"http://a", true},  {u"https://portal.corp", true},
      {u"https://", false}, {u"http://", false},
      {u"HTTP://a", false}, {u"ftp://a", false},
      {u"portal", false},   {u"", false},
  };
  for (auto& [url, ok] : urls) EXPECT_EQ(IsValidOrgUrl(url), ok) << Utf16ToUtf8(url);
  EXPECT_EQ(TrimBlanks(u" \t http://a \r\n"), u"http://a");

  const std::pair<std::u16string, int32_t> versions[] = {
      {u"5", 5},
      {u"0", 0},
      {u" 12 ", 12},
      {u"+3", 3},
      {u"9999998", 9999998},
      {u"9999999", kUnreadableVersion},
      {u"2147483648", kUnreadableVersion},
      {u"99999999999999999999", kUnreadableVersion},
      {u"-1", kUnreadableVersion},
      {u"x", kUnreadableVersion},
      {u"5x", kUnreadableVersion},
      {u"5 6", kUnreadableVersion},
      {u"", kUnreadableVersion},
      {u"+", kUnreadableVersion},
  };
  for (auto& [text, v] : versions) EXPECT_EQ(ParseVersionId(text), v) << Utf16ToUtf8(text);
  EXPECT_EQ(NextVersionId(0), 2u);
  EXPECT_EQ(NextVersionId(1), 2u);
  EXPECT_EQ(NextVersionId(5), 6u);
  EXPECT_EQ(NextVersionId(9999998), 9999999u);

  const std::pair<std::u16string, bool> names[] = {
      {u"app.exe", true}, {u"a.dat", true}, {u".exe", true},  {u"APP.EXE", false},   {u"a.Dat", false},
      {u"exe", false},    {u"", false},     {u"a.ex", false}, {u"a.exe.txt", false},
  };
  for (auto& [name, ok] : names) EXPECT_EQ(IsPackageFileName(name), ok) << Utf16ToUtf8(name);
}

namespace {

// A package file carrying `attrs`, as the build's link tool writes it.
std::string PackageFile(const PackageAttributeList& attrs) { return MakePackageFile(attrs).value(); }

}  // namespace

TEST(OptionEditsPortal, BasePackageScan) {
  const std::string dir = ::testing::TempDir() + "base_pkg_";
  using Attrs = std::vector<std::pair<std::u16string, std::u16string>>;
  const Attrs primary = {
      {u"ReadOnlyData", u"Package.ro.tvr"}, {u"AppID", u"{A1}"}, {u"VersionID", u"5"}, {u"InventoryName", u"Base App"}};
  std::map<std::u16string, std::string> files = {
      {u"entry.exe", PackageFile({{u"AppID", u"{WRONG}"}})},  // no ReadOnlyData: passed over
      {u"broken.exe", "MZ too short"},
      {u"primary.dat", PackageFile(primary)},
      {u"noid.dat", PackageFile({{u"ReadOnlyData", u"x"}, {u"VersionID", u"1"}, {u"InventoryName", u"Stale"}})},
      {u"badver.exe", PackageFile({{u"ReadOnlyData", u"x"}, {u"AppID", u"{B}"}, {u"VersionID", u"9999999"}})},
      {u"nover.exe", PackageFile({{u"ReadOnlyData", u"x"}, {u"AppID", u"{C}"}})},
      {u"UPPER.EXE", PackageFile(primary)},
  };
  for (auto& [name, bytes] : files) std::ofstream(dir + Utf16ToUtf8(name), std::ios::binary) << bytes;
  std::u16string denied;  // a file the reader refuses as access denied
  PackageReader read = [&](std::u16string_view name, uint32_t* error) -> std::optional<PackageHeader> {
    if (name == denied) {
      *error = 5;
      return std::nullopt;
    }
    return ReadPackageAttributes(Utf8ToUtf16(dir) + std::u16string(name), error);
  };
  auto scan = [&](std::vector<FolderEntry> entries) { return ScanBasePackage(entries, read); };

  BaseScan s = scan({{u"sub.exe", true},
                     {u"ex", false},
                     {u"entry.exe", false},
                     {u"broken.exe", false},
                     {u"readme.txt", false},
                     {u"primary.dat", false},
                     {u"badver.exe", false}});
  EXPECT_EQ(s.appId, u"{A1}");
  EXPECT_EQ(s.inventoryName, u"Base App");
  EXPECT_EQ(s.version, 5);
  EXPECT_EQ(JudgeBaseScan(s), Refusal::None);
  BaseIdentity id = IdentityFromScan(s);
  EXPECT_EQ(id.appId, u"{A1}");
  EXPECT_EQ(id.inventoryName, u"Base App");
  EXPECT_EQ(id.newVersionId, 6u);

  struct Case {
    const char* name;
    std::vector<FolderEntry> entries;
    Refusal reason;
    int32_t version;
  };
  const Case cases[] = {
      {"only an upper-case extension", {{u"UPPER.EXE", false}}, Refusal::BaseNotManaged, 0},
      {"empty folder", {}, Refusal::BaseNotManaged, 0},
      {"primary without AppID", {{u"noid.dat", false}, {u"primary.dat", false}}, Refusal::BaseNotManaged, 1},
      {"huge VersionID", {{u"badver.exe", false}}, Refusal::BaseBadVersion, kUnreadableVersion},
      {"no VersionID", {{u"nover.exe", false}}, Refusal::None, 0},
  };
  for (const Case& c : cases) {
    BaseScan r = scan(c.entries);
    EXPECT_EQ(JudgeBaseScan(r), c.reason) << c.name;
    EXPECT_EQ(r.version, c.version) << c.name;
    // A base package that cannot be updated leaves nothing behind, not even
    // the inventory name it may carry.
    if (c.reason != Refusal::None) {
      BaseIdentity none = IdentityFromScan(r);
      EXPECT_TRUE(none.appId.empty() && none.inventoryName.empty() && none.newVersionId == 0) << c.name;
    }
  }
  denied = u"entry.exe";
  s = scan({{u"entry.exe", false}, {u"primary.dat", false}});
  EXPECT_EQ(s.error, 5u);
  EXPECT_EQ(JudgeBaseScan(s), Refusal::BaseAccessDenied);
  EXPECT_TRUE(s.appId.empty());
}

TEST(OptionEditsPortal, ProjectEdits) {
  const std::u16string block = u";-------- Corvel Meridel Portal Parameters ----------\r\n";
  const std::u16string afterBuild = u"[Demo.exe]";  // the block goes after the empty line
  struct Case {
    const char* name;
    std::u16string start;
    PortalSettings s;
    std::u16string expected;
  };
  // kProject with the portal block holding `keys`.
  auto portal = [&](const std::u16string& keys) {
    return Edited(kProject, {{afterBuild, block + keys + u"\r\n" + afterBuild}});
  };
  const std::u16string genid = u"AppID=genid\r\nNotificationDLLs=MeridelPlugin.dll\r\n";
  const std::u16string withBlock = portal(genid + u"MeridelOrgUrl=http://p\r\n");
  const Case cases[] = {
      {"new package with URL", kProject, {true, u"http://p", false, u"", 0}, withBlock},
      {"update of a base package",
       kProject,
       {true, u"", true, u"{A1}", 6},
       portal(u"AppID={A1}\r\nVersionID=6\r\nNotificationDLLs=MeridelPlugin.dll\r\n")},
      {"base update without an AppID read is a new package",
       Edited(kProject, {{u"OutDir=bin", u"OutDir=bin\r\nVersionID=4"}}),
       {true, u"", true, u"", 0},
       portal(genid)},
      {"again: values change in place", withBlock, {true, u"", false, u"", 0}, portal(genid)},
      {"off removes block and URL", withBlock, {}, kProject},
      {"off with an AppID outside the block",
       Edited(kProject, {{u"OutDir=bin", u"AppID={X}\r\nVersionID=3\r\nOutDir=bin"}}),
       {},
       Edited(kProject, {{u"OutDir=bin", u";AppID={X}\r\n;VersionID=3\r\nOutDir=bin"}})},
  };
  for (const Case& c : cases) {
    IniDocument d = Doc(c.start);
    ApplyPortalSettings(d, c.s);
    EXPECT_EQ(d.Text(), c.expected) << c.name;
    EXPECT_EQ(PortalFromProject(d).manage, c.s.manage) << c.name;
  }
  IniDocument active = Doc(Edited(kProject, {{u";PermittedGroups=", u"PermittedGroups=IT"}}));
  ApplyPortalSettings(active, {true, u"", false, u"", 0});
  EXPECT_EQ(active.GetValue(kBuildOptions, u"PermittedGroups"), u"");
  PortalEntry e = PortalFromProject(Doc(withBlock));
  EXPECT_TRUE(e.manage);
  EXPECT_EQ(e.orgUrl, u"http://p");
}

TEST(OptionEditsAppSync, PeriodsUnitsAndRules) {
  EXPECT_EQ(ToMinutes({2, u'h'}), 120u);
  EXPECT_EQ(ToMinutes({3000000, u'd'}), 4320000000ull);  // past 32 bits
  EXPECT_EQ(ToMinutes({4294967295u, u'd'}), 4294967295ull * 1440u);
  EXPECT_EQ(ToMinutes({7, u'n'}), 0u);
  EXPECT_EQ(ToMinutes({7, 0}), 0u);
  EXPECT_EQ(ParseSyncNumber(u" 30 "), 30u);
  EXPECT_EQ(ParseSyncNumber(u"4294967295"), 4294967295u);
  for (std::u16string bad : {u"", u"-1", u"4294967296", u"1.5", u"1e3", u"x"})
    EXPECT_FALSE(ParseSyncNumber(bad)) << Utf16ToUtf8(bad);
  EXPECT_EQ(SyncUnitAt(-1, true), 0);
  EXPECT_EQ(SyncUnitAt(3, false), 0);
  EXPECT_EQ(SyncUnitAt(3, true), u'n');
  EXPECT_EQ(SyncUnitIndex(u'n', false), -1);
  EXPECT_EQ(SyncUnitIndex(0, true), -1);
  EXPECT_EQ(SyncUnitIndex(u'h', true), 1);

  struct Case {
    const char* name;
    SyncPeriod expire, warning;
    std::u16string url;
    bool urlAccepted;
    Refusal reason;
  };
  const Case cases[] = {
      {"no URL", {30, u'n'}, {5, u'd'}, u"", true, Refusal::SyncUrlMissing},
      {"URL refused", {30, u'n'}, {5, u'd'}, u"ftp://x", false, Refusal::SyncUrlInvalid},
      {"2 h before 3 h", {2, u'h'}, {3, u'h'}, u"http://x", true, Refusal::SyncWarningTooLong},
      {"2 d, 48 h", {2, u'd'}, {48, u'h'}, u"http://x", true, Refusal::None},
      {"never expires", {1, u'n'}, {9, u'd'}, u"file://x", true, Refusal::None},
      {"warning never", {1, u'm'}, {9, u'n'}, u"http://x", true, Refusal::None},
      {"huge days do not wrap", {3000000, u'd'}, {4000000, u'm'}, u"http://x", true, Refusal::None},
  };
  for (const Case& c : cases) {
    AppSyncSettings s;
    s.enabled = true;
    s.url = c.url;
    s.expirePeriod = c.expire;
    s.warningPeriod = c.warning;
    EXPECT_EQ(ValidateAppSync(s, c.urlAccepted), c.reason) << c.name;
  }
  AppSyncSettings off;
  EXPECT_EQ(ValidateAppSync(off, false), Refusal::None);
}

TEST(OptionEditsAppSync, Keys) {
  const std::u16string base =
      u"\uFEFF[BuildOptions]\r\nOutDir=bin\r\n;AppSyncURL=\r\n;AppSyncUpdateFrequency=1d\r\n"
      u";AppSyncExpirePeriod=30d\r\n;AppSyncWarningPeriod=5d\r\n;AppSyncWarningFrequency=1d\r\n"
      u"AppSyncWarningMessage=w\r\nAppSyncExpireMessage=e\r\nAppSyncUpdatedMessage=u\r\n"
      u";AppSyncClearSandboxOnUpdate=0\r\n";
  auto apply = [&](const AppSyncSettings& s) {
    IniDocument d = Doc(base);
    ApplyAppSync(d, s);
    return d;
  };
  AppSyncSettings s;
  IniDocument d = apply(s);  // off: all nine commented out
  for (const char16_t* key : {u"AppSyncWarningMessage", u"AppSyncExpireMessage", u"AppSyncUpdatedMessage"})
    EXPECT_EQ(d.GetValue(kBuildOptions, key), u"");
  EXPECT_NE(d.Text().find(u";AppSyncUpdatedMessage=u"), std::u16string::npos);

  s.enabled = true;
  s.url = u"http://u";
  d = apply(s);  // the defaults
  EXPECT_EQ(d.Text(),
            u"\uFEFF[BuildOptions]\r\nOutDir=bin\r\nAppSyncURL=http://u\r\nAppSyncUpdateFrequency=1d\r\n"
            u"AppSyncExpirePeriod=never\r\n;AppSyncWarningPeriod=5d\r\n;AppSyncWarningFrequency=1d\r\n"
            u";AppSyncWarningMessage=w\r\n;AppSyncExpireMessage=e\r\nAppSyncUpdatedMessage=u\r\n"
            u"AppSyncClearSandboxOnUpdate=0\r\n");

  s.expirePeriod = {7, u'd'};
  s.warningPeriod = {0, u'n'};
  s.clearSandboxOnUpdate = true;
  d = apply(s);
  EXPECT_EQ(d.GetValue(kBuildOptions, u"AppSyncWarningPeriod"), u"never");
  EXPECT_EQ(d.GetValue(kBuildOptions, u"AppSyncExpirePeriod"), u"7d");
  EXPECT_EQ(d.GetValue(kBuildOptions, u"AppSyncWarningFrequency"), u"");
  EXPECT_EQ(d.GetValue(kBuildOptions, u"AppSyncWarningMessage"), u"");
  EXPECT_EQ(d.GetValue(kBuildOptions, u"AppSyncExpireMessage"), u"e");
  EXPECT_EQ(d.GetValue(kBuildOptions, u"AppSyncClearSandboxOnUpdate"), u"1");

  s.warningPeriod = {2, u'h'};
  s.warningFrequency = {30, u'm'};
  d = apply(s);
  EXPECT_EQ(d.GetValue(kBuildOptions, u"AppSyncWarningPeriod"), u"2h");
  EXPECT_EQ(d.GetValue(kBuildOptions, u"AppSyncWarningFrequency"), u"30m");
}

TEST(OptionEditsRedirection, BrowserNameAndListFile) {
  struct Name {
    std::u16string entry, source, shown;
  };
  for (const Name& n :
       {Name{u"Internet Explorer.exe", u"%ProgramFilesDir%\\IE\\iexplore.exe", u"iexplore.exe (Internet Explorer)"},
        Name{u"iexplore.exe", u"C:\\IE\\IEXPLORE.EXE", u"IEXPLORE.EXE"},
        Name{u"Browser", u"C:/b/run.exe", u"run.exe (Browser)"}, Name{u"x.exe", u"", u""}})
    EXPECT_EQ(BrowserDisplayName(n.entry, n.source), n.shown) << Utf16ToUtf8(n.entry);

  for (std::u16string blank : {u"", u" \r\n\t\r\n", u"\n"}) EXPECT_FALSE(RedirectFileText(u"B.exe", blank));
  EXPECT_FALSE(RedirectFileText(u"", u"www.a.com"));
  const std::pair<std::u16string, std::u16string> lists[] = {
      {u"www.a.com", u"www.a.com\r\n"},
      {u"www.a.com\r\nb.org/*.jsp\r\n", u"www.a.com\r\nb.org/*.jsp\r\n"},
      {u"a\nb\n", u"a\nb\n"},
      {u"a\r", u"a\r\r\n"},
  };
  for (auto& [list, tail] : lists) {
    std::optional<std::u16string> t = RedirectFileText(u"Fox.exe", list);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->substr(0, 3), u"\uFEFF# ");
    const std::u16string header = u"\r\n\r\n[Fox.exe]\r\n";
    size_t at = t->find(header);
    ASSERT_NE(at, std::u16string::npos);
    EXPECT_EQ(t->substr(at + header.size()), tail);
    for (size_t i = 1; i < at; i = t->find(u"\r\n", i) + 2) EXPECT_EQ((*t)[i], u'#');  // comment lines only
  }
}

TEST(OptionEditsRedirection, RoutelleKeyFollowsTheLastSave) {
  const std::u16string text =
      u"\uFEFF[BuildOptions]\r\nOutDir=bin\r\n;-- Portal --\r\nAppID=genid\r\n\r\n[App.exe]\r\nSource=a\r\n";
  IniDocument d = Doc(text);
  EXPECT_TRUE(ApplyRedirectionKey(d, u"C:\\T\\1.txt", u""));
  // Written as the profile API writes it: after the section's last line, the
  // portal block keeping its closing empty line.
  EXPECT_EQ(d.Text(),
            u"\uFEFF[BuildOptions]\r\nOutDir=bin\r\n;-- Portal --\r\nAppID=genid\r\nRoutelle=C:\\T\\1.txt\r\n"
            u"\r\n[App.exe]\r\nSource=a\r\n");
  EXPECT_TRUE(ApplyRedirectionKey(d, u"C:\\T\\2.txt", u"C:\\T\\1.txt"));
  EXPECT_EQ(d.ProfileValue(kBuildOptions, u"Routelle"), u"C:\\T\\2.txt");
  IniDocument other = d;
  EXPECT_FALSE(ApplyRedirectionKey(other, u"", u"C:\\T\\1.txt"));  // a key this run did not write stays
  EXPECT_FALSE(ApplyRedirectionKey(other, u"", u""));
  EXPECT_TRUE(ApplyRedirectionKey(d, u"", u"C:\\T\\2.txt"));
  EXPECT_EQ(d.Text(), text);
}
