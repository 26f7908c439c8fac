// Snapshot files of any content: the reader must stop cleanly, never accept
// records out of order, and what it accepts must write and read back the same.
#include <cstdint>
#include <string>
#include <vector>

#include "snapshot/SnapshotFormat.h"
#include "snapshot/SnapshotMerge.h"

using namespace loom::snap;

namespace {
struct Counter : DiffVisitor {
  uint64_t n = 0;
  void Added(const Entry&) override { ++n; }
  void Deleted(const Entry&) override { ++n; }
  void Changed(const Entry&, const Entry&) override { ++n; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
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

  // A snapshot compared with itself shows no difference.
  MemorySource a(bytes), b(bytes);
  SnapshotReader ra(a), rb(b);
  Counter counter;
  if (!MergeSnapshots(ra, rb, counter).ok() || counter.n != 0) __builtin_trap();
  return 0;
}
