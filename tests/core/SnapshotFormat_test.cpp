// The snapshot file and the comparison of two snapshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "snapshot/SnapshotFormat.h"
#include "snapshot/SnapshotMerge.h"

namespace loom::snap {
namespace {

Entry Folder(std::u16string path) { return {EntryKind::kFolder, std::move(path), kAttrDirectory, 0, 7, {}, 0, {}}; }
Entry File(std::u16string path, uint64_t size, uint64_t time = 100) {
  return {EntryKind::kFile, std::move(path), 0x20, size, time, {}, 0, {}};
}
Entry Key(std::u16string path) { return {EntryKind::kKey, std::move(path), 0, 0, 0, {}, 0, {}}; }
Entry Value(std::u16string key, std::u16string name, uint32_t type, std::string data) {
  return {EntryKind::kValue, std::move(key), 0, 0, 0, std::move(name), type, std::move(data)};
}

std::string Write(const std::vector<Entry>& entries) {
  MemorySink sink;
  SnapshotWriter w(sink);
  for (const Entry& e : entries) EXPECT_TRUE(w.Add(e)) << std::string(e.path.begin(), e.path.end());
  EXPECT_TRUE(w.Finish());
  return sink.bytes;
}

ReadStatus ReadAll(const std::string& bytes, std::vector<Entry>* out = nullptr) {
  MemorySource source(bytes);
  SnapshotReader r(source);
  Entry e;
  while (r.Next(e))
    if (out) out->push_back(e);
  return r.status();
}

bool Same(const Entry& a, const Entry& b) {
  return a.kind == b.kind && a.path == b.path && a.attributes == b.attributes && a.size == b.size &&
         a.writeTime == b.writeTime && a.name == b.name && a.type == b.type && a.data == b.data;
}

const std::vector<Entry>& Sample() {
  static const std::vector<Entry> entries = {
      Folder(u"C:"),
      Folder(u"C:\\Program Files"),
      Folder(u"C:\\Program Files\\Sample App"),
      File(u"C:\\Program Files\\Sample App\\sample.exe", 123456, 0x01D9'0000'0000'0001ull),
      File(u"C:\\Program Files\\Sample App\\\u6837\u672C.dll", 0xFFFF'FFFF'FFFFull),  // 样本.dll
      File(u"C:\\Program Files\\Sample App0.txt", 0),
      Key(u"HKEY_LOCAL_MACHINE"),
      Key(u"HKEY_LOCAL_MACHINE\\Software"),
      Value(u"HKEY_LOCAL_MACHINE\\Software", u"", kRegSz, std::string("d\0\0\0", 4)),
      Value(u"HKEY_LOCAL_MACHINE\\Software", u"Count", kRegDword, std::string("\3\0\0\0", 4)),
      Value(u"HKEY_LOCAL_MACHINE\\Software", u"Empty", kRegBinary, ""),
      Key(u"HKEY_LOCAL_MACHINE\\Software\\Sample"),
  };
  return entries;
}

TEST(SnapshotFormat, RoundTripKeepsEveryField) {
  std::vector<Entry> back;
  ASSERT_EQ(ReadAll(Write(Sample()), &back), ReadStatus::kOk);
  ASSERT_EQ(back.size(), Sample().size());
  for (size_t i = 0; i < back.size(); ++i) EXPECT_TRUE(Same(back[i], Sample()[i])) << i;
}

TEST(SnapshotFormat, WriterRefusesRecordsOutOfOrder) {
  struct Case {
    Entry first, second;
  } cases[] = {
      {File(u"C:\\b", 1), File(u"C:\\a", 1)},
      {File(u"C:\\a", 1), File(u"C:\\A", 1)},   // "A" sorts before "a"
      {Key(u"HKEY_USERS"), File(u"C:\\a", 1)},  // files before the registry
      {Value(u"HKEY_USERS\\X", u"v", 1, ""), Key(u"HKEY_USERS\\X")},
      {File(u"C:\\a", 1), File(u"C:\\a", 2)},  // the same path twice
  };
  for (const Case& c : cases) {
    MemorySink sink;
    SnapshotWriter w(sink);
    EXPECT_TRUE(w.Add(c.first));
    EXPECT_FALSE(w.Add(c.second));
  }
}

TEST(SnapshotFormat, DamagedFilesAreRefused) {
  const std::string good = Write(Sample());
  // Every cut of a good file is refused, however short.
  for (size_t n = 0; n < good.size(); ++n) EXPECT_NE(ReadAll(good.substr(0, n)), ReadStatus::kOk) << "cut at " << n;
  // Every single changed byte is noticed.
  for (size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = char(bad[i] ^ 0x10);
    EXPECT_NE(ReadAll(bad), ReadStatus::kOk) << "byte " << i;
  }
  EXPECT_EQ(ReadAll(""), ReadStatus::kNotSnapshot);
  EXPECT_EQ(ReadAll("\xFF\xFE; an INI file, not a snapshot"), ReadStatus::kNotSnapshot);
  EXPECT_EQ(ReadAll(good + "x"), ReadStatus::kCorrupt);
  EXPECT_EQ(ReadAll(good.substr(0, good.size() - 3)), ReadStatus::kTruncated);
}

TEST(SnapshotFormat, PathOrder) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int expected;
  } cases[] = {
      {u"C:\\a", u"C:\\b", -1},    {u"C:\\A", u"C:\\a", -1},      // same name but for case: exact units decide
      {u"C:\\a", u"C:\\A", 1},     {u"C:\\a", u"C:\\B", -1},      // case is ignored first
      {u"C:\\ab", u"C:\\a\\z", 1},                                // a parent's descendants come before its next sibling
      {u"C:\\a", u"C:\\a\\b", -1}, {u"C:\\a b", u"C:\\a\\b", 1},  // "\" is no character of a name
      {u"C:", u"C:\\", -1},        {u"C:\\x", u"C:\\x", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComparePaths(c.a, c.b), c.expected) << std::string(c.a, c.a + 4);
    EXPECT_EQ(ComparePaths(c.b, c.a), -c.expected);
  }
}

// A depth-first walk that sorts each folder's children by name writes a file
// the reader accepts: the promise the scanner relies on.
TEST(SnapshotFormat, SortedDepthFirstWalkIsInOrder) {
  std::mt19937 random(7);
  const std::u16string letters = u"aAbB_ .~\u00E9\u00C9z0";
  auto name = [&] {
    std::u16string n;
    for (int i = 1 + int(random() % 3); i > 0; --i) n += letters[random() % letters.size()];
    return n;
  };
  MemorySink sink;
  SnapshotWriter w(sink);
  std::function<void(const std::u16string&, int)> walk = [&](const std::u16string& folder, int depth) {
    std::vector<std::u16string> names;
    for (int i = 0; i < 6; ++i) names.push_back(name());
    std::sort(names.begin(), names.end(),
              [](const std::u16string& x, const std::u16string& y) { return ComparePathComponents(x, y) < 0; });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::u16string& n : names) {
      std::u16string path = folder + u"\\" + n;
      bool isFolder = depth < 3 && random() % 2;
      ASSERT_TRUE(w.Add(isFolder ? Folder(path) : File(path, 1)));
      if (isFolder) walk(path, depth + 1);
    }
  };
  ASSERT_TRUE(w.Add(Folder(u"C:")));
  walk(u"C:", 0);
  ASSERT_TRUE(w.Finish());
  EXPECT_EQ(ReadAll(sink.bytes), ReadStatus::kOk);
}

struct Recorder : DiffVisitor {
  std::vector<std::string> events;
  static std::string Name(const Entry& e) {
    std::u16string s = e.path + (e.kind == EntryKind::kValue ? u":" + e.name : u"");
    return std::string(s.begin(), s.end());
  }
  void Added(const Entry& e) override { events.push_back("+" + Name(e)); }
  void Deleted(const Entry& e) override { events.push_back("-" + Name(e)); }
  void Changed(const Entry&, const Entry& e) override { events.push_back("*" + Name(e)); }
};

TEST(SnapshotMerge, ReportsEachDifferenceOnce) {
  const std::string k = "HKEY_LOCAL_MACHINE\\S";
  struct Case {
    std::vector<Entry> before, after;
    std::vector<std::string> expected;
  } cases[] = {
      {{}, {}, {}},
      {{}, {File(u"C:\\a", 1)}, {"+C:\\a"}},
      {{File(u"C:\\a", 1)}, {}, {"-C:\\a"}},
      {{File(u"C:\\a", 1)}, {File(u"C:\\a", 1)}, {}},
      {{File(u"C:\\a", 1)}, {File(u"C:\\a", 2)}, {"*C:\\a"}},
      {{File(u"C:\\a", 1, 5)}, {File(u"C:\\a", 1, 6)}, {"*C:\\a"}},
      {{Folder(u"C:\\d")}, {File(u"C:\\d", 0)}, {"*C:\\d"}},
      {{Folder(u"C:\\d")}, {Folder(u"C:\\d")}, {}},
      {{File(u"C:\\a", 1), File(u"C:\\c", 1)},
       {File(u"C:\\b", 1), File(u"C:\\c", 1), File(u"C:\\d", 1)},
       {"-C:\\a", "+C:\\b", "+C:\\d"}},
      {{Key(u"HKEY_LOCAL_MACHINE\\S"), Value(u"HKEY_LOCAL_MACHINE\\S", u"v", kRegSz, "a")},
       {Key(u"HKEY_LOCAL_MACHINE\\S"), Value(u"HKEY_LOCAL_MACHINE\\S", u"v", kRegSz, "b"),
        Value(u"HKEY_LOCAL_MACHINE\\S", u"w", kRegSz, "")},
       {"*" + k + ":v", "+" + k + ":w"}},
      {{Value(u"HKEY_LOCAL_MACHINE\\S", u"v", kRegSz, "a")},
       {Value(u"HKEY_LOCAL_MACHINE\\S", u"v", kRegExpandSz, "a")},
       {"*" + k + ":v"}},
      {{File(u"C:\\a", 1), Key(u"HKEY_USERS")},
       {Key(u"HKEY_LOCAL_MACHINE"), Key(u"HKEY_USERS")},
       {"-C:\\a", "+HKEY_LOCAL_MACHINE"}},
  };
  for (const Case& c : cases) {
    std::string a = Write(c.before), b = Write(c.after);
    MemorySource sa(a), sb(b);
    SnapshotReader ra(sa), rb(sb);
    Recorder rec;
    MergeResult result = MergeSnapshots(ra, rb, rec);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(rec.events, c.expected);
  }
}

TEST(SnapshotMerge, DamagedSideIsReported) {
  std::string good = Write(Sample());
  std::string cut = good.substr(0, good.size() / 2);
  MemorySource sa(good), sb(cut);
  SnapshotReader ra(sa), rb(sb);
  Recorder rec;
  MergeResult result = MergeSnapshots(ra, rb, rec);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.before, ReadStatus::kOk);
  EXPECT_EQ(result.after, ReadStatus::kTruncated);
}

}  // namespace
}  // namespace loom::snap
