// The snapshot file: every file, folder, registry key and registry value of
// the scanned roots, one record each, in one sorted order so that two
// snapshots compare by a single linear merge and neither side is ever held in
// memory as a whole.
//
// Layout (all numbers little-endian; "varint" is LEB128, at most 10 bytes):
//   header   "LOOMSNAP" then u32 version (1)
//   record   u8 kind (1 folder, 2 file, 3 key, 4 value), then the path as
//            varint shared-prefix length with the previous record's path,
//            varint suffix length in code units and the suffix as UTF-16LE;
//            folder/file: varint attributes, varint size, varint last-write
//            time (FILETIME ticks); key: nothing more; value: varint name
//            length, the name, varint type, varint data length, the data
//   trailer  u8 0x7F, varint record count, u64 FNV-1a checksum of every
//            byte before the trailer
// A file without its trailer, with a wrong checksum or with records out of
// order is refused, so a truncated or damaged snapshot never compares as
// "everything was deleted".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace loom::snap {

enum class EntryKind : uint8_t { kFolder = 1, kFile = 2, kKey = 3, kValue = 4 };

struct Entry {
  EntryKind kind = EntryKind::kFile;
  // Folders and files: "C:\Program Files\App\app.exe" (a drive root is "C:").
  // Keys and values: "HKEY_LOCAL_MACHINE\Software\App" (the value's key).
  std::u16string path;
  uint32_t attributes = 0;  // folders and files
  uint64_t size = 0;
  uint64_t writeTime = 0;
  std::u16string name;  // values: the value's name ("" is the default value)
  uint32_t type = 0;    // values: the registry type
  std::string data;     // values: the raw data

  bool IsFileSystem() const { return kind == EntryKind::kFolder || kind == EntryKind::kFile; }
};

// Windows attribute and registry type numbers the core needs.
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrReparsePoint = 0x400;
constexpr uint32_t kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7, kRegQword = 11;

// Path order: component by component ("\" separates), each component first
// without regard to case, then by its exact code units. A parent sorts
// directly before its descendants, so a depth-first walk that visits the
// children of each folder in ComparePathComponents order writes sorted paths.
int ComparePathComponents(std::u16string_view a, std::u16string_view b);
int ComparePaths(std::u16string_view a, std::u16string_view b);
// File-system records before registry records; then by path; a key before its
// values; values by name.
int CompareEntries(const Entry& a, const Entry& b);

// Where records go and come from.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(const void* bytes, size_t count) = 0;
};
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Bytes read (0 at the end); SIZE_MAX on a read failure.
  virtual size_t Read(void* bytes, size_t count) = 0;
};

class MemorySink : public ByteSink {
 public:
  bool Write(const void* bytes, size_t count) override;
  std::string bytes;
};
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  size_t Read(void* bytes, size_t count) override;

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

class SnapshotWriter {
 public:
  explicit SnapshotWriter(ByteSink& sink);
  // False when the sink failed, or the entry does not sort after the previous
  // one (nothing is written then).
  bool Add(const Entry& entry);
  // Writes the trailer and flushes; false when any write failed.
  bool Finish();
  uint64_t count() const { return count_; }

 private:
  void Put(const void* bytes, size_t count);
  void PutVarint(uint64_t v);
  void PutUnits(std::u16string_view s);
  bool Flush();

  ByteSink& sink_;
  std::string buffer_;
  std::u16string previousPath_;
  Entry previous_;
  bool hasPrevious_ = false;
  bool failed_ = false;
  uint64_t count_ = 0;
  uint64_t checksum_;
};

enum class ReadStatus { kOk, kReadError, kNotSnapshot, kTruncated, kCorrupt };

class SnapshotReader {
 public:
  explicit SnapshotReader(ByteSource& source);
  // The next record; false at the end of the records or on an error (see
  // status(): kOk only when the trailer was read and checked).
  bool Next(Entry& entry);
  ReadStatus status() const { return status_; }
  uint64_t count() const { return count_; }

 private:
  bool Fill(size_t need);
  bool Get(void* bytes, size_t count);
  bool GetByte(uint8_t& b);
  bool GetVarint(uint64_t& v);
  bool GetUnits(size_t count, std::u16string& out, size_t keep);
  bool Fail(ReadStatus status);

  ByteSource& source_;
  std::vector<uint8_t> buffer_;
  size_t pos_ = 0, end_ = 0;
  bool sourceEnded_ = false;
  bool started_ = false, done_ = false;
  ReadStatus status_ = ReadStatus::kOk;
  uint64_t count_ = 0;
  uint64_t checksum_;
  Entry previous_;
};

// A user-facing text for a read status (English, for the tool's error lines).
const char16_t* ReadStatusText(ReadStatus status);

}  // namespace loom::snap
