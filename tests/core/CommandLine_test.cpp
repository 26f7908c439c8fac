#include <gtest/gtest.h>

#include "app/CommandLine.h"

using namespace loom;
using Tokens = std::vector<std::u16string>;

TEST(CommandLine, SplitsAtBlanksAndQuotes) {
  EXPECT_EQ(SplitCommandLine(u"C:\\L.exe  word \"two words\" last"),
            (Tokens{u"C:\\L.exe", u"word", u"two words", u"last"}));
  EXPECT_EQ(SplitCommandLine(u"\"C:\\Program Files\\L.exe\" \"C:\\ HKLM\" 1 "),
            (Tokens{u"C:\\Program Files\\L.exe", u"C:\\ HKLM", u"1"}));
  // No escapes: a closing quotation mark ends a token mid-word; one inside an unquoted token stays.
  EXPECT_EQ(SplitCommandLine(u"p \"a\"b c\"d \"\""), (Tokens{u"p", u"a", u"b", u"c\"d", u""}));
  EXPECT_EQ(SplitCommandLine(u"prog \"open ended  "), (Tokens{u"prog", u"open ended  "}));
  EXPECT_EQ(SplitCommandLine(u"\"C:\\only path"), (Tokens{u"C:\\only path"}));
  // The first token is always there, even when empty; a NUL ends the text.
  EXPECT_EQ(SplitCommandLine(u""), (Tokens{u""}));
  EXPECT_EQ(SplitCommandLine(u"  x"), (Tokens{u"", u"x"}));
  EXPECT_EQ(SplitCommandLine(std::u16string(u"a b\0c", 5)), (Tokens{u"a", u"b"}));
}

TEST(CommandLine, LooksAtTheFirst4095UnitsOnly) {
  EXPECT_EQ(SplitCommandLine(u"prog " + std::u16string(4090, u'x') + u"yz"),
            (Tokens{u"prog", std::u16string(4090, u'x')}));
  EXPECT_EQ(SplitCommandLine(std::u16string(4095, u' ') + u"lost"), (Tokens{u""}));
}
