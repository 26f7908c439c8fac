#include "build/OutputWindow.h"

#include <gtest/gtest.h>

#include <random>

#include "build/BuildOutputText.h"

using namespace loom;

namespace {

using Kind = OutputChange::Kind;

// The build page in small: the tools' text, the window over it, and a copy of
// what the control holds, checked after every change.
class Page {
 public:
  explicit Page(size_t keep = 40, size_t jump = 10) : window_(keep, jump) {}

  void Write(std::u16string_view output) { text_.Append(output); }

  Kind Refresh(size_t slice = 8) {
    OutputChange change = window_.Next(text_.Text(), text_.TakeChangedFrom(), slice);
    change.ApplyTo(shown_);
    const std::u16string& text = text_.Text();
    EXPECT_EQ(shown_, text.substr(window_.From(), window_.Length() - window_.From()));
    return change.kind;
  }
  // Refreshes until the control is up to date; the kinds of change made
  // (W whole text, S splice, P prepend).
  std::u16string CatchUp(size_t slice = 8) {
    std::u16string kinds;
    for (int i = 0; i < 10000 && (i == 0 || window_.Behind(text_.Text().size())); ++i)
      kinds += u"-WSP"[static_cast<int>(Refresh(slice))];
    EXPECT_FALSE(window_.Behind(text_.Text().size()));
    return kinds;
  }

  const std::u16string& Shown() const { return shown_; }
  const std::u16string& Text() const { return text_.Text(); }
  bool ShowsFromLineStart() const {
    size_t from = window_.From();
    return from == 0 || Text()[from - 1] == u'\n';
  }

 private:
  BuildOutputText text_;
  OutputWindow window_;
  std::u16string shown_;
};

std::u16string Lines(int first, int last) {
  std::u16string out;
  for (int i = first; i <= last; ++i) out += u"line " + std::u16string(1, char16_t(u'0' + i % 10)) + u"\n";
  return out;  // each line is 8 characters once normalised
}

}  // namespace

TEST(OutputWindow, AppendsSlicesAndRewritesTheProgressLine) {
  Page page;
  page.Write(u"build\n10%");
  EXPECT_EQ(page.CatchUp(4), u"SSS");  // "buil", "d\r\n1", "0%"
  page.Write(u"\r20%\r30%");
  EXPECT_EQ(page.Refresh(), Kind::Splice);
  EXPECT_EQ(page.Shown(), u"build\r\n30%");
  EXPECT_EQ(page.Refresh(), Kind::None);
}

TEST(OutputWindow, KeepsTheLastLinesWhileStreaming) {
  Page page;  // keeps 40: dropped once it holds more than 50
  for (int i = 0; i < 30; ++i) {
    page.Write(Lines(i, i));
    page.CatchUp(100);
    ASSERT_LE(page.Shown().size(), 50u + 8u) << i;
    ASSERT_TRUE(page.ShowsFromLineStart()) << i;
  }
  EXPECT_GE(page.Shown().size(), 40u);
  EXPECT_EQ(page.Shown(), page.Text().substr(page.Text().size() - page.Shown().size()));
}

TEST(OutputWindow, MoreThanItKeepsJumpsToTheEndThenPutsTheLinesAboveBack) {
  struct Case {
    const char* name;
    size_t slice;
  } cases[] = {{"small slices", 3}, {"one line a slice", 8}, {"large slices", 1000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Page page;
    page.Write(Lines(0, 19));  // 160 characters, the control keeps 40
    EXPECT_EQ(page.Refresh(c.slice), Kind::SetText);
    EXPECT_EQ(page.Shown(), u"line 9\r\n");  // of the last 10, what starts a line
    std::u16string kinds = page.CatchUp(c.slice);
    EXPECT_EQ(kinds, std::u16string(kinds.size(), u'P'));
    EXPECT_EQ(page.Shown(), page.Text().substr(page.Text().size() - 40));  // 5 whole lines
    // New text after the jump is appended as usual; the progress line too.
    page.Write(u"50%\r60%");
    page.CatchUp(c.slice);
    EXPECT_EQ(page.Shown(), page.Text().substr(page.Text().size() - 43));
  }
}

TEST(OutputWindow, RewriteAboveWhatTheControlHolds) {
  // One line longer than the control keeps: the jump shows its end, and a
  // carriage return that rewrites the line starts the control afresh.
  Page page;
  page.Write(u"a\n" + std::u16string(60, u'x'));
  EXPECT_EQ(page.Refresh(), Kind::SetText);
  EXPECT_EQ(page.Shown(), std::u16string(10, u'x'));
  page.Write(u"\rdone\n");
  EXPECT_EQ(page.Refresh(), Kind::SetText);
  EXPECT_EQ(page.Shown(), u"done\r\n");
  page.CatchUp();
  EXPECT_EQ(page.Shown(), u"a\r\ndone\r\n");
}

TEST(OutputWindow, AnyStreamAndAnySlicesKeepTheControlAPieceOfTheText) {
  std::mt19937 random(7);
  for (int run = 0; run < 300; ++run) {
    // Short lines or lines longer than the control keeps, rewritten often or seldom.
    const unsigned newline = run % 2 ? 3 : 60, rewrite = run % 3 ? 10 : 200;  // one character in N
    Page page(40 + random() % 40, 1 + random() % 30);
    for (int step = 0; step < 60; ++step) {
      std::u16string chunk(random() % (step % 7 == 0 ? 200 : 12), u' ');
      for (char16_t& c : chunk) {
        unsigned r = random();
        c = r % newline == 0 ? u'\n' : r / 64 % rewrite == 0 ? u'\r' : char16_t(u'a' + r % 26);
      }
      page.Write(chunk);
      page.Refresh(1 + random() % 50);  // checks the control after the change
      ASSERT_FALSE(testing::Test::HasFailure()) << "run " << run << ", step " << step;
    }
    page.CatchUp(1 + random() % 50);
    const std::u16string& text = page.Text();
    ASSERT_EQ(page.Shown(), text.substr(text.size() - page.Shown().size())) << run;
  }
}
