#include <gtest/gtest.h>

#include "build/BuildPlan.h"

using namespace loom;

TEST(BuildPlan, CommandLinesCharForChar) {
  struct Case {
    int stage;
    std::u16string out, project, expected;
  } cases[] = {
      {1, u"bin", u"C:\\Projects\\App",
       u"\"C:\\Tools\\vregtool.exe\" \"bin\\Package.ro.tvr\" ImportDir \"C:\\Projects\\App\" -Loomwise"},
      {2, u"out\\x", u"C:\\Projects\\App",
       u"\"C:\\Tools\\vftool.exe\" \"out\\x\\Package.ro.tvr\" ImportDir \"C:\\Projects\\App\" -Loomwise"},
      {3, u"out\\x", u"C:\\Projects\\App",
       u"\"C:\\Tools\\tlink.exe\" \"C:\\Projects\\App\\Package.ini\" -OutDir \"out\\x\" -Loomwise"},
      // Trailing separators dropped; a drive root keeps its backslash, doubled inside quotes.
      {1, u"D:\\pkg\\", u"C:\\Projects\\App\\",
       u"\"C:\\Tools\\vregtool.exe\" \"D:\\pkg\\Package.ro.tvr\" ImportDir \"C:\\Projects\\App\" -Loomwise"},
      {3, u"D:\\", u"E:\\", u"\"C:\\Tools\\tlink.exe\" \"E:\\Package.ini\" -OutDir \"D:\\\\\" -Loomwise"},
      {2, u"x", u"E:\\", u"\"C:\\Tools\\vftool.exe\" \"x\\Package.ro.tvr\" ImportDir \"E:\\\\\" -Loomwise"},
      {3, u"", u"C:\\P", u"\"C:\\Tools\\tlink.exe\" \"C:\\P\\Package.ini\" -OutDir \"\" -Loomwise"},
      {4, u"bin", u"C:\\P", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildToolCommand(c.stage, u"C:\\Tools", c.out, c.project), c.expected);
}

TEST(BuildPlan, OutputFolderAbsoluteOrBelowTheProject) {
  struct Case {
    std::u16string outDir;
    bool absolute;
    std::u16string folder;
  } cases[] = {
      {u"bin", false, u"C:\\P\\bin"},
      {u"out\\x\\", false, u"C:\\P\\out\\x"},
      {u"D:\\pkg", true, u"D:\\pkg"},
      {u"  D:\\pkg  ", true, u"D:\\pkg"},
      {u"\\\\srv\\share\\o", true, u"\\\\srv\\share\\o"},
      {u"", false, u"C:\\P"},
      {u"x", false, u"C:\\P\\x"},
      {u"C:", false, u"C:\\P\\C:"},
      {u"C:x", false, u"C:\\P\\C:x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsAbsoluteOutDir(c.outDir), c.absolute) << std::string(c.outDir.begin(), c.outDir.end());
    EXPECT_EQ(OutputFolderPath(u"C:\\P\\", c.outDir), c.folder);
  }
}

TEST(BuildPlan, FolderLevelsSkipDriveAndShare) {
  using V = std::vector<std::u16string>;
  EXPECT_EQ(FolderLevels(u"C:\\P\\out/x"), (V{u"C:\\P", u"C:\\P\\out", u"C:\\P\\out/x"}));
  EXPECT_EQ(FolderLevels(u"C:\\"), V{});
  EXPECT_EQ(FolderLevels(u"\\\\srv\\share\\a\\b"), (V{u"\\\\srv\\share\\a", u"\\\\srv\\share\\a\\b"}));
  EXPECT_EQ(FolderLevels(u"\\\\srv\\share"), V{});
  EXPECT_EQ(FolderLevels(u"C:\\a\\\\b"), (V{u"C:\\a", u"C:\\a\\\\b"}));
}

TEST(BuildPlan, BuildScriptRewrite) {
  EXPECT_FALSE(NeedsBuildScriptRewrite(false, u"out"));
  EXPECT_FALSE(NeedsBuildScriptRewrite(true, u"BiN"));
  EXPECT_TRUE(NeedsBuildScriptRewrite(true, u"out"));
  EXPECT_TRUE(NeedsBuildScriptRewrite(true, u""));

  const std::u16string tmpl =
      u"set TARGET_DIR=\r\n\"%INSTALLDIR%\\vregtool.exe\" x\r\n\"%INSTALLDIR%\\tlink.exe\" TARGET_DIR=\r\n";
  BuildScript rel = MakeBuildScript(tmpl, u"C:\\Prog", u"out\\");
  EXPECT_TRUE(rel.targetFound);
  EXPECT_EQ(rel.text,
            u"set TARGET_DIR=%PROJECT_DIR%\\out\r\n\r\n\"C:\\Prog\\vregtool.exe\" x\r\n\"C:\\Prog\\tlink.exe\" "
            u"TARGET_DIR=\r\n");
  BuildScript abs = MakeBuildScript(u"a TARGET_DIR=rest", u"C:\\Prog", u"D:\\pkg");
  EXPECT_EQ(abs.text, u"a TARGET_DIR=D:\\pkg\r\nrest");
  BuildScript none = MakeBuildScript(u"%INSTALLDIR%\\x", u"C:\\Prog", u"out");
  EXPECT_FALSE(none.targetFound);
  EXPECT_EQ(none.text, u"C:\\Prog\\x");
}

TEST(BuildPlan, IntermediateFilesOnlyInANamedFolder) {
  EXPECT_EQ(IntermediateFiles(u""), std::vector<std::u16string>{});
  EXPECT_EQ(IntermediateFiles(u"  "), std::vector<std::u16string>{});
  EXPECT_EQ(IntermediateFiles(u"bin\\"),
            (std::vector<std::u16string>{u"bin\\Package.ro.tvr", u"bin\\Package.ro.tvr.thfd"}));
  EXPECT_EQ(IntermediateFiles(u"D:\\"),
            (std::vector<std::u16string>{u"D:\\Package.ro.tvr", u"D:\\Package.ro.tvr.thfd"}));
}
