// What the capture tool makes of a comparison: the exclusion list, the
// suggested project, the generation plan and the tool's command lines.
#include <gtest/gtest.h>

#include "build/BuildCommands.h"
#include "build/BuildPlan.h"
#include "project/IniDocument.h"
#include "snapshot/Exclusions.h"
#include "snapshot/GenerationPlan.h"
#include "snapshot/ProjectSuggestion.h"
#include "snapshot/RegFile.h"
#include "snapshot/ToolCommand.h"
#include "util/Text.h"

namespace loom::snap {
namespace {

std::string Narrow(std::u16string_view s) { return Utf16ToUtf8(s); }

TEST(SnapshotExclusions, PatternsLeaveOutTheirPlaces) {
  ExclusionList list;
  list.Parse(
      u"# comment\r\n; also a comment\r\n\r\n  *.snapshot  \r\n%TEMP%\r\n?:\\pagefile.sys\r\n"
      u"HKEY_USERS\\*\\Software\\Wine\\\r\nHKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet*\\Enum\r\n%UNSET%\\x\r\n",
      [](std::u16string_view line) {
        std::u16string s(line);
        size_t at = s.find(u"%TEMP%");
        if (at != std::u16string::npos) s.replace(at, 6, u"C:\\users\\me\\Temp");
        return s;
      });
  EXPECT_EQ(list.size(), 5u);  // the line with an unset variable is left out
  struct Case {
    const char16_t* path;
    bool excluded;
  } cases[] = {
      {u"C:\\users\\me\\Temp", true},
      {u"c:\\USERS\\me\\temp", true},
      {u"C:\\users\\me\\Temp2", false},
      {u"C:\\users\\me", false},
      {u"D:\\pagefile.sys", true},
      {u"D:\\x\\pagefile.sys", false},
      {u"C:\\any\\where\\{AB}.snapshot", true},
      {u"C:\\any\\snapshot", false},
      {u"HKEY_USERS\\S-1-5-21-1\\Software\\Wine", true},
      {u"HKEY_USERS\\S-1-5-21-1\\Software\\Wines", false},
      {u"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Enum", true},
      {u"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services", false},
  };
  for (const Case& c : cases) EXPECT_EQ(list.Excludes(c.path), c.excluded) << Narrow(c.path);
}

TEST(SnapshotExclusions, DefaultListCoversTheUsualNoise) {
  ExclusionList list;
  list.Parse(ExclusionList::DefaultText(), [](std::u16string_view line) {
    std::u16string s(line);
    for (auto [var, value] :
         {std::pair<std::u16string, std::u16string>{u"%TEMP%", u"C:\\Temp"}, {u"%SystemRoot%", u"C:\\Windows"}}) {
      size_t at = s.find(var);
      if (at != std::u16string::npos) s.replace(at, var.size(), value);
    }
    return s;
  });
  for (const char16_t* p :
       {u"C:\\pagefile.sys", u"C:\\hiberfil.sys", u"C:\\Temp", u"C:\\Windows\\Prefetch",
        u"C:\\x\\{6B29FC40-CA47-1067-B31D-00DD010662DA}.snapshot", u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet",
        u"C:\\Windows\\Installer", u"HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer",
        u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer",
        u"HKEY_USERS\\S-1-5-21-1\\Software\\Microsoft\\Installer", u"HKEY_USERS\\S-1-5-21-1_Classes\\Installer",
        u"HKEY_CURRENT_USER\\Software\\Corvel, Inc.\\Corvel Wrenlow\\Loomwise"})
    EXPECT_TRUE(list.Excludes(p)) << Narrow(p);
  for (const char16_t* p : {u"C:\\Program Files", u"HKEY_LOCAL_MACHINE\\Software\\Sample",
                            u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                            u"HKEY_CURRENT_USER\\Software\\Corvel, Inc.\\Corvel Wrenlow\\Other"})
    EXPECT_FALSE(list.Excludes(p)) << Narrow(p);

  // A list kept from an older version lacks the defaults added since.
  std::u16string old(ExclusionList::DefaultText());
  old.erase(old.find(u"%SystemRoot%\\Installer\r\n"), 24);
  EXPECT_EQ(ExclusionList::MissingDefaults(old), std::vector<std::u16string>{u"%SystemRoot%\\Installer"});
  std::u16string lower(ExclusionList::DefaultText());
  for (char16_t& c : lower) c = c >= u'A' && c <= u'Z' ? c + 32 : c;
  EXPECT_TRUE(ExclusionList::MissingDefaults(lower + u"C:\\mine\r\n").empty());
}

TEST(SnapshotExclusions, NameWildcards) {
  struct Case {
    const char16_t* pattern;
    const char16_t* name;
    bool match;
  } cases[] = {{u"*", u"", true},
               {u"*.sys", u"PAGEFILE.SYS", true},
               {u"a?c", u"abc", true},
               {u"a?c", u"ac", false},
               {u"a*b*c", u"aXbYbZc", true},
               {u"a*b", u"aXbY", false},
               {u"\u00E9*", u"\u00C9t\u00E9", true}};
  for (const Case& c : cases) EXPECT_EQ(MatchName(c.pattern, c.name), c.match) << Narrow(c.pattern);
}

// A small system: Program Files and the Start Menu as macros.
CaptureEnvironment TestEnvironment() {
  CaptureEnvironment env;
  env.toMacros = [](std::u16string_view path) {
    std::u16string p(path);
    for (auto [folder, macro] : {std::pair<std::u16string, std::u16string>{u"C:\\Program Files", u"%ProgramFilesDir%"},
                                 {u"C:\\ProgramData\\Start Menu\\Programs", u"%Common Programs%"},
                                 {u"C:\\Windows", u"%SystemRoot%"}}) {
      if (p.rfind(folder, 0) == 0 && (p.size() == folder.size() || p[folder.size()] == u'\\'))
        return macro + p.substr(folder.size());
    }
    return u"%drive_" + p.substr(0, 1) + u"%" + p.substr(2);
  };
  env.textToMacros = [](std::u16string_view text) {
    std::u16string t(text);
    for (size_t at; (at = t.find(u"C:\\Program Files")) != std::u16string::npos;)
      t.replace(at, 16, u"%ProgramFilesDir%");
    return t;
  };
  env.shortcutTarget = [](std::u16string_view lnk) -> std::u16string {
    if (lnk.find(u"Sample App.lnk") != std::u16string_view::npos) return u"C:\\PROGRAM FILES\\Sample App\\sample.exe";
    return {};
  };
  return env;
}

std::string Utf16Le(std::u16string_view s) { return ToUtf16LeBytes(s) + std::string(2, '\0'); }

const char16_t kUninstallKey[] =
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SampleApp";

// The sample installation as the merge reports it.
void Install(DiffVisitor& v) {
  auto file = [](std::u16string p, uint64_t size) { return Entry{EntryKind::kFile, p, 0x20, size, 1, {}, 0, {}}; };
  auto folder = [](std::u16string p) { return Entry{EntryKind::kFolder, p, kAttrDirectory, 0, 1, {}, 0, {}}; };
  auto key = [](std::u16string p) { return Entry{EntryKind::kKey, p, 0, 0, 0, {}, 0, {}}; };
  auto value = [](std::u16string k, std::u16string n, uint32_t t, std::string d) {
    return Entry{EntryKind::kValue, k, 0, 0, 0, n, t, d};
  };
  v.Added(folder(u"C:\\Program Files\\Sample App"));
  v.Added(file(u"C:\\Program Files\\Sample App\\sample.dll", 3 << 20));
  v.Added(file(u"C:\\Program Files\\Sample App\\sample.exe", 100));
  v.Added(file(u"C:\\Program Files\\Sample App\\uninstall.exe", 100));
  v.Added(file(u"C:\\ProgramData\\Start Menu\\Programs\\Sample App.lnk", 1));
  v.Changed(file(u"C:\\Windows\\win.ini", 1), file(u"C:\\Windows\\win.ini", 2));
  v.Deleted(file(u"C:\\Windows\\old.txt", 1));
  const std::u16string u = kUninstallKey;
  v.Added(key(u"HKEY_LOCAL_MACHINE\\Software\\Sample"));
  v.Added(value(u"HKEY_LOCAL_MACHINE\\Software\\Sample", u"Count", kRegDword, std::string("\x05\0\0\0", 4)));
  v.Added(value(u"HKEY_LOCAL_MACHINE\\Software\\Sample", u"Path", kRegSz, Utf16Le(u"C:\\Program Files\\\"Sample\"")));
  v.Added(key(u));
  v.Added(value(u, u"DisplayName", kRegSz, Utf16Le(u"Sample \u6837\u672C App")));  // 样本
  v.Added(value(u, u"Publisher", kRegSz, Utf16Le(u"Fernhill Labs")));
  v.Changed(value(u"HKEY_USERS\\S-1-5-21-7\\Software\\Sample", u"", kRegSz, Utf16Le(u"a")),
            value(u"HKEY_USERS\\S-1-5-21-7\\Software\\Sample", u"", kRegSz, Utf16Le(u"b")));
  v.Deleted(key(u"HKEY_LOCAL_MACHINE\\Software\\Old"));
  v.Deleted(value(u"HKEY_LOCAL_MACHINE\\Software\\Old", u"x", kRegSz, Utf16Le(u"x")));
  v.Deleted(key(u"HKEY_LOCAL_MACHINE\\Software\\Old\\Sub"));
}

IniDocument Suggest(int ieSelection, SuggestionBuilder* out = nullptr) {
  SuggestionBuilder b(TestEnvironment());
  Install(b);
  b.Finish(ieSelection);
  IniDocument doc;
  EXPECT_TRUE(doc.LoadFromBytes("\xFF\xFE" + ToUtf16LeBytes(b.Text(u"C:\\T\\A.snapshot", u"C:\\T\\B.snapshot"))));
  if (out) *out = b;
  return doc;
}

TEST(SnapshotSuggestion, ProjectNamesWhatWasInstalled) {
  IniDocument doc = Suggest(0);
  const std::u16string name = u"Sample \u6837\u672C App";
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"InventoryName"), name);
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"SuggestedName"), name);
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"SandboxName"), name);
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"OutDir"), u"bin");
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"EstimatedDataContainerSize"), u"4");  // 3 MB and a little, rounded up
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"MSIFilename"), u"");                  // commented out
  EXPECT_NE(doc.Text().find(u";MSIManufacturer=Fernhill Labs\r\n"), std::u16string::npos);
  EXPECT_EQ(doc.GetValue(u"Compression", u"CompressionType"), u"None");
  EXPECT_EQ(doc.GetValue(u"Isolation", u"DirectoryIsolationMode"), u"Merged");
  EXPECT_EQ(doc.GetValue(u"CaptureSnapshots", u"After"), u"C:\\T\\B.snapshot");
  SuggestionBuilder b(TestEnvironment());
  Suggest(0, &b);
  EXPECT_EQ(Narrow(b.Summary()),
            Narrow(u"Suggested project \"" + name +
                   u"\": 4 new and 1 changed file (3,145,931 bytes), HKEY_LOCAL_MACHINE 2 keys and 4 values, "
                   u"HKEY_USERS 0 keys and 1 value, 4 deletions, 1 entry point (1 with a Start Menu shortcut)"));
  EXPECT_EQ(doc.GetValue(u"CaptureSnapshots", u"NewFolders"), u"C:\\Program Files\\Sample App");

  // Only the outermost new folders are recorded, in the scan's depth-first order.
  SuggestionBuilder nested(TestEnvironment());
  for (const char16_t* f : {u"C:\\A", u"C:\\A\\B", u"C:\\A\\B\\C", u"C:\\AB", u"D:\\X"})
    nested.Added(Entry{EntryKind::kFolder, f, kAttrDirectory, 0, 1, {}, 0, {}});
  nested.Finish(0);
  EXPECT_NE(nested.Text(u"a", u"b").find(u"\r\nNewFolders=C:\\A|C:\\AB|D:\\X\r\n"), std::u16string::npos);
}

TEST(SnapshotSuggestion, EntryPointsFromNewExecutables) {
  struct Case {
    int ieSelection;
    std::vector<std::u16string> sections;
  } cases[] = {
      {0, {u"Sample App.exe", u"tool.exe"}},
      {1, {u"Sample App.exe", u"Internet Explorer.exe", u"tool.exe"}},
  };
  for (const Case& c : cases) {
    // Uninstallers are no entry points: by name, or named by the uninstall entry.
    SuggestionBuilder b(TestEnvironment());
    Install(b);
    for (const char16_t* f : {u"tool.exe", u"unins000.exe", u"Remove.exe"})
      b.Added(Entry{EntryKind::kFile, u"C:\\Program Files\\Sample App\\" + std::u16string(f), 0x20, 1, 1, {}, 0, {}});
    b.Added(Entry{EntryKind::kValue, kUninstallKey, 0, 0, 0, u"QuietUninstallString", kRegSz,
                  Utf16Le(u"\"C:\\PROGRAM FILES\\Sample App\\remove.exe\" /S")});
    b.Finish(c.ieSelection);
    IniDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("\xFF\xFE" + ToUtf16LeBytes(b.Text(u"A", u"B"))));
    std::vector<std::u16string> withSource;
    for (const std::u16string& s : doc.ListSections())
      if (!doc.GetValue(s, u"Source").empty()) withSource.push_back(s);
    EXPECT_EQ(withSource, c.sections);
    // The Start Menu's program: macro form, pre-selected, the primary container.
    EXPECT_EQ(doc.GetValue(u"Sample App.exe", u"Source"), u"%ProgramFilesDir%\\Sample App\\sample.exe");
    EXPECT_EQ(doc.GetValue(u"Sample App.exe", u"PreSelected"), u"1");
    EXPECT_EQ(doc.GetValue(u"Sample App.exe", u"ReadOnlyData"), u"Package.ro.tvr");
    EXPECT_EQ(doc.GetValue(u"Sample App.exe", u"Disabled"), u"");
    // Another new program: offered, not chosen.
    EXPECT_EQ(doc.GetValue(u"tool.exe", u"Shortcut"), u"Sample App.exe");
    EXPECT_EQ(doc.GetValue(u"tool.exe", u"Disabled"), u"1");
    EXPECT_EQ(doc.GetValue(u"tool.exe", u"PreSelected"), u"");
    EXPECT_EQ(doc.GetValue(u"Internet Explorer.exe", u"IsBrowser"), c.ieSelection ? u"1" : u"");
  }
}

TEST(SnapshotSuggestion, NamesWithoutUninstallEntry) {
  struct Case {
    std::vector<std::u16string> files;
    std::u16string name;
    std::vector<std::u16string> sections;
  } cases[] = {
      {{u"C:\\Program Files\\Tool Box\\a.exe", u"C:\\Program Files\\Tool Box\\sub\\a.exe"},
       u"Tool Box",
       {u"a.exe", u"a 2.exe"}},
      {{u"C:\\Tools\\[x].exe"}, u"_x_", {u"_x_.exe"}},
      {{}, u"New Application", {}},
  };
  for (const Case& c : cases) {
    SuggestionBuilder b(TestEnvironment());
    if (c.name == u"Tool Box")
      b.Added(Entry{EntryKind::kFolder, u"C:\\Program Files\\Tool Box", kAttrDirectory, 0, 0, {}, 0, {}});
    for (const auto& f : c.files) b.Added(Entry{EntryKind::kFile, f, 0x20, 1, 1, {}, 0, {}});
    b.Finish(0);
    EXPECT_EQ(b.name(), c.name);
    std::vector<std::u16string> sections;
    for (const auto& e : b.entries()) sections.push_back(e.section);
    EXPECT_EQ(sections, c.sections);
  }
}

TEST(SnapshotGeneration, PlanCopiesNewFilesUnderTheirMacros) {
  GenerationPlanner plan(TestEnvironment(), u"S-1-5-21-7");
  Install(plan);
  plan.Added(Entry{EntryKind::kFile, u"C:\\odd\\na:me", 0x20, 1, 1, {}, 0, {}});
  std::vector<std::u16string> targets;
  for (const FileCopy& c : plan.copies) targets.push_back(c.target);
  EXPECT_EQ(targets, (std::vector<std::u16string>{u"%ProgramFilesDir%\\Sample App\\sample.dll",
                                                  u"%ProgramFilesDir%\\Sample App\\sample.exe",
                                                  u"%ProgramFilesDir%\\Sample App\\uninstall.exe",
                                                  u"%Common Programs%\\Sample App.lnk", u"%SystemRoot%\\win.ini"}));
  EXPECT_EQ(plan.folders, (std::vector<std::u16string>{u"%ProgramFilesDir%\\Sample App"}));
  EXPECT_EQ(plan.skipped, (std::vector<std::u16string>{u"C:\\odd\\na:me"}));
  EXPECT_EQ(plan.newFolders, (std::vector<std::u16string>{u"C:\\Program Files\\Sample App"}));
}

TEST(SnapshotGeneration, RegistryChangesAsRegFiles) {
  GenerationPlanner plan(TestEnvironment(), u"S-1-5-21-7");
  Install(plan);
  plan.Added(Entry{EntryKind::kKey, u"HKEY_USERS\\S-1-5-21-7_Classes\\.sample", 0, 0, 0, {}, 0, {}});
  plan.Added(Entry{EntryKind::kKey, u"HKEY_USERS\\S-1-5-21-70\\Software\\Sample", 0, 0, 0, {}, 0, {}});
  plan.Deleted(
      Entry{EntryKind::kValue, u"HKEY_LOCAL_MACHINE\\Software\\Kept", 0, 0, 0, u"gone", kRegSz, Utf16Le(u"x")});
  plan.Added(Entry{EntryKind::kValue, u"HKEY_LOCAL_MACHINE\\Software\\Kept", 0, 0, 0, u"Blob", kRegBinary,
                   "C:\\Program Files"});  // binary data keeps its bytes
  std::vector<HiveText> hives = plan.HiveTexts();
  ASSERT_EQ(hives.size(), 3u);
  EXPECT_EQ(hives[0].hive, u"HKEY_CURRENT_USER");
  EXPECT_EQ(hives[1].hive, u"HKEY_LOCAL_MACHINE");
  EXPECT_EQ(hives[2].hive, u"HKEY_USERS");
  // The capturing user's hives read as HKEY_CURRENT_USER; another user's stay where they are.
  EXPECT_EQ(Narrow(hives[0].text), Narrow(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                          u"[HKEY_CURRENT_USER\\Software\\Sample]\r\n@=\"b\"\r\n\r\n"
                                          u"[HKEY_CURRENT_USER\\Software\\Classes\\.sample]\r\n\r\n"));
  EXPECT_NE(hives[2].text.find(u"\r\n[HKEY_USERS\\S-1-5-21-70\\Software\\Sample]\r\n"), std::u16string::npos);
  const std::u16string& hklm = hives[1].text;
  for (const char16_t* part :
       {u"\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Sample]\r\n\"Count\"=dword:00000005\r\n"
        u"\"Path\"=\"%ProgramFilesDir%\\\\\\\"Sample\\\"\"\r\n\r\n",
        u"\"DisplayName\"=\"Sample \u6837\u672C App\"\r\n", u"\r\n[-HKEY_LOCAL_MACHINE\\Software\\Old]\r\n\r\n",
        u"\r\n[HKEY_LOCAL_MACHINE\\Software\\Kept]\r\n\"gone\"=-\r\n\"Blob\"=hex:43,3a,5c,50,72,6f,67,72,61,6d,20,46,"
        u"69,6c,65,73\r\n"})
    EXPECT_NE(hklm.find(part), std::u16string::npos) << Narrow(part) << Narrow(hklm);
  EXPECT_EQ(hklm.find(u"Old\\Sub"), std::u16string::npos);  // inside a deleted key
}

TEST(SnapshotRegFile, ValuesInTheStandardFormat) {
  auto u16 = [](std::u16string_view s) { return ToUtf16LeBytes(s); };
  std::string longBinary;
  for (int i = 0; i < 60; ++i) longBinary += char(i);
  struct Case {
    const char16_t* name;
    uint32_t type;
    std::string data;
    std::u16string lines;
  } cases[] = {
      {u"q\"n\\", kRegSz, Utf16Le(u"C:\\a \"b\" \u4F60"), u"\"q\\\"n\\\\\"=\"C:\\\\a \\\"b\\\" \u4F60\""},
      {u"", kRegSz, Utf16Le(u""), u"@=\"\""},
      {u"n", kRegSz, u16(u"no end"), u"\"n\"=hex(1):6e,00,6f,00,20,00,65,00,6e,00,64,00"},
      {u"n", kRegSz, u16(std::u16string(u"a\0b\0", 4)), u"\"n\"=hex(1):61,00,00,00,62,00,00,00"},
      {u"n", kRegSz, Utf16Le(u"a\r\n"), u"\"n\"=hex(1):61,00,0d,00,0a,00,00,00"},
      {u"n", kRegSz, "", u"\"n\"=hex(1):"},
      {u"n", kRegDword, std::string("\x7b\0\0\x80", 4), u"\"n\"=dword:8000007b"},
      {u"n", kRegDword, "\1\2", u"\"n\"=hex(4):01,02"},
      {u"n", kRegQword, std::string("\x88\x77\x66\x55\x44\x33\x22\x11", 8), u"\"n\"=hex(b):88,77,66,55,44,33,22,11"},
      {u"n", kRegExpandSz, Utf16Le(u"%A%"), u"\"n\"=hex(2):25,00,41,00,25,00,00,00"},
      {u"n", kRegMultiSz, u16(std::u16string(u"a\0b\0\0", 5)), u"\"n\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
      {u"n", kRegBinary, std::string("\0\xff", 2), u"\"n\"=hex:00,ff"},
      {u"n", 0, "", u"\"n\"=hex(0):"},
      {u"n", 0x10000, "\xab", u"\"n\"=hex(10000):ab"},
      // 80 columns: 23 bytes after the name, then 25 a line indented by two.
      {u"n", kRegBinary, longBinary,
       u"\"n\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
       u"  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\\\r\n"
       u"  30,31,32,33,34,35,36,37,38,39,3a,3b"},
  };
  std::vector<RegRecord> records;
  for (const Case& c : cases) {
    EXPECT_EQ(Narrow(RegValueLines(c.name, c.type, c.data)), Narrow(c.lines));
    records.push_back({RegRecord::kValue, u"HKEY_LOCAL_MACHINE\\K", c.name, c.type, c.data});
  }
  records.push_back({RegRecord::kDeletedValue, u"HKEY_LOCAL_MACHINE\\K", u"gone", 0, {}});
  records.push_back({RegRecord::kDeletedKey, u"HKEY_LOCAL_MACHINE\\K\\Old", {}, 0, {}});
  records.push_back({RegRecord::kKey, u"HKEY_LOCAL_MACHINE\\K\\New", {}, 0, {}});
  records.push_back({RegRecord::kValue, u"HKEY_LOCAL_MACHINE\\K\\New", u"", kRegSz, Utf16Le(u"v")});
  // What is written reads back the same (a value's key line opens its block).
  std::vector<RegRecord> back;
  size_t bad = 0;
  ASSERT_TRUE(ParseRegFile(u"\uFEFF" + RegFileText(records), back, &bad)) << bad;
  ASSERT_EQ(back.size(), records.size() + 1);
  EXPECT_EQ(back[0].kind, RegRecord::kKey);
  for (size_t i = 0; i < records.size(); ++i) {
    const RegRecord& r = back[i + 1];
    EXPECT_EQ(r.kind, records[i].kind) << i;
    EXPECT_EQ(Narrow(r.key + u"|" + r.name), Narrow(records[i].key + u"|" + records[i].name)) << i;
    EXPECT_EQ(r.type, records[i].type) << i;
    EXPECT_EQ(r.data, records[i].data) << i;
  }
  for (const char16_t* text :
       {u"[HKEY_LOCAL_MACHINE\\K]\r\n", u"Windows Registry Editor Version 5.00\r\n\"a\"=\"b\"\r\n",
        u"Windows Registry Editor Version 5.00\r\n[K]\r\n\"a\"=hex:0g\r\n"})
    EXPECT_FALSE(ParseRegFile(text, back));
}

TEST(SnapshotRegFile, RewriteTouchesStringDataOnly) {
  auto upper = [](std::u16string_view t) {
    std::u16string s(t);
    for (char16_t& c : s) c = c >= u'a' && c <= u'z' ? c - 32 : c;
    return u"<" + s + u">";
  };
  auto u16 = [](std::u16string_view s) { return ToUtf16LeBytes(s); };
  struct Case {
    uint32_t type;
    std::string data, rewritten;
  } cases[] = {
      {kRegSz, u16(std::u16string(u"ab\0", 3)), u16(std::u16string(u"<AB>\0", 5))},
      {kRegExpandSz, u16(std::u16string(u"a\0b", 3)), u16(std::u16string(u"<A>\0<B>", 7))},  // each run, NULs kept
      {kRegMultiSz, u16(std::u16string(u"a\0\0b\0\0", 6)), u16(std::u16string(u"<A>\0\0<B>\0\0", 10))},
      {kRegSz, "abc", "abc"},  // odd length: not text
      {kRegBinary, u16(u"ab"), u16(u"ab")},
      {kRegDword, u16(u"ab"), u16(u"ab")},
      {kRegQword, u16(u"abcd"), u16(u"abcd")},
  };
  for (const Case& c : cases) EXPECT_EQ(RewriteRegistryStrings(c.type, c.data, upper), c.rewritten) << c.type;
}

TEST(SnapshotGeneration, ProjectFolderChecks) {
  // The rule is PathRules' RefuseProjectFolder; the tool words each refusal.
  const std::vector<std::u16string> captured = {u"C:\\Program Files\\Sample App"};
  EXPECT_NE(ProjectFolderProblem(u"C:\\", captured).find(u"root of a drive"), std::u16string::npos);
  EXPECT_NE(ProjectFolderProblem(u"C:\\Program Files\\Sample App\\P", captured).find(u" lies in " + captured[0]),
            std::u16string::npos);
  EXPECT_EQ(ProjectFolderProblem(u"C:\\Projects\\Sample App", captured), u"");
  for (const char16_t* p : {u"a\\b", u"%ProgramFilesDir%\\x.exe"}) EXPECT_TRUE(IsSafeRelativePath(p));
  for (const char16_t* p : {u"", u"a\\..\\b", u"\\a", u"a\\", u"C:\\a", u"a\\.", u"a\\b.", u"a|b"})
    EXPECT_FALSE(IsSafeRelativePath(p)) << Narrow(p);
}

TEST(SnapshotGeneration, PackageIniAndBuildScript) {
  SuggestionBuilder b(TestEnvironment());
  Install(b);
  b.Finish(0);
  std::u16string working = b.Text(u"A", u"B");
  std::u16string ini = PackageIniText(working);
  EXPECT_EQ(ini.find(u"CaptureSnapshots"), std::u16string::npos);
  EXPECT_EQ(ini, working.substr(0, ini.size()));  // everything before it unchanged

  std::u16string bat = BuildScriptText(u"C:\\Tools 100%\\", u"bin");
  for (const char16_t* line :
       {u"set TARGET_DIR=%PROJECT_DIR%\\bin\r\n", u"set \"TOOLS=C:\\Tools 100%%\"\r\n",
        u"if defined QUILLMARK_BIN set \"TOOLS=%QUILLMARK_BIN%\"\r\n",
        u"if not exist \"%TOOLS%\\tlink.exe\" set \"MISSING=%TOOLS%\\tlink.exe\"\r\n",
        u"del /q \"%TARGET_DIR%\\Package.ro.tvr\" \"%TARGET_DIR%\\Package.ro.tvr.thfd\" 2>nul\r\n"})
    EXPECT_NE(bat.find(line), std::u16string::npos) << Narrow(line);
  EXPECT_NE(BuildScriptText(u"T", u"D:\\out").find(u"set TARGET_DIR=D:\\out\r\n"), std::u16string::npos);
}

// build.bat runs the build page's three command lines: its tool lines, with
// the script's own folders put in for its variables, are the page's lines.
TEST(SnapshotGeneration, BuildScriptRunsTheBuildPagesCommandLines) {
  struct Case {
    std::u16string tools, outDir;
  } cases[] = {
      {u"C:\\Tools\\", u"bin"}, {u"C:\\Tools", u"D:\\out"}, {u"C:\\Tools", u" D:\\out\\ "}, {u"C:\\Tools", u"E:\\"}};
  const std::u16string project = u"C:\\Projects\\App";
  for (const Case& c : cases) {
    const std::u16string bat = BuildScriptText(c.tools, c.outDir);
    std::u16string target;
    std::vector<std::u16string> script, page;
    for (size_t at = 0, end; (end = bat.find(u"\r\n", at)) != std::u16string::npos; at = end + 2) {
      std::u16string line = bat.substr(at, end - at);
      ReplaceAll(line, u"%PROJECT_DIR%", project);
      if (line.rfind(u"set TARGET_DIR=", 0) == 0) target = line.substr(15);
      if (line.rfind(u"\"%TOOLS%\\", 0) != 0) continue;
      ReplaceAll(line, u"%TOOLS%", u"C:\\Tools");
      ReplaceAll(line, u"%TARGET_DIR%", target);
      script.push_back(line);
    }
    for (int stage = kFirstBuildStage; stage <= kLastBuildStage; ++stage)
      page.push_back(BuildToolCommand(stage, u"C:\\Tools", OutputFolderPath(project, c.outDir), project));
    EXPECT_EQ(script, page) << Narrow(c.outDir);
  }
}

TEST(SnapshotTool, CommandLines) {
  using V = std::vector<std::u16string>;
  struct Case {
    V args;
    ToolMode mode;
    V roots;
  } cases[] = {
      {{u"C:\\T\\a.snapshot", u"C:\\", u"HKEY_LOCAL_MACHINE", u"HKEY_USERS", u"-Loomwise"},
       ToolMode::kScan,
       {u"C:", u"HKEY_LOCAL_MACHINE", u"HKEY_USERS"}},
      {{u"a", u"HKEY_USERS", u"d:\\", u"C:\\", u"c:"}, ToolMode::kScan, {u"C:", u"D:", u"HKEY_USERS"}},
      {{u"a", u"C:\\Windows"}, ToolMode::kInvalid, {}},
      {{u"a"}, ToolMode::kInvalid, {}},
      {{u"-Loomwise"}, ToolMode::kInvalid, {}},
      {{u"A", u"-SuggestProject", u"B", u"P.ini", u"-IESelection", u"2", u"-Loomwise"}, ToolMode::kSuggest, {}},
      {{u"A", u"-suggestproject", u"B", u"P.ini"}, ToolMode::kSuggest, {}},
      {{u"A", u"-SuggestProject", u"B"}, ToolMode::kInvalid, {}},
      {{u"A", u"-SuggestProject", u"B", u"P", u"-IESelection", u"3"}, ToolMode::kInvalid, {}},
      {{u"P.ini", u"-GenerateProject", u"C:\\Projects\\App", u"-Loomwise"}, ToolMode::kGenerate, {}},
      {{u"P.ini", u"-GenerateProject"}, ToolMode::kInvalid, {}},
  };
  for (const Case& c : cases) {
    ToolCommand t = ParseToolCommand(c.args);
    EXPECT_EQ(t.mode, c.mode) << Narrow(c.args[0]) << " " << Narrow(c.args.size() > 1 ? c.args[1] : u"");
    EXPECT_EQ(t.roots, c.roots);
    EXPECT_EQ(t.mode == ToolMode::kInvalid, !t.error.empty());
  }
  ToolCommand s = ParseToolCommand({u"A", u"-SuggestProject", u"B", u"P.ini", u"-IESelection", u"2"});
  EXPECT_EQ(s.file + s.after + s.output, u"ABP.ini");
  EXPECT_EQ(s.ieSelection, 2);

  ProgressPace pace(100);
  std::vector<int> let;
  for (int t : {0, 50, 99, 100, 150, 250, 1000}) let.push_back(pace.Due(uint64_t(t)));
  EXPECT_EQ(let, (std::vector<int>{1, 0, 0, 1, 0, 1, 1}));
}

}  // namespace
}  // namespace loom::snap
