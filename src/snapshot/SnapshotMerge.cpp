#include "snapshot/SnapshotMerge.h"

namespace loom::snap {

bool EntryChanged(const Entry& before, const Entry& after) {
  if (before.kind != after.kind) return true;
  switch (before.kind) {
    case EntryKind::kFile: return before.size != after.size || before.writeTime != after.writeTime;
    case EntryKind::kValue: return before.type != after.type || before.data != after.data;
    default: return false;
  }
}

MergeResult MergeSnapshots(SnapshotReader& before, SnapshotReader& after, DiffVisitor& visitor,
                           const std::function<void(uint64_t)>& progress) {
  MergeResult result;
  Entry a, b;
  bool hasA = before.Next(a), hasB = after.Next(b);
  uint64_t read = (hasA ? 1 : 0) + (hasB ? 1 : 0), nextReport = 4096;
  while (hasA || hasB) {
    int c = !hasA ? 1 : (!hasB ? -1 : CompareEntries(a, b));
    if (c < 0) {
      visitor.Deleted(a);
      ++result.deleted;
    } else if (c > 0) {
      visitor.Added(b);
      ++result.added;
    } else if (EntryChanged(a, b)) {
      visitor.Changed(a, b);
      ++result.changed;
    }
    if (c <= 0) {
      hasA = before.Next(a);
      read += hasA;
    }
    if (c >= 0) {
      hasB = after.Next(b);
      read += hasB;
    }
    if (progress && read >= nextReport) {
      progress(read);
      nextReport = read + 4096;
    }
  }
  result.before = before.status();
  result.after = after.status();
  return result;
}

}  // namespace loom::snap
