#include <gtest/gtest.h>

#include "util/PathRules.h"

using namespace loom;

TEST(PathRules, UsableAndAbsolute) {
  struct Row {
    const char16_t* path;
    bool usable;
    bool absolute;
  };
  const Row rows[] = {
      {u"C:\\Captures\\App", true, true},
      {u"c:/Captures", true, true},
      {u"C:\\", true, true},
      {u"\\\\server\\share\\proj", true, true},
      {u"\\\\server\\share", true, true},
      {u"\\\\server", true, false},
      {u"\\\\\\share", true, false},
      {u"proj", true, false},
      {u"C:proj", true, false},
      {u"\\proj", true, false},
      {u"C:", true, false},
      {u"x", true, false},
      {u"", true, false},
      {u"C:\\a\"b", false, true},
      {u"C:\\a<b", false, true},
      {u"C:\\a>b", false, true},
      {u"C:\\a|b", false, true},
      {u"C:\\a?b", false, true},
      {u"C:\\a*b", false, true},
      {u"C:\\a\tb", false, true},
      {u"C:\\a\nb", false, true},
      {u"C:\\a:b", false, true},
      {u"1:\\a", false, false},
      {u"::\\a", false, false},
      {u"C:\\\u9879\u76ee", true, true},
  };
  for (const Row& r : rows) {
    std::u16string p = r.path;
    EXPECT_EQ(IsUsablePath(p), r.usable) << std::string(p.begin(), p.end());
    EXPECT_EQ(IsAbsolutePath(p), r.absolute) << std::string(p.begin(), p.end());
    EXPECT_EQ(IsValidFolderPath(p), r.usable && r.absolute) << std::string(p.begin(), p.end());
  }
}

TEST(PathRules, NormalFormAndQuoting) {
  struct Row {
    const char16_t* in;
    const char16_t* normal;
    const char16_t* quoted;
  };
  const Row rows[] = {
      {u"C:\\Captures\\App\\", u"C:\\Captures\\App", u"\"C:\\Captures\\App\""},
      {u"C:\\Captures\\App\\/\\", u"C:\\Captures\\App", u"\"C:\\Captures\\App\""},
      {u"C:\\", u"C:\\", u"\"C:\\\\\""},
      {u"C:\\\\\\", u"C:\\", u"\"C:\\\\\""},
      {u"C:/", u"C:\\", u"\"C:\\\\\""},
      {u"C:", u"C:", u"\"C:\""},
      {u"\\\\srv\\share\\", u"\\\\srv\\share", u"\"\\\\srv\\share\""},
      {u"", u"", u"\"\""},
  };
  for (const Row& r : rows) {
    std::u16string normal = NormalFolder(r.in);
    EXPECT_EQ(normal, r.normal);
    EXPECT_EQ(QuotedPath(normal), r.quoted);
  }
}

TEST(PathRules, ProjectFolderRefusals) {
  const std::vector<std::u16string> captured = {u"C:\\Program Files\\Sample App\\", u"D:\\Data"};
  using R = ProjectFolderRefusal;
  struct Row {
    const char16_t* folder;
    R::Kind kind;
    const char16_t* inside;
  } rows[] = {
      {u"C:\\", R::kRoot, u""},
      {u"C:", R::kRoot, u""},
      {u"c:/", R::kRoot, u""},
      {u"\\\\server\\share\\", R::kRoot, u""},
      {u"\\\\server\\share\\Projects", R::kNone, u""},
      {u"C:\\Program Files\\Sample App", R::kCaptured, u"C:\\Program Files\\Sample App\\"},
      {u"c:\\program files\\sample app\\project\\", R::kCaptured, u"C:\\Program Files\\Sample App\\"},
      {u"D:/Data/Projects", R::kCaptured, u"D:\\Data"},
      {u"C:\\Program Files\\Sample App2", R::kNone, u""},  // a name that only begins alike
      {u"C:\\Projects\\Sample App", R::kNone, u""},
  };
  for (const Row& r : rows) {
    R got = RefuseProjectFolder(r.folder, captured);
    EXPECT_EQ(got.kind, r.kind) << std::string(r.folder, r.folder + std::char_traits<char16_t>::length(r.folder));
    EXPECT_EQ(got.folder, r.inside);
  }
}
