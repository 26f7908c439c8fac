#include <gtest/gtest.h>

#include "wizard/Resume.h"

using namespace loom;

TEST(Resume, ValueForms) {
  EXPECT_EQ(ResumeValueAfterPrescan(u"C:\\W\\Loomwise.exe", u"C:\\T\\{A}.snapshot", u"C:\\ HKEY_USERS", 1),
            u"\"C:\\W\\Loomwise.exe\" \"C:\\T\\{A}.snapshot\" \"C:\\ HKEY_USERS\" 1");
  EXPECT_EQ(ResumeValueAfterPostscan(u"L.exe", u"a", u"b", u"D:\\", 2), u"\"L.exe\" \"a\" \"b\" \"D:\\\" 2");
  // A received command line keeps everything after its first token.
  EXPECT_EQ(ResumeValueFromCommandLine(u"N.exe", u"\"C:\\old\\L.exe\" \"a\" \"b\" 0"), u"\"N.exe\" \"a\" \"b\" 0");
  EXPECT_EQ(ResumeValueFromCommandLine(u"N.exe", u"L.exe x y"), u"\"N.exe\" x y");
  EXPECT_EQ(ResumeValueFromCommandLine(u"N.exe", u"L.exe"), u"\"N.exe\"");
  EXPECT_EQ(ResumeValueFromCommandLine(u"N.exe", u"\"unterminated"), u"\"N.exe\"");
}

TEST(Resume, ArgumentsWithFourAndFiveTokens) {
  ResumeArguments a;
  ASSERT_TRUE(ParseResumeArguments({u"L.exe", u"C:\\pre", u"C:\\ HKEY_LOCAL_MACHINE", u"2"}, a));
  EXPECT_FALSE(a.withPostscan);
  EXPECT_EQ(a.prescan, u"C:\\pre");
  EXPECT_EQ(a.scanLocations, u"C:\\ HKEY_LOCAL_MACHINE");
  EXPECT_EQ(a.ieSelection, 2);

  ASSERT_TRUE(ParseResumeArguments({u"L.exe", u"p", u"q", u"HKEY_CURRENT_USER d:\\", u"7"}, a));
  EXPECT_TRUE(a.withPostscan);
  EXPECT_EQ(a.postscan, u"q");
  EXPECT_EQ(a.ieSelection, -1) << "a selection other than 0, 1, 2 is ignored";

  EXPECT_FALSE(ParseResumeArguments({u"L.exe", u"p", u"C:\\"}, a));
  EXPECT_FALSE(ParseResumeArguments({u"L.exe", u"p", u"q", u"r", u"C:\\", u"0"}, a));
}

TEST(Resume, ScanLocationsOnlyRootsAndHives) {
  EXPECT_TRUE(IsValidScanLocations(u"C:\\ HKEY_LOCAL_MACHINE HKEY_USERS"));
  EXPECT_TRUE(IsValidScanLocations(u"Z:\\"));
  EXPECT_FALSE(IsValidScanLocations(u""));
  EXPECT_FALSE(IsValidScanLocations(u"C:\\ -GenerateProject"));  // no stray switch reaches the tool
  EXPECT_FALSE(IsValidScanLocations(u"C:\\Windows"));
  EXPECT_FALSE(IsValidScanLocations(u"C:\\  HKEY_USERS"));
  EXPECT_FALSE(IsValidScanLocations(u"C:\\ "));
  EXPECT_FALSE(IsValidScanLocations(u"HKEY_CLASSES_ROOT"));
  ResumeArguments a;
  EXPECT_FALSE(ParseResumeArguments({u"L.exe", u"p", u"C:\\ \" -x", u"0"}, a));
}

TEST(Resume, FileNamePart) {
  EXPECT_EQ(FileNamePart(u"C:\\T\\{A}.snapshot"), u"{A}.snapshot");
  EXPECT_EQ(FileNamePart(u"C:x"), u"x");
  EXPECT_EQ(FileNamePart(u"a/b"), u"b");
  EXPECT_EQ(FileNamePart(u"plain"), u"plain");
}
