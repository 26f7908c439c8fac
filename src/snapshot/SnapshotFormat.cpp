#include "snapshot/SnapshotFormat.h"

#include <algorithm>
#include <cstring>

#include "util/Text.h"

namespace loom::snap {
namespace {

constexpr char kMagic[8] = {'L', 'O', 'O', 'M', 'S', 'N', 'A', 'P'};
constexpr uint32_t kVersion = 1;
constexpr uint8_t kTrailer = 0x7F;
constexpr uint64_t kFnvOffset = 1469598103934665603ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;
// Limits a reader accepts; the platform's own limits are lower.
constexpr uint64_t kMaxPathUnits = 32767;
constexpr uint64_t kMaxNameUnits = 32767;
constexpr uint64_t kMaxDataBytes = 64u << 20;
constexpr size_t kFlushAt = 1 << 18;

uint64_t Fnv(uint64_t h, const void* bytes, size_t count) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  for (size_t i = 0; i < count; ++i) h = (h ^ p[i]) * kFnvPrime;
  return h;
}

int CompareUnits(std::u16string_view a, std::u16string_view b, bool fold) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char16_t x = fold ? UpcaseUnit(a[i]) : a[i];
    char16_t y = fold ? UpcaseUnit(b[i]) : b[i];
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int ComparePathComponents(std::u16string_view a, std::u16string_view b) {
  int c = CompareUnits(a, b, true);
  return c != 0 ? c : CompareUnits(a, b, false);
}

int ComparePaths(std::u16string_view a, std::u16string_view b) {
  size_t i = 0, j = 0;
  for (;;) {
    size_t ie = a.find(u'\\', i), je = b.find(u'\\', j);
    if (ie == std::u16string_view::npos) ie = a.size();
    if (je == std::u16string_view::npos) je = b.size();
    int c = ComparePathComponents(a.substr(i, ie - i), b.substr(j, je - j));
    if (c != 0) return c;
    bool aLast = ie == a.size(), bLast = je == b.size();
    if (aLast || bLast) return aLast == bLast ? 0 : (aLast ? -1 : 1);
    i = ie + 1;
    j = je + 1;
  }
}

int CompareEntries(const Entry& a, const Entry& b) {
  bool af = a.IsFileSystem(), bf = b.IsFileSystem();
  if (af != bf) return af ? -1 : 1;
  int c = ComparePaths(a.path, b.path);
  if (c != 0 || af) return Sign(c);
  bool av = a.kind == EntryKind::kValue, bv = b.kind == EntryKind::kValue;
  if (av != bv) return av ? 1 : -1;
  return av ? Sign(ComparePathComponents(a.name, b.name)) : 0;
}

bool MemorySink::Write(const void* data, size_t count) {
  bytes.append(static_cast<const char*>(data), count);
  return true;
}

size_t MemorySource::Read(void* out, size_t count) {
  size_t n = std::min(count, bytes_.size() - pos_);
  if (n) std::memcpy(out, bytes_.data() + pos_, n);
  pos_ += n;
  return n;
}

// ---- writer ----

SnapshotWriter::SnapshotWriter(ByteSink& sink) : sink_(sink), checksum_(kFnvOffset) {
  Put(kMagic, sizeof kMagic);
  uint8_t v[4] = {uint8_t(kVersion), 0, 0, 0};
  Put(v, 4);
}

void SnapshotWriter::Put(const void* bytes, size_t count) { buffer_.append(static_cast<const char*>(bytes), count); }

void SnapshotWriter::PutVarint(uint64_t v) {
  uint8_t b[10];
  size_t n = 0;
  do {
    b[n] = uint8_t(v & 0x7F);
    v >>= 7;
    if (v) b[n] |= 0x80;
    ++n;
  } while (v);
  Put(b, n);
}

void SnapshotWriter::PutUnits(std::u16string_view s) {
  PutVarint(s.size());
  size_t at = buffer_.size();
  buffer_.resize(at + 2 * s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    buffer_[at + 2 * i] = char(s[i] & 0xFF);
    buffer_[at + 2 * i + 1] = char(s[i] >> 8);
  }
}

bool SnapshotWriter::Flush() {
  if (!buffer_.empty() && !failed_) {
    checksum_ = Fnv(checksum_, buffer_.data(), buffer_.size());
    if (!sink_.Write(buffer_.data(), buffer_.size())) failed_ = true;
  }
  buffer_.clear();
  return !failed_;
}

bool SnapshotWriter::Add(const Entry& e) {
  if (failed_) return false;
  size_t shared = 0, limit = std::min(previousPath_.size(), e.path.size());
  while (shared < limit && previousPath_[shared] == e.path[shared]) ++shared;
  if (hasPrevious_) {
    // The paths agree up to `shared`: their order is decided from the name
    // that holds the first difference on (the same answer as CompareEntries).
    int c;
    if (previous_.IsFileSystem() != e.IsFileSystem() || shared == 0) {
      c = CompareEntries(previous_, e);
    } else {
      size_t cut = previousPath_.rfind(u'\\', shared - 1);
      size_t from = cut == std::u16string::npos ? 0 : cut + 1;
      c = ComparePaths(std::u16string_view(previousPath_).substr(from), std::u16string_view(e.path).substr(from));
      if (c == 0 && !e.IsFileSystem()) c = CompareEntries(previous_, e);
    }
    if (c >= 0) return false;
  }
  uint8_t kind = uint8_t(e.kind);
  Put(&kind, 1);
  PutVarint(shared);
  PutUnits(std::u16string_view(e.path).substr(shared));
  if (e.IsFileSystem()) {
    PutVarint(e.attributes);
    PutVarint(e.size);
    PutVarint(e.writeTime);
  } else if (e.kind == EntryKind::kValue) {
    PutUnits(e.name);
    PutVarint(e.type);
    PutVarint(e.data.size());
    Put(e.data.data(), e.data.size());
  }
  previousPath_.assign(e.path);
  previous_.kind = e.kind;
  previous_.path.assign(e.path);
  previous_.name.assign(e.name);
  hasPrevious_ = true;
  ++count_;
  return buffer_.size() < kFlushAt || Flush();
}

bool SnapshotWriter::Finish() {
  if (!Flush()) return false;
  uint8_t t = kTrailer;
  Put(&t, 1);
  PutVarint(count_);
  uint64_t sum = checksum_;  // every byte before the trailer
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = uint8_t(sum >> (8 * i));
  Put(b, 8);
  return Flush();
}

// ---- reader ----

SnapshotReader::SnapshotReader(ByteSource& source) : source_(source), checksum_(kFnvOffset) { buffer_.resize(1 << 18); }

bool SnapshotReader::Fail(ReadStatus status) {
  if (status_ == ReadStatus::kOk) status_ = status;
  done_ = true;
  return false;
}

bool SnapshotReader::Fill(size_t need) {
  if (end_ - pos_ >= need) return true;
  if (pos_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  if (buffer_.size() < need) buffer_.resize(need);
  while (end_ < need && !sourceEnded_) {
    size_t n = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
    if (n == SIZE_MAX) return Fail(ReadStatus::kReadError);
    if (n == 0) sourceEnded_ = true;
    end_ += n;
  }
  return end_ - pos_ >= need || Fail(ReadStatus::kTruncated);
}

bool SnapshotReader::Get(void* out, size_t count) {
  if (!Fill(count)) return false;
  std::memcpy(out, buffer_.data() + pos_, count);
  checksum_ = Fnv(checksum_, buffer_.data() + pos_, count);
  pos_ += count;
  return true;
}

bool SnapshotReader::GetByte(uint8_t& b) { return Get(&b, 1); }

bool SnapshotReader::GetVarint(uint64_t& v) {
  v = 0;
  for (int shift = 0; shift < 70; shift += 7) {
    uint8_t b;
    if (!GetByte(b)) return false;
    if (shift == 63 && b > 1) return Fail(ReadStatus::kCorrupt);
    v |= uint64_t(b & 0x7F) << shift;
    if (!(b & 0x80)) return true;
  }
  return Fail(ReadStatus::kCorrupt);
}

bool SnapshotReader::GetUnits(size_t count, std::u16string& out, size_t keep) {
  if (!Fill(2 * count)) return false;
  const uint8_t* p = buffer_.data() + pos_;
  out.resize(keep + count);
  for (size_t i = 0; i < count; ++i) out[keep + i] = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
  checksum_ = Fnv(checksum_, p, 2 * count);
  pos_ += 2 * count;
  return true;
}

bool SnapshotReader::Next(Entry& e) {
  if (done_) return false;
  if (!started_) {
    started_ = true;
    char magic[8];
    uint8_t v[4];
    if (!Fill(12)) {
      if (status_ == ReadStatus::kTruncated) status_ = ReadStatus::kNotSnapshot;
      return false;
    }
    Get(magic, 8);
    Get(v, 4);
    if (std::memcmp(magic, kMagic, 8) != 0) return Fail(ReadStatus::kNotSnapshot);
    if (v[0] != kVersion || v[1] || v[2] || v[3]) return Fail(ReadStatus::kNotSnapshot);
  }
  uint64_t before = checksum_;
  uint8_t kind;
  if (!GetByte(kind)) return false;
  if (kind == kTrailer) {
    uint64_t count;
    uint8_t b[8];
    if (!GetVarint(count) || !Fill(8)) return false;
    std::memcpy(b, buffer_.data() + pos_, 8);
    pos_ += 8;
    uint64_t sum = 0;
    for (int i = 0; i < 8; ++i) sum |= uint64_t(b[i]) << (8 * i);
    if (count != count_ || sum != before) return Fail(ReadStatus::kCorrupt);
    if (!Fill(1) && status_ == ReadStatus::kTruncated)
      status_ = ReadStatus::kOk;  // nothing after it
    else
      return Fail(ReadStatus::kCorrupt);
    done_ = true;
    return false;
  }
  if (kind < 1 || kind > 4) return Fail(ReadStatus::kCorrupt);
  uint64_t shared, suffix;
  if (!GetVarint(shared) || !GetVarint(suffix)) return false;
  if (shared > previous_.path.size() || suffix > kMaxPathUnits || shared + suffix > kMaxPathUnits)
    return Fail(ReadStatus::kCorrupt);
  e.kind = EntryKind(kind);
  e.path.assign(previous_.path, 0, shared);
  if (!GetUnits(size_t(suffix), e.path, size_t(shared))) return false;
  e.attributes = 0;
  e.size = e.writeTime = 0;
  e.type = 0;
  e.name.clear();
  e.data.clear();
  if (e.IsFileSystem()) {
    uint64_t attributes;
    if (!GetVarint(attributes) || !GetVarint(e.size) || !GetVarint(e.writeTime)) return false;
    if (attributes > 0xFFFFFFFFu) return Fail(ReadStatus::kCorrupt);
    e.attributes = uint32_t(attributes);
  } else if (e.kind == EntryKind::kValue) {
    uint64_t nameLength, type, dataLength;
    if (!GetVarint(nameLength)) return false;
    if (nameLength > kMaxNameUnits) return Fail(ReadStatus::kCorrupt);
    if (!GetUnits(size_t(nameLength), e.name, 0) || !GetVarint(type) || !GetVarint(dataLength)) return false;
    if (type > 0xFFFFFFFFu || dataLength > kMaxDataBytes) return Fail(ReadStatus::kCorrupt);
    e.type = uint32_t(type);
    // In pieces, so that a damaged length never allocates more than the file holds.
    for (uint64_t left = dataLength; left > 0;) {
      size_t piece = size_t(left < 65536 ? left : 65536);
      if (!Fill(piece)) return false;
      e.data.append(reinterpret_cast<const char*>(buffer_.data() + pos_), piece);
      checksum_ = Fnv(checksum_, buffer_.data() + pos_, piece);
      pos_ += piece;
      left -= piece;
    }
  }
  if (count_ > 0 && CompareEntries(previous_, e) >= 0) return Fail(ReadStatus::kCorrupt);
  previous_.kind = e.kind;
  previous_.path.assign(e.path);
  previous_.name.assign(e.name);
  ++count_;
  return true;
}

const char16_t* ReadStatusText(ReadStatus status) {
  switch (status) {
    case ReadStatus::kOk: return u"complete";
    case ReadStatus::kReadError: return u"could not be read";
    case ReadStatus::kNotSnapshot: return u"is not a snapshot file";
    case ReadStatus::kTruncated: return u"is incomplete (the scan that wrote it did not finish)";
    case ReadStatus::kCorrupt: return u"is damaged";
  }
  return u"";
}

}  // namespace loom::snap
