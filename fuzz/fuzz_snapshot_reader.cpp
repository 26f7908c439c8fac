// Snapshot files of any content: the reader must stop cleanly, never accept
// records out of order, and what it accepts must write and read back the same.
// The registry values it accepts, written as a .reg file, read back the same;
// and the input read as a .reg text never crashes the .reg reader, whose
// records write and read back the same.
#include <cstdint>
#include <string>
#include <vector>

#include "snapshot/RegFile.h"
#include "snapshot/SnapshotFormat.h"
#include "snapshot/SnapshotMerge.h"
#include "util/Text.h"

using namespace loom::snap;

namespace {
struct Counter : DiffVisitor {
  uint64_t n = 0;
  void Added(const Entry&) override { ++n; }
  void Deleted(const Entry&) override { ++n; }
  void Changed(const Entry&, const Entry&) override { ++n; }
};
// Keys that a .reg file can name: one line, no "-" or blank at the start, no
// blank at the end.
bool WritableKey(const std::u16string& key) {
  return !key.empty() && key.find_first_of(u"\r\n") == std::u16string::npos && key[0] != u'-' && key[0] != u' ' &&
         key[0] != u'\t' && key.back() != u' ' && key.back() != u'\t';
}

void RoundTrip(const std::vector<RegRecord>& records) {
  std::vector<RegRecord> back;
  if (!ParseRegFile(RegFileText(records), back)) __builtin_trap();
  size_t i = 0;
  for (const RegRecord& r : records) {
    // A value's block opens with its key line, read back as a key record.
    if (r.kind == RegRecord::kValue || r.kind == RegRecord::kDeletedValue)
      while (i < back.size() && back[i].kind == RegRecord::kKey && back[i].key == r.key) ++i;
    if (i >= back.size()) __builtin_trap();
    const RegRecord& b = back[i++];
    if (b.kind != r.kind || b.key != r.key) __builtin_trap();
    if (r.kind == RegRecord::kValue && (b.name != r.name || b.type != r.type || b.data != r.data)) __builtin_trap();
    if (r.kind == RegRecord::kDeletedValue && b.name != r.name) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    std::vector<RegRecord> records;
    ParseRegFile(loom::FromUtf16LeBytes(data, size & ~size_t(1)), records);
    std::vector<RegRecord> writable;
    for (const RegRecord& r : records)
      if (WritableKey(r.key)) writable.push_back(r);
    RoundTrip(writable);
  }
  MemorySource source(bytes);
  SnapshotReader reader(source);
  std::vector<Entry> entries;
  Entry e;
  while (reader.Next(e)) {
    if (!entries.empty() && CompareEntries(entries.back(), e) >= 0) __builtin_trap();
    entries.push_back(e);
  }
  if (reader.status() != ReadStatus::kOk) return 0;

  MemorySink sink;
  SnapshotWriter writer(sink);
  for (const Entry& x : entries)
    if (!writer.Add(x)) __builtin_trap();
  if (!writer.Finish()) __builtin_trap();
  MemorySource again(sink.bytes);
  SnapshotReader back(again);
  for (const Entry& x : entries) {
    if (!back.Next(e)) __builtin_trap();
    if (e.kind != x.kind || e.path != x.path || e.name != x.name || e.data != x.data || e.size != x.size)
      __builtin_trap();
  }
  if (back.Next(e) || back.status() != ReadStatus::kOk) __builtin_trap();

  std::vector<RegRecord> values;
  for (const Entry& x : entries)
    if (x.kind == EntryKind::kValue && WritableKey(x.path))
      values.push_back({RegRecord::kValue, x.path, x.name, x.type, x.data});
  RoundTrip(values);

  // A snapshot compared with itself shows no difference.
  MemorySource a(bytes), b(bytes);
  SnapshotReader ra(a), rb(b);
  Counter counter;
  if (!MergeSnapshots(ra, rb, counter).ok() || counter.n != 0) __builtin_trap();
  return 0;
}
