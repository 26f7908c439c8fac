// Cost of one page's load-edit-save of the working project file on a
// generated 1 MB UTF-16 document, against a plain read and rewrite of the
// same bytes; and CommentOutKey over many duplicate lines, against one
// full-document scan (GetValue of a missing key).
//   bench_ini_document           best of 7 runs
//   bench_ini_document --quick   one run (smoke test)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "BenchTiming.h"
#include "project/IniDocument.h"
#include "util/FileIo.h"
#include "util/Text.h"

namespace {

std::u16string Num(unsigned n) { return loom::Utf8ToUtf16(std::to_string(n)); }

// About `bytes` of UTF-16: sections of keys with comments, commented-out
// defaults and blank lines.
std::u16string MakeDocument(size_t bytes, unsigned& sections) {
  std::u16string text = u"\uFEFF;Generated project\r\n\r\n";
  unsigned s = 0;
  for (; text.size() * 2 < bytes; ++s) {
    text += u"[Section" + Num(s) + u"]\r\n;Settings of entry " + Num(s) + u"\r\n";
    for (unsigned k = 0; k < 12; ++k) {
      if (k % 4 == 3) text += u";";
      text += u"Key" + Num(k) + u"=C:\\Program Files\\Vendor\\\u5e94\u7528\\file" + Num(s * 12 + k) + u".dll\r\n";
    }
    text += u"\r\n";
  }
  sections = s;
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = loom::bench::QuickRun(argc, argv);
  const int runs = quick ? 1 : 7;
  unsigned sections = 0;
  const std::string bytes = loom::ToUtf16LeBytes(MakeDocument(1u << 20, sections));
  auto late = [&](unsigned back) { return u"Section" + Num(sections - back); };
  const auto dir = std::filesystem::temp_directory_path();
  const std::u16string source = (dir / "bench_ini_document_src.ini").u16string();
  const std::u16string target = (dir / "bench_ini_document_out.ini").u16string();
  if (!loom::ReplaceFileContents(source, bytes)) {
    std::fprintf(stderr, "cannot write %s\n", loom::Utf16ToUtf8(source).c_str());
    return 1;
  }

  bool ok = true;
  const double plain = loom::bench::BestSeconds(runs, [&] {
    std::string data;
    ok = ok && loom::ReadWholeFile(source, data) && loom::ReplaceFileContents(target, data);
  });
  const double edit = loom::bench::BestSeconds(runs, [&] {
    loom::IniDocument doc;
    ok = ok && doc.Load(source);
    // Sections late in the document: each edit scans nearly all of it.
    ok = ok && doc.SetValue(late(4), u"key5", u"changed");
    ok = ok && doc.SetValue(late(3), u"NewKey", u"added", u";-- block --");
    ok = ok && doc.DeleteKey(late(2), u"Key6");
    ok = ok && doc.CommentOutKey(late(1), u"Key1");
    ok = ok && doc.Save(target);
  });

  // One section holding 40,000 duplicates of a key.
  std::u16string dup = u"\uFEFF[S]\r\n";
  for (int i = 0; i < 40000; ++i) dup += u"Dup=" + Num(unsigned(i)) + u"\r\n";
  loom::IniDocument many;
  ok = ok && many.LoadFromBytes(loom::ToUtf16LeBytes(dup));
  const double scan = loom::bench::BestSeconds(runs, [&] { ok = ok && many.GetValue(u"S", u"missing").empty(); });
  const double comment = loom::bench::BestSeconds(runs, [&] {
    loom::IniDocument d = many;
    ok = ok && d.CommentOutKey(u"S", u"dup");
  });

  std::filesystem::remove(std::filesystem::path(source));
  std::filesystem::remove(std::filesystem::path(target));
  if (!ok) {
    std::fprintf(stderr, "an operation failed\n");
    return 1;
  }
  std::printf("document %.2f MB\n", double(bytes.size()) / 1e6);
  std::printf("read + write:                  %8.2f ms\n", plain * 1e3);
  std::printf("load + 4 edits + save:         %8.2f ms\n", edit * 1e3);
  std::printf("edit time / plain time:        %8.2f  (target <= 3)\n", edit / plain);
  std::printf("comment out 40000 duplicates / one scan: %.2f  (target <= 5)\n", comment / scan);
  return 0;
}
