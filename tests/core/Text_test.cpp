#include <gtest/gtest.h>

#include "util/Text.h"

using namespace loom;

TEST(Text, UpcaseCoversLatinGreekCyrillicAndLeavesOthers) {
  EXPECT_EQ(UpcaseUnit(u'a'), u'A');
  EXPECT_EQ(UpcaseUnit(u'\u00e9'), u'\u00c9');
  EXPECT_EQ(UpcaseUnit(u'\u03b1'), u'\u0391');
  EXPECT_EQ(UpcaseUnit(u'\u0436'), u'\u0416');
  EXPECT_EQ(UpcaseUnit(u'\u0101'), u'\u0100');  // alternating Latin Extended-A run
  EXPECT_EQ(UpcaseUnit(u'\u0100'), u'\u0100');
  EXPECT_EQ(UpcaseUnit(u'\u4e2d'), u'\u4e2d');
  EXPECT_EQ(UpcaseUnit(u'\u00df'), u'\u00df');  // no one-unit upper case
  EXPECT_EQ(UpcaseUnit(char16_t(0xD800)), char16_t(0xD800));
}

TEST(Text, CaseInsensitiveComparisons) {
  EXPECT_TRUE(EqualsNoCaseUnicode(u"Stra\u00dfe \u00c9t\u00e9", u"STRA\u00dfE \u00e9T\u00c9"));
  EXPECT_FALSE(EqualsNoCaseUnicode(u"abc", u"abcd"));
  EXPECT_TRUE(EqualsNoCaseAscii(u"OutDir", u"OUTDIR"));
  EXPECT_FALSE(EqualsNoCaseAscii(u"\u00e9", u"\u00c9"));  // ASCII folding only
}

TEST(Text, Utf8RoundTripAndReplacement) {
  std::u16string s = u"A\u4e2d\u6587\U0001F600z";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s);
  EXPECT_EQ(Utf8ToUtf16("\xff"
                        "a"),
            u"\ufffd"
            u"a");
  EXPECT_EQ(Utf8ToUtf16("\xe4\xb8"), u"\ufffd\ufffd");  // truncated sequence
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xef\xbf\xbd");
  EXPECT_EQ(FromUtf16LeBytes(ToUtf16LeBytes(s).data(), s.size() * 2), s);
}

TEST(Text, TrimAndReplaceAll) {
  EXPECT_EQ(TrimView(u" \t a b \t "), u"a b");
  EXPECT_EQ(TrimView(u"\r\n a \v", kBlanks), u"\r\n a \v");
  EXPECT_EQ(TrimView(u"\r\n a \v\f", kWhiteSpace), u"a");
  EXPECT_EQ(TrimView(u"\r a \r", kBlanks, u" \r"), u"\r a");  // front and back sets apart
  EXPECT_EQ(TrimView(u" \t "), u"");
  std::u16string t = u"%X%\\%X%%X";
  ReplaceAll(t, u"%X%", u"C:\\a");
  EXPECT_EQ(t, u"C:\\a\\C:\\a%X");
  ReplaceAll(t, u"", u"y");  // nothing to look for: unchanged
  EXPECT_EQ(t, u"C:\\a\\C:\\a%X");
}
