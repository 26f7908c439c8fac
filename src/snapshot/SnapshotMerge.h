// The comparison of two snapshots: one pass over both sorted streams.
#pragma once

#include <cstdint>
#include <functional>

#include "snapshot/SnapshotFormat.h"

namespace loom::snap {

class DiffVisitor {
 public:
  virtual ~DiffVisitor() = default;
  virtual void Added(const Entry& after) = 0;
  virtual void Deleted(const Entry& before) = 0;
  virtual void Changed(const Entry& before, const Entry& after) = 0;
};

struct MergeResult {
  ReadStatus before = ReadStatus::kOk;
  ReadStatus after = ReadStatus::kOk;
  uint64_t added = 0, deleted = 0, changed = 0;
  bool ok() const { return before == ReadStatus::kOk && after == ReadStatus::kOk; }
};

// Files change with their size or last-write time (attributes alone are
// noise: the archive bit flips on backups); a folder that became a file, or
// the reverse, is a change; values change with their type or data; keys and
// folders are only added or deleted.
bool EntryChanged(const Entry& before, const Entry& after);

// Reports every difference in sorted order. `progress`, when given, is called
// every few thousand records with the number read so far. The result is only
// trustworthy when ok(): a damaged side stops the merge.
MergeResult MergeSnapshots(SnapshotReader& before, SnapshotReader& after, DiffVisitor& visitor,
                           const std::function<void(uint64_t)>& progress = {});

}  // namespace loom::snap
