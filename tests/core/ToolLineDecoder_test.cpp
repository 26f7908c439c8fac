#include <gtest/gtest.h>

#include "capture/ToolLineDecoder.h"
#include "util/Text.h"

using namespace loom;

namespace {

using Lines = std::vector<std::pair<ToolLineKind, std::u16string>>;
const auto I = ToolLineKind::Info, W = ToolLineKind::Warning, E = ToolLineKind::Error;

ToolLineDecoder Collect(Lines& lines) {
  return ToolLineDecoder([&lines](ToolLineKind kind, const char16_t* text, size_t length) {
    EXPECT_EQ(text[length], u'\0');
    lines.emplace_back(kind, std::u16string(text, length));
  });
}

// The lines of `bytes` fed in chunks cut at the given ascending offsets, then finished.
Lines Decode(const std::string& bytes, std::vector<size_t> cuts = {}) {
  Lines lines;
  ToolLineDecoder decoder = Collect(lines);
  size_t at = 0;
  cuts.push_back(bytes.size());
  for (size_t cut : cuts) {
    decoder.Feed(bytes.data() + at, cut - at);
    at = cut;
  }
  decoder.Finish();
  return lines;
}

}  // namespace

TEST(ToolLineDecoder, ClassifiesLinesByPrefix) {
  EXPECT_EQ(Decode(ToUtf16LeBytes(u"I scanning\r\nW locked file\r\nC:\\x.dll\r\n")),
            (Lines{{I, u"scanning"}, {W, u"locked file"}, {W, u"C:\\x.dll"}}));
  // Empty lines are never sent; a bare prefix sends an empty text; CR, LF and
  // CR LF each end a line; the first kind is info; "X " and "I" are no prefixes.
  EXPECT_EQ(Decode(ToUtf16LeBytes(u"\r\n\nplain\rE \n\r\nX y\nI\n")),
            (Lines{{I, u"plain"}, {E, u""}, {E, u"X y"}, {E, u"I"}}));
}

TEST(ToolLineDecoder, SameLinesWhereverTheStreamIsCut) {
  const std::string stream = ToUtf16LeBytes(u"I one\r\nW two\r\r\n\u4e2d\u6587 three\nE four\rE last");
  const Lines whole = Decode(stream);
  ASSERT_EQ(whole.size(), 5u);
  EXPECT_EQ(whole.back(), std::make_pair(E, std::u16string(u"last")));  // unterminated, still delivered
  for (size_t a = 0; a <= stream.size(); ++a) {
    for (size_t b = a; b <= stream.size(); ++b) ASSERT_EQ(Decode(stream, {a, b}), whole) << a << ", " << b;
  }
}

TEST(ToolLineDecoder, FinishEndsTheStream) {
  Lines lines;
  ToolLineDecoder decoder = Collect(lines);
  std::string first = ToUtf16LeBytes(u"E failed") + "x", second = ToUtf16LeBytes(u"next\n");
  decoder.Feed(first.data(), first.size());
  EXPECT_TRUE(lines.empty());  // a line is sent only once complete
  decoder.Finish();            // the odd byte is dropped, the kind starts again at info
  decoder.Feed(second.data(), second.size());
  EXPECT_EQ(lines, (Lines{{E, u"failed"}, {I, u"next"}}));
}
