// The macro maps and the conversions, on folders registered directly.
#include <gtest/gtest.h>

#include "macros/FolderMacros.h"
#include "macros/MemoryFolderPlatform.h"
#include "macros/TernaryMap.h"
#include "util/Text.h"

using namespace loom;

namespace {

struct ExactCase : KeyUpcaser {
  char16_t Upcase(char16_t c) const override { return c; }
};

class FolderMacrosTable : public ::testing::Test {
 protected:
  FolderMacrosTable() {
    sys.AddPath(u"C:\\Program Files\\My App\\Read Me.txt", u"C:\\PROGRA~1\\MYAPP~1\\README~1.TXT");
    sys.AddPath(u"C:\\Program Files\\My App\\LongFileName");
    sys.AddPath(u"C:\\Windows");
    table.Register(u"ProgramFilesDir", u"C:\\Program Files", 3, 3);
    table.Register(u"SystemRoot", u"C:\\Windows", 3, 3);
    table.Register(u"AppData", u"C:\\Users\\ann\\AppData\\Roaming", 3, 3);
  }
  std::u16string ToMacros(std::u16string_view path, const MacroEscapeSet* escapes = nullptr) {
    std::u16string out;
    changed = table.PathToMacros(path, out, escapes);
    return out;
  }
  std::u16string Expand(std::u16string_view text, bool leadingOnly = false) { return table.Expand(text, leadingOnly); }

  MemoryFolderPlatform sys;
  FolderMacroTable table{sys};
  bool changed = false;
};

}  // namespace

TEST(FolderMacrosTernaryMap, LongestPrefixCaseInsensitiveLastWins) {
  MemoryFolderPlatform up;
  TernaryMap map;
  ASSERT_TRUE(map.Insert(u"C:\\A", u"%A%", u"", up));
  ASSERT_TRUE(map.Insert(u"c:\\a\\b", u"%B%", u"long", up));
  auto m = map.FindLongest(u"C:\\A\\B\\file", up);
  EXPECT_EQ(m.length, 6u);
  EXPECT_EQ(*m.value, u"%B%");
  EXPECT_EQ(*m.companion, u"long");
  EXPECT_EQ(map.FindLongest(u"C:\\A\\", up).length, 4u);
  EXPECT_EQ(map.FindLongest(u"C:\\", up).length, 0u);  // a prefix of a key is no match

  const size_t nodes = map.NodeCount();
  ASSERT_TRUE(map.Insert(u"C:\\a", u"%Z%", u"", up));
  EXPECT_EQ(*map.FindLongest(u"c:\\a", up).value, u"%Z%");
  EXPECT_EQ(map.NodeCount(), nodes);
  EXPECT_EQ(map.ValueCount(), 2u);
  EXPECT_FALSE(map.Insert(u"", u"x", u"", up));
}

TEST(FolderMacrosTernaryMap, RefusesToGrowPastSixteenBitIndices) {
  ExactCase up;
  TernaryMap map;
  EXPECT_FALSE(map.Insert(std::u16string(65536, u'a'), u"v", u"", up));
  EXPECT_EQ(map.NodeCount(), 0u);

  ASSERT_TRUE(map.Insert(std::u16string(65534, u'a'), u"v", u"", up));
  EXPECT_FALSE(map.Insert(u"bc", u"w", u"", up));  // needs two nodes, one is left
  EXPECT_EQ(map.NodeCount(), 65534u);
  EXPECT_EQ(map.FindLongest(u"b", up).length, 0u);
  ASSERT_TRUE(map.Insert(u"b", u"w", u"", up));
  EXPECT_EQ(map.NodeCount(), 65535u);
  EXPECT_FALSE(map.Insert(u"c", u"x", u"", up));
  EXPECT_TRUE(map.Insert(u"aa", u"x", u"", up));  // existing nodes take a value
  EXPECT_EQ(*map.FindLongest(u"aaa", up).value, u"x");
  EXPECT_EQ(*map.FindLongest(std::u16string(65534, u'a'), up).value, u"v");
}

TEST_F(FolderMacrosTable, LongFormsBothWaysAndTheLastRegistrationWins) {
  EXPECT_EQ(ToMacros(u"c:\\program files\\x"), u"%ProgramFilesDir%\\x");
  EXPECT_TRUE(changed);
  EXPECT_EQ(Expand(u"%programfilesdir%\\x"), u"C:\\Program Files\\x");
  EXPECT_EQ(ToMacros(u"\\??\\C:\\Windows\\a"), u"%SystemRoot%\\a");  // NT form
  EXPECT_EQ(ToMacros(u"C?\\Windows"), u"%?SystemRoot%");
  EXPECT_EQ(Expand(u"%?SystemRoot%"), u"C?\\Windows");

  table.Register(u"Personal", u"C:\\Users\\ann", 3, 3);
  table.Register(u"Profile", u"C:\\Users\\ann", 3, 3);
  EXPECT_EQ(ToMacros(u"C:\\Users\\ann\\doc"), u"%Profile%\\doc");
  table.Register(u"Personal", u"C:\\Users\\ann", 3, 3);
  EXPECT_EQ(ToMacros(u"C:\\Users\\ann\\doc"), u"%Personal%\\doc");
  EXPECT_EQ(Expand(u"%Profile%|%Personal%"), u"C:\\Users\\ann|C:\\Users\\ann");

  EXPECT_FALSE(table.Register(u"Empty", u"", 3, 3));
  EXPECT_EQ(Expand(u"%Empty%\\x"), u"%Empty%\\x");
}

TEST_F(FolderMacrosTable, DirectionsViewsAndTrailingBackslash) {
  table.Register(u"OnlyOut", u"D:\\Out", kMacroToPath, kView1);
  EXPECT_EQ(ToMacros(u"D:\\Out\\x"), u"%drive_D%\\Out\\x");
  EXPECT_EQ(Expand(u"%OnlyOut%"), u"%OnlyOut%");  // view 0 is in use
  sys.is64Bit = sys.redirection = true;
  EXPECT_EQ(Expand(u"%OnlyOut%"), u"D:\\Out");
  sys.redirection = false;

  // A folder ending in "\" keeps the "\" in the path and skips it again.
  table.Register(u"Top", u"E:\\Top\\", 3, 1);
  EXPECT_EQ(ToMacros(u"E:\\Top\\x"), u"%Top%\\x");
  EXPECT_EQ(Expand(u"%Top%\\x"), u"E:\\Top\\x");
  EXPECT_EQ(ToMacros(u"E:\\Top\\"), u"%Top%");
  // A key that is a lone "\" must not stall the walk.
  table.Register(u"Slash", u"\\", 2, 1);
  EXPECT_EQ(ToMacros(u"a\\b"), u"a%Slash%b");
}

TEST_F(FolderMacrosTable, DriveLetterFormAndEscapes) {
  EXPECT_EQ(ToMacros(u"D:\\Data"), u"%drive_D%\\Data");
  EXPECT_TRUE(changed);
  EXPECT_EQ(ToMacros(u"\\??\\d:\\Data"), u"%drive_d%\\Data");
  EXPECT_EQ(ToMacros(u"\\\\srv\\share"), u"\\\\srv\\share");
  EXPECT_FALSE(changed);
  EXPECT_EQ(Expand(u"%drive_D%\\Data|%DRIVE_e%"), u"D:\\Data|e:");
  EXPECT_EQ(Expand(u"%drive_D"), u"%drive_D");  // fewer than nine characters

  MacroEscapeSet set;
  set.escapeAbove127 = true;
  set.marks[u'%'] = true;
  EXPECT_EQ(ToMacros(u"D:\\\u00e9\u4e2d%", &set), u"D:\\#e9##4e2d#25");  // escaped: no drive form
  EXPECT_TRUE(changed);
  EXPECT_EQ(Expand(u"D:\\#e9##4E2D#25#zz##12"), u"D:\\\u00e9\u4e2d%#zz#\u0012");
}

TEST_F(FolderMacrosTable, LeadingOnlyExpansion) {
  EXPECT_EQ(Expand(u"%AppData%\\#41%SystemRoot%", true), u"C:\\Users\\ann\\AppData\\Roaming\\#41%SystemRoot%");
  EXPECT_EQ(Expand(u"x%AppData%#41", true), u"x%AppData%#41");
  EXPECT_EQ(Expand(u"%drive_Q%\\%drive_R%", true), u"Q:\\%drive_R%");
  EXPECT_EQ(Expand(u"x%AppData%#41"), u"xC:\\Users\\ann\\AppData\\RoamingA");
}

TEST_F(FolderMacrosTable, EscapeIniValueKeepsWholeMacrosOnly) {
  EXPECT_EQ(table.EscapeIniValue(u"100%"), u"100#25");
  EXPECT_EQ(table.EscapeIniValue(u"%AppData%\\a#b"), u"%AppData%\\a#23b");
  EXPECT_EQ(table.EscapeIniValue(u"%AppData%"), u"%AppData%");
  EXPECT_EQ(table.EscapeIniValue(u"%AppData%x\\y"), u"#25AppData#25x\\y");
  EXPECT_EQ(table.EscapeIniValue(u"a\\%Nope%"), u"a\\#25Nope#25");
  EXPECT_EQ(table.EscapeIniValue(u"\u00e9%"), u"\u00e9#25");
}

TEST_F(FolderMacrosTable, ShortFormRegisteredOnlyWhenItDiffers) {
  // "C:\Windows" is its own short form: only "%SystemRoot~" -> the path.
  EXPECT_EQ(ToMacros(u"C:\\WINDOWS\\x"), u"%SystemRoot%\\x");
  EXPECT_EQ(Expand(u"%SystemRoot~0000"), u"C:\\Windows");
  // The Program Files folder has a short form, hence "%ProgramFilesDir~".
  EXPECT_EQ(ToMacros(u"C:\\PROGRA~1"), u"%ProgramFilesDir~0000");
  EXPECT_EQ(Expand(u"%ProgramFilesDir~0000"), u"C:\\PROGRA~1");
}

TEST_F(FolderMacrosTable, ShortNameFormsWriteAndRead) {
  // Every component consumed; the last short one ends the counted part.
  const std::u16string full = u"C:\\PROGRA~1\\MYAPP~1\\README~1.TXT";
  EXPECT_EQ(ToMacros(full), u"%ProgramFilesDir~0013\\My App\\Read Me.txt");
  EXPECT_EQ(Expand(ToMacros(full)), full);

  // A long name after the last short one stays long.
  EXPECT_EQ(ToMacros(u"C:\\PROGRA~1\\MYAPP~1\\LongFileName"), u"%ProgramFilesDir~0007\\My App\\LongFileName");
  EXPECT_EQ(Expand(u"%ProgramFilesDir~0007\\My App\\LongFileName"), u"C:\\PROGRA~1\\MYAPP~1\\LongFileName");

  // No long form (the space ends the consumed text): nothing after the
  // folder is lost.
  const std::u16string missing = u"C:\\PROGRA~1\\MYAPP~1\\New Folder\\a";
  EXPECT_EQ(ToMacros(missing), u"%ProgramFilesDir~0000\\MYAPP~1\\New Folder\\a");
  EXPECT_EQ(Expand(ToMacros(missing)), missing);

  // Reading: a count past the end is cut; no count reads none; a folder
  // without a short form gives the joined long text.
  EXPECT_EQ(Expand(u"%ProgramFilesDir~00ff\\My App"), u"C:\\PROGRA~1\\MYAPP~1");
  EXPECT_EQ(Expand(u"%ProgramFilesDir~\\x"), u"C:\\PROGRA~1\\x");
  EXPECT_EQ(Expand(u"%AppData~0002\\q"), u"C:\\Users\\ann\\AppData\\Roaming\\q");
}

TEST_F(FolderMacrosTable, ShortNamePatternForm) {
  std::u16string pattern;
  EXPECT_TRUE(MakeShortNamePattern(u"C:\\PROGRA~1\\ABC~12.TXT", pattern));
  EXPECT_EQ(pattern, u"C:\\PROGRA~*\\ABC~*.TXT");
  EXPECT_FALSE(MakeShortNamePattern(u"C:\\PROGR~WQ\\A~B", pattern));

  EXPECT_EQ(ToMacros(u"C:\\PROGRA~*/MYAPP~1"), u"%ProgramFilesDir*0007\\My App");
  EXPECT_EQ(Expand(u"%ProgramFilesDir*0007\\My App"), u"C:\\PROGRA~*\\MYAPP~*");
}

TEST_F(FolderMacrosTable, PathsInsideRegistryTextTakeMacros) {
  struct Case {
    const char16_t* text;
    const char16_t* macros;
  } cases[] = {
      {u"C:\\Program Files\\X\\x.exe", u"%ProgramFilesDir%\\X\\x.exe"},                          // alone
      {u"C:\\Program Files", u"%ProgramFilesDir%"},                                              // the folder itself
      {u"\"C:\\Program Files\\X\\x.exe\" \"%1\"", u"\"%ProgramFilesDir%\\X\\x.exe\" \"#251\""},  // quoted
      {u"rundll32.exe C:\\Windows\\x.dll,Run", u"rundll32.exe %SystemRoot%\\x.dll,Run"},         // after a command
      {u"C:\\Windows\\a;C:\\Program Files\\b;D:\\c", u"%SystemRoot%\\a;%ProgramFilesDir%\\b;D:\\c"},  // several
      {u"/dir=C:\\Windows", u"/dir=%SystemRoot%"},
      {u"@C:\\Windows\\x.dll,-101", u"@%SystemRoot%\\x.dll,-101"},
      {u"C:\\Program Filesystem\\x", u"C:\\Program Filesystem\\x"},  // whole folder names only
      {u"XC:\\Windows", u"XC:\\Windows"},                            // inside another name
      {u"C:\\PROGRA~1\\MYAPP~1\\README~1.TXT", u"%ProgramFilesDir~0013\\My App\\Read Me.txt"},  // 8.3 form
      {u"%TEMP%\\#1 x", u"#25TEMP#25\\#231 x"},  // the text's own "%" and "#"
      {u"D:\\Data", u"D:\\Data"},                // no folder: no drive macro either
      {u"", u""},
  };
  for (const Case& c : cases) {
    std::u16string out;
    table.TextToMacros(c.text, out);
    EXPECT_EQ(out, c.macros) << loom::Utf16ToUtf8(c.text);
    EXPECT_EQ(Expand(out), c.text) << loom::Utf16ToUtf8(c.text);
  }
}
