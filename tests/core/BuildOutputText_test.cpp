#include <gtest/gtest.h>

#include "build/BuildOutputText.h"
#include "util/Text.h"

using namespace loom;

static std::u16string Normalise(std::u16string_view output) {
  BuildOutputText text;
  text.Append(output);
  return text.Text();
}

TEST(BuildOutputText, LineFeedsAndCarriageReturns) {
  EXPECT_EQ(Normalise(u"50%\r60%\r70%\n"), u"70%\r\n");
  EXPECT_EQ(Normalise(u"a\nb"), u"a\r\nb");
  EXPECT_EQ(Normalise(u"x\r\n"), u"x\r\n");  // CR LF ends a line; the line stays
  EXPECT_EQ(Normalise(u"one\r\n3%\r4%\r\n"), u"one\r\n4%\r\n");
  EXPECT_EQ(Normalise(u"first\r\rsecond\n"), u"second\r\n");  // the first line has no earlier LF
  EXPECT_EQ(Normalise(u"keep\nabc\r\r\n"), u"keep\r\n\r\n");
  BuildOutputText text;
  text.Append(u"a\n9%\r");  // a CR at the end waits for the next character
  EXPECT_EQ(text.Text(), u"a\r\n9%");
  text.Append(u"10%");
  EXPECT_EQ(text.Text(), u"a\r\n10%");
}

TEST(BuildOutputText, SameTextWhereverTheStreamIsCut) {
  const std::string bytes = ToUtf16LeBytes(u"50%\r60%\r70%\n\u4e2d\r\nE: x\r\r\n\rtail\n\r\rz\r");
  BuildOutputText whole;
  whole.Append(bytes.data(), bytes.size());
  for (size_t a = 0; a <= bytes.size(); ++a) {
    for (size_t b = a; b <= bytes.size(); ++b) {
      BuildOutputText cut;
      for (auto [from, to] : {std::pair(size_t(0), a), {a, b}, {b, bytes.size()}})
        cut.Append(bytes.data() + from, to - from);
      ASSERT_EQ(cut.Text(), whole.Text()) << a << ", " << b;
    }
  }
}

TEST(BuildOutputText, ClosingMessageStartsOnItsOwnLine) {
  BuildOutputText text;
  text.AppendClosingMessage(u"stopped");
  EXPECT_EQ(text.Text(), u"stopped");  // nothing before it: no line end
  for (std::u16string_view output : {u"done\n", u"done", u"done\r"}) {
    text.Clear();
    text.Append(output);
    text.AppendClosingMessage(u"--\r\nok");
    EXPECT_EQ(text.Text(), u"done\r\n--\r\nok");
  }
  text.Append(u"\rX");  // the message's last line is the current line
  EXPECT_EQ(text.Text(), u"done\r\n--\r\nX");
  // An odd byte does not outlive its stream.
  text.Clear();
  text.Append("a\0b", 3);
  text.EndStream();
  text.Append("\0c\0", 3);
  EXPECT_EQ(text.Text(), u"a\u6300");
}

// A view that replaces everything from TakeChangedFrom() shows the same
// text as the output itself, however the stream is cut and rewritten.
TEST(BuildOutputText, ChangedFromKeepsAViewInStep) {
  const std::u16string stream = u"start\n10%\r20%\r30%\nline\r\rnext\r\n\ra\rbc\n";
  for (size_t step = 1; step <= stream.size(); ++step) {
    BuildOutputText text;
    std::u16string view;
    for (size_t at = 0; at < stream.size(); at += step) {
      text.Append(std::u16string_view(stream).substr(at, step));
      size_t from = text.TakeChangedFrom();
      ASSERT_LE(from, view.size());
      view = view.substr(0, from) + text.Text().substr(from);
      ASSERT_EQ(view, text.Text()) << "step " << step << " at " << at;
    }
    text.AppendClosingMessage(u"done");
    size_t from = text.TakeChangedFrom();
    EXPECT_EQ(view.substr(0, from) + text.Text().substr(from), text.Text());
  }
}
