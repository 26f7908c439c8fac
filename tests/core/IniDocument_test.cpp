#include <gtest/gtest.h>

#include <filesystem>

#include "IniText.h"
#include "project/IniDocument.h"
#include "util/FileIo.h"
#include "util/Text.h"

using namespace loom;
using namespace loom::test;

namespace {

// Runs an edit that must fail and checks that it left the text alone.
template <class Edit>
void ExpectRefused(std::u16string_view text, Edit edit) {
  IniDocument d = Doc(text);
  EXPECT_FALSE(edit(d));
  EXPECT_EQ(d.Text(), text);
}

}  // namespace

TEST(IniDocumentSections, FoundFromIndexOneWithUnicodeCaseAndAfterEmptySections) {
  // Without a byte-order mark the first character is never examined.
  EXPECT_EQ(Doc(u"[A]\r\nk=1\r\n[B]\r\n").ListSections(), std::vector<std::u16string>{u"B"});
  EXPECT_EQ(Doc(u"[A]\r\nk=1\r\n").GetValue(u"A", u"k"), u"");
  IniDocument d =
      Doc(u"\uFEFF[\u00c9t\u00e9] x\r\n[E]\r\n[C]\r\n;c\r\n# [X]\r\n  [ B]\r\n[T]\r\nk=v\r\n[t]\r\nk=w\r\n[L");
  EXPECT_EQ(d.ListSections(), (std::vector<std::u16string>{u"\u00c9t\u00e9", u"E", u"C", u" B", u"T", u"t", u"L"}));
  EXPECT_EQ(d.GetValue(u"t", u"k"), u"v");  // the first section of a name wins
  EXPECT_TRUE(d.RenameSection(u"\u00c9T\u00c9", u"N"));
  EXPECT_FALSE(d.RenameSection(u"B", u"x"));  // " B" is another name
  EXPECT_TRUE(d.DeleteSection(u"C"));         // its comment lines go with it
  EXPECT_TRUE(d.DeleteSection(u"L"));
  EXPECT_EQ(d.Text(), u"\uFEFF[N] x\r\n[E]\r\n[ B]\r\n[T]\r\nk=v\r\n[t]\r\nk=w\r\n");
  ExpectRefused(u"\uFEFF[A]\r\n", [](IniDocument& x) { return x.DeleteSection(u"Z"); });
}

TEST(IniDocumentGetValue, KeyLinesAndWalkEnd) {
  IniDocument d =
      Doc(u"\uFEFF[A]\r\n;note\r\n;k=old\r\nk =1\r\n#h=2\r\nKEY= v \r\n\u00e9=3\r\n\r\n[B]\r\n#note\r\nk=4\r\n"
          u"[C]\r\nfree text\r\nk=5\r\n[D]\r\n;c\r\n[E=x]\r\nk=6\r\n");
  EXPECT_EQ(d.GetValue(u"a", u"key"), u" v ");  // untrimmed, ASCII case folded
  EXPECT_EQ(d.GetValue(u"A", u"k"), u"");       // "k " is a different key
  EXPECT_EQ(d.GetValue(u"A", u"k "), u"1");
  EXPECT_EQ(d.GetValue(u"A", u"#h"), u"2");  // "#" with "=" is an active key
  EXPECT_EQ(d.GetValue(u"A", u"\u00c9"), u"");
  EXPECT_EQ(d.GetValue(u"B", u"k"), u"");  // a "#" line without "=" ends the walk
  EXPECT_EQ(d.GetValue(u"C", u"k"), u"");  // so does free text
  // A header that holds "=" is never read as a key line of the section before.
  EXPECT_EQ(d.GetValue(u"D", u"[E"), u"");
  EXPECT_EQ(d.GetValue(u"D", u"k"), u"");
  EXPECT_EQ(d.GetValue(u"Z", u"k"), u"");
}

TEST(IniDocumentSetValue, ReplacesActivatesOrInserts) {
  IniDocument d = Doc(u"\uFEFF[A]\r\n;lead\r\nKey=old\r\n; \tOpt=x\r\nk =1\r\n[B]\r\n");
  EXPECT_TRUE(d.SetValue(u"A", u"key", u"new"));
  EXPECT_TRUE(d.SetValue(u"A", u"OPT", u"y"));  // commented line becomes active, caller's case
  EXPECT_TRUE(d.SetValue(u"A", u"k", u"2"));    // "k " does not match: a new first line
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n;lead\r\nk=2\r\nKey=new\r\nOPT=y\r\nk =1\r\n[B]\r\n");
  // A new key at the end of a text that stops mid-line starts its own line.
  d = Doc(u"\uFEFF[A]\r\n;c=1");
  EXPECT_TRUE(d.SetValue(u"A", u"k", u"v"));
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n;c=1\r\nk=v\r\n");
}

TEST(IniDocumentSetValue, BlockMarker) {
  const char16_t* m = u";-- Portal --";
  IniDocument d = Doc(u"\uFEFF[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  EXPECT_TRUE(d.SetValue(u"A", u"p", u"1", m));
  EXPECT_TRUE(d.SetValue(u"A", u"q", u"2", m));
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\nx=1\r\n\r\n;-- Portal --\r\np=1\r\nq=2\r\n\r\n[B]\r\ny=2\r\n");
  // A block without an empty line after it ends with its section.
  d = Doc(u"\uFEFF[A]\r\nx=1\r\n;-- Portal --\r\np=1\r\n[B]\r\ny=2\r\n\r\n");
  EXPECT_TRUE(d.SetValue(u"A", u"q", u"2", m));
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\nx=1\r\n;-- Portal --\r\np=1\r\nq=2\r\n[B]\r\ny=2\r\n\r\n");
  d = Doc(u"\uFEFF[A]\r\nx=1");
  EXPECT_TRUE(d.SetValue(u"A", u"q", u"2", m));
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\nx=1\r\n;-- Portal --\r\nq=2\r\n\r\n");
}

TEST(IniDocumentSetValue, RefusedWithoutChange) {
  auto set = [](const char16_t* s, const char16_t* k) {
    return [=](IniDocument& d) { return d.SetValue(s, k, u"v"); };
  };
  ExpectRefused(u"\uFEFF[A]\r\nk=1\r\n", set(u"Z", u"k"));
  ExpectRefused(u"\uFEFF[A]\r\n[B]\r\nk=1\r\n", set(u"A", u"k"));  // empty section
  ExpectRefused(u"\uFEFF[A]", set(u"A", u"k"));
  ExpectRefused(u"\uFEFF[A]\r\ntext\r\nk=1\r\n", set(u"A", u"k"));
  ExpectRefused(u"\uFEFF[A]\r\nk=1\r\n;last\r\n[B]\r\n", set(u"A", u"n"));
  IniDocument d = Doc(u"\uFEFF[A]\r\nk=1\r\n;last\r\n");
  EXPECT_TRUE(d.SetValue(u"A", u"K", u"2"));
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\nk=2\r\n;last\r\n");
}

TEST(IniDocumentKeyEdits, DeleteCommentOutUncomment) {
  IniDocument d = Doc(u"\uFEFF[A]\r\n#c\r\nk=1\r\nk=2\nk=3\rx=0\r\n[B]\r\n");
  EXPECT_TRUE(d.DeleteKey(u"A", u"K"));  // comment lines are skipped, one line goes
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n#c\r\nk=2\nk=3\rx=0\r\n[B]\r\n");
  EXPECT_TRUE(d.DeleteKey(u"A", u"k"));
  EXPECT_TRUE(d.DeleteKey(u"A", u"k"));
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n#c\r\nx=0\r\n[B]\r\n");
  ExpectRefused(d.Text(), [](IniDocument& x) { return x.DeleteKey(u"A", u"k"); });

  d = Doc(u"\uFEFF[A]\r\nk=1\r\n;k=0\r\nK=2\r\n[B]\r\n");
  EXPECT_TRUE(d.CommentOutKey(u"A", u"k"));
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n;k=1\r\n;k=0\r\n;K=2\r\n[B]\r\n");
  EXPECT_TRUE(d.CommentOutKey(u"A", u"k"));  // commented matches count
  d = Doc(u"\uFEFF[A]\r\nk=1\r\nfree\r\nk=2\r\n");
  EXPECT_FALSE(d.CommentOutKey(u"A", u"k"));  // keeps what it did before the non-key line
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n;k=1\r\nfree\r\nk=2\r\n");
  ExpectRefused(u"\uFEFF[A]\r\nk=1\r\n", [](IniDocument& x) { return x.CommentOutKey(u"A", u"n"); });

  d = Doc(u"\uFEFF[A]\r\n;other\r\n; \tk=1\r\nk=2\r\n");
  EXPECT_TRUE(d.UncommentKey(u"A", u"K"));
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n;other\r\nk=1\r\nk=2\r\n");
  EXPECT_TRUE(d.UncommentKey(u"A", u"k"));  // already active: no change
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n;other\r\nk=1\r\nk=2\r\n");
  ExpectRefused(d.Text(), [](IniDocument& x) { return x.UncommentKey(u"A", u"n"); });
}

TEST(IniDocumentDeleteBlock, ParagraphUpToEmptyLineOrSectionEnd) {
  IniDocument d =
      Doc(u"\uFEFF[A]\r\n;lead\r\nx=1\r\n;blk\r\np=1\r\n\r\ny=2\r\n;end\r\nq=1\r\n  [B]\r\nz=1\r\n;tail\r\nr=1");
  EXPECT_TRUE(d.DeleteBlock(u"A", u";blk"));
  EXPECT_TRUE(d.DeleteBlock(u"A", u"end"));    // from the match; stops before the next header
  EXPECT_TRUE(d.DeleteBlock(u"B", u";tail"));  // at the very end: everything to the end
  EXPECT_EQ(d.Text(), u"\uFEFF[A]\r\n;lead\r\nx=1\r\ny=2\r\n;\r\n  [B]\r\nz=1\r\n");
  ExpectRefused(d.Text(), [](IniDocument& x) { return x.DeleteBlock(u"A", u";lead"); });  // before the body
  ExpectRefused(d.Text(), [](IniDocument& x) { return x.DeleteBlock(u"A", u"z=1"); });    // another section
  ExpectRefused(d.Text(), [](IniDocument& x) { return x.DeleteBlock(u"A", u""); });
}

TEST(IniDocumentFile, LoadSaveRoundTripAndFailures) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(::testing::TempDir()) / "loom_ini_test";
  fs::remove_all(dir);
  fs::create_directories(dir / "sub");
  auto p = [&](const char* name) { return (dir / name).u16string(); };
  const std::string bytes = ToUtf16LeBytes(u"\uFEFF[A]\r\nk=\u4e2d\n;x\r") + std::string("\x00\xD8", 2);
  ASSERT_TRUE(ReplaceFileContents(p("a.ini"), bytes));
  ASSERT_TRUE(ReplaceFileContents(p("odd.ini"), "abc"));
  ASSERT_TRUE(ReplaceFileContents(p("empty.ini"), ""));

  IniDocument d;
  ASSERT_TRUE(d.Load(p("a.ini")));
  for (const char* bad : {"odd.ini", "empty.ini", "missing.ini", "sub"}) EXPECT_FALSE(d.Load(p(bad))) << bad;
  EXPECT_EQ(d.Bytes(), bytes);  // failed loads kept the text
  ASSERT_TRUE(d.Save(p("b.ini")));
  std::string saved;
  ASSERT_TRUE(ReadWholeFile(p("b.ini"), saved));
  EXPECT_EQ(saved, bytes);

  // A save that cannot be done leaves what is there whole.
  EXPECT_TRUE(d.SetValue(u"A", u"k", u"new"));
  EXPECT_FALSE(d.Save(p("sub")));
  EXPECT_FALSE(d.Save(p("a.ini/child.ini")));
  EXPECT_FALSE(d.Save(p("nowhere/c.ini")));
  EXPECT_TRUE(fs::is_directory(dir / "sub"));
  ASSERT_TRUE(ReadWholeFile(p("a.ini"), saved));
  EXPECT_EQ(saved, bytes);
  fs::remove_all(dir);
}

TEST(IniDocumentOperands, TextThatWouldForgeStructureIsRefused) {
  const std::u16string text = u"\uFEFF[S]\r\nA=1\r\n;-- M --\r\nB=2\r\n\r\n";
  using Edit = bool (*)(IniDocument&);
  const Edit refused[] = {
      [](IniDocument& d) { return d.SetValue(u"S", u"A", u"x\r\n[T]\r\nB=evil"); },
      [](IniDocument& d) { return d.SetValue(u"S", u"A", u"x\nB=evil"); },
      [](IniDocument& d) { return d.SetValue(u"S", u"A", u"x\rB=evil"); },
      [](IniDocument& d) { return d.SetValue(u"S", u"A", std::u16string(u"x\0y", 3)); },
      [](IniDocument& d) { return d.SetValue(u"S", u"K=V", u"W"); },
      [](IniDocument& d) { return d.SetValue(u"S", u" [T", u"1"); },
      [](IniDocument& d) { return d.SetValue(u"S", u"K\r\n[T]", u"1"); },
      [](IniDocument& d) { return d.SetValue(u"S]", u"A", u"1"); },
      [](IniDocument& d) { return d.SetValue(u"S", u"N", u"1", u";-- M --\r\n[T]"); },
      [](IniDocument& d) { return d.SetValue(u"S", u"N", u"1", u"[T]"); },
      [](IniDocument& d) { return d.SetValue(u"S", u"N", u"1", u"  Portal"); },
      [](IniDocument& d) { return d.SetValue(u"S", u"N", u"1", u""); },
      [](IniDocument& d) { return d.RenameSection(u"S", u"New]Name"); },
      [](IniDocument& d) { return d.RenameSection(u"S", u"[New"); },
      [](IniDocument& d) { return d.RenameSection(u"S", u"N\r\nX=1"); },
      [](IniDocument& d) { return d.DeleteKey(u"S", u"A=1"); },
      [](IniDocument& d) { return d.CommentOutKey(u"S", u"A\n"); },
      [](IniDocument& d) { return d.UncommentKey(u"[S", u"A"); },
      [](IniDocument& d) { return d.DeleteBlock(u"S", u"M --\r\nB"); },
      [](IniDocument& d) { return d.DeleteSection(u"S]"); },
  };
  for (size_t i = 0; i < std::size(refused); ++i) {
    SCOPED_TRACE(i);
    ExpectRefused(text, refused[i]);
  }
  // What is left is accepted: "=" and brackets in values, "[" inside a key.
  IniDocument d = Doc(text);
  EXPECT_TRUE(d.SetValue(u"S", u"A", u"[x]=y"));
  EXPECT_TRUE(d.SetValue(u"S", u"a[1]", u"z"));
  EXPECT_TRUE(d.RenameSection(u"s", u"New Name"));
  EXPECT_EQ(d.Text(), u"\uFEFF[New Name]\r\na[1]=z\r\nA=[x]=y\r\n;-- M --\r\nB=2\r\n\r\n");
}

TEST(IniDocumentGetValue, FindValueTellsEmptyFromMissing) {
  IniDocument d = Doc(u"\uFEFF[S]\r\nE=\r\nK=v\r\n;C=1\r\n");
  struct Case {
    const char16_t* key;
    bool found;
    const char16_t* value;
  };
  for (const Case& c : {Case{u"e", true, u""}, Case{u"K", true, u"v"}, Case{u"C", false, u""},
                        Case{u"none", false, u""}, Case{u"E=", false, u""}}) {
    std::u16string value = u"stale";
    EXPECT_EQ(d.FindValue(u"S", c.key, value), c.found) << loom::Utf16ToUtf8(c.key);
    EXPECT_EQ(value, c.value);
  }
}

TEST(IniDocumentLineEnd, InsertedLinesFollowTheFileWhenAsked) {
  struct Case {
    IniDocument::LineEnd mode;
    const char16_t* before;
    const char16_t* after;  // after: new key k, two keys in block ";M", block ";D" (ended by its empty line) deleted
  };
  const IniDocument::LineEnd crlf = IniDocument::LineEnd::kCrLf, asFile = IniDocument::LineEnd::kAsFile;
  const Case cases[] = {
      {asFile, u"\uFEFF[A]\nx=1\n;D\ny=2\n\nz=3\n[B]\n", u"\uFEFF[A]\nk=v\nx=1\nz=3\n;M\np=1\nq=2\n\n[B]\n"},
      {asFile, u"\uFEFF[A]\rx=1\r;D\ry=2\r\rz=3\r[B]\r", u"\uFEFF[A]\rk=v\rx=1\rz=3\r;M\rp=1\rq=2\r\r[B]\r"},
      {asFile, u"\uFEFF[A]\r\nx=1\n;D\r\ny=2\r\n\r\nz=3\n[B]\n",
       u"\uFEFF[A]\r\nk=v\r\nx=1\nz=3\n;M\r\np=1\r\nq=2\r\n\r\n[B]\n"},
      // The wizard's own default: CR LF whatever the file uses.
      {crlf, u"\uFEFF[A]\nx=1\n;D\ny=2\n\nz=3\n[B]\n", u"\uFEFF[A]\nk=v\r\nx=1\nz=3\n;M\r\np=1\r\nq=2\r\n\r\n[B]\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(loom::Utf16ToUtf8(c.before));
    IniDocument d = Doc(c.before);
    d.SetLineEnd(c.mode);
    EXPECT_TRUE(d.SetValue(u"A", u"k", u"v"));
    EXPECT_TRUE(d.DeleteBlock(u"A", u";D"));
    EXPECT_TRUE(d.SetValue(u"A", u"p", u"1", u";M"));
    EXPECT_TRUE(d.SetValue(u"A", u"q", u"2", u";M"));
    EXPECT_EQ(d.Text(), c.after);
  }
}
TEST(IniDocumentSetValue, BlockMarkerWithAnyLineEnds) {
  const char16_t* m = u";-- Portal --";
  struct Case {
    std::u16string text, expected;
  };
  const Case cases[] = {
      // LF-only ends, block running straight into the next header.
      {u"\uFEFF[A]\nx=1\n;-- Portal --\np=1\n[B]\ny=2\n\n", u"\uFEFF[A]\nx=1\n;-- Portal --\np=1\nq=2\r\n[B]\ny=2\n\n"},
      // LF-only ends with an empty line: the key goes before it.
      {u"\uFEFF[A]\nx=1\n;-- Portal --\np=1\n\nz=9\n[B]\n", u"\uFEFF[A]\nx=1\n;-- Portal --\np=1\nq=2\r\n\nz=9\n[B]\n"},
      {u"\uFEFF[A]\rx=1\r;-- Portal --\rp=1\r\r[B]\r", u"\uFEFF[A]\rx=1\r;-- Portal --\rp=1\rq=2\r\n\r[B]\r"},
      // An indented next header keeps its indentation.
      {u"\uFEFF[A]\r\nx=1\r\n;-- Portal --\r\np=1\r\n  [B]\r\n",
       u"\uFEFF[A]\r\nx=1\r\n;-- Portal --\r\np=1\r\nq=2\r\n  [B]\r\n"},
      // The block ends the text without a line end.
      {u"\uFEFF[A]\r\nx=1\r\n;-- Portal --\r\np=1", u"\uFEFF[A]\r\nx=1\r\n;-- Portal --\r\np=1\r\nq=2\r\n"},
  };
  for (const Case& c : cases) {
    IniDocument d = Doc(c.text);
    EXPECT_TRUE(d.SetValue(u"A", u"q", u"2", m));
    EXPECT_EQ(d.Text(), c.expected);
    EXPECT_EQ(d.GetValue(u"B", u"y"), c.text.find(u"y=2") == std::u16string::npos ? u"" : u"2");
  }
}

TEST(IniDocumentProfile, ReadsAndWritesLikeTheProfileApiKeepingTheLayout) {
  const std::u16string text =
      u"\uFEFF; top\r\n[A]\r\n  Key = \" v \" \r\n;Routelle=old\r\n\r\n[B]\r\nk=1\r\n\r\n\r\n[C]\r\nz=0";
  IniDocument d = Doc(text);
  EXPECT_EQ(d.ProfileValue(u"a", u"KEY"), u" v ");
  EXPECT_EQ(d.ProfileValue(u" A ", u"Routelle"), u"");  // ";" lines are comments here
  EXPECT_EQ(d.ProfileValue(u"Z", u"k"), u"");
  d.SetProfileValue(u"A", u"key", u"n");
  d.SetProfileValue(u"B", u"Routelle", u"C:\\t.txt");
  d.SetProfileValue(u"C", u"y", u"1");
  d.SetProfileValue(u"New", u"k", u"v");
  EXPECT_EQ(d.Text(),
            u"\uFEFF; top\r\n[A]\r\n  key=n\r\n;Routelle=old\r\n\r\n[B]\r\nk=1\r\nRoutelle=C:\\t.txt\r\n\r\n\r\n"
            u"[C]\r\nz=0\r\ny=1\r\n[New]\r\nk=v\r\n");
  d.SetProfileValue(u"b", u"ROUTELLE", u"D:\\u.txt");
  EXPECT_EQ(d.ProfileValue(u"B", u"Routelle"), u"D:\\u.txt");
  EXPECT_EQ(d.GetValue(u"B", u"k"), u"1");
  IniDocument empty;
  empty.SetProfileValue(u"S", u"k", u"v");
  EXPECT_EQ(empty.Text(), u"\uFEFF[S]\r\nk=v\r\n");
}
