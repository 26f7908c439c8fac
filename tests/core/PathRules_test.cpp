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
