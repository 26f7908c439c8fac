#include "util/PackageAttributes.h"

#include <cstring>

#include "util/FileIo.h"
#include "util/Text.h"

namespace loom {
namespace {

constexpr uint64_t kLocatorOffset = 64;
constexpr size_t kLocatorSize = 16;
constexpr uint32_t kMinHeaderSize = 16;

uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

uint32_t Get32(const uint8_t* p) { return uint32_t(Get16(p)) | (uint32_t(Get16(p + 2)) << 16); }

uint64_t Get64(const uint8_t* p) { return uint64_t(Get32(p)) | (uint64_t(Get32(p + 4)) << 32); }

// Where the parts of a checked header lie. All offsets are byte offsets from
// the start of the header; count is 0 when there is no attribute table.
struct Layout {
  uint32_t count = 0;
  size_t namesAt = 0;   // K name indices
  size_t valuesAt = 0;  // K pairs (value index, unused)
  size_t poolAt = 0;
  size_t poolUnits = 0;
};

// Every structural check of a package header. Offsets are computed in 64 bits
// from 16-bit fields, so nothing can wrap: the largest is 2 + 7 * 65535.
bool CheckHeader(const std::vector<uint8_t>& h, Layout& layout) {
  const uint8_t* p = h.data();
  const uint64_t size = h.size();
  if (size < kMinHeaderSize || std::memcmp(p, "wren", 4) != 0) return false;

  const uint64_t records = Get16(p + 10);
  if (size < 22 + 16 * records) return false;

  const uint64_t externalName = Get16(p + 16 + 16 * records);
  if (externalName != 0) {
    if (externalName >= size) return false;
    bool terminated = false;
    for (uint64_t at = externalName; at + 2 <= size && !terminated; at += 2) {
      terminated = p[at] == 0 && p[at + 1] == 0;
    }
    if (!terminated) return false;
  }

  const uint64_t table = Get16(p + 18 + 16 * records);
  layout = Layout();
  if (table == 0) return true;
  if (size < table + 2) return false;
  const uint64_t count = Get16(p + table);
  if (count == 0) return true;

  // The pool must begin inside the header and hold at least one unit; an odd
  // byte left at the end of the header is not a unit.
  const uint64_t poolAt = table + 2 + 6 * count;
  if (poolAt + 2 > size) return false;
  const uint64_t poolUnits = (size - poolAt) / 2;

  uint64_t lastNul = poolUnits;
  for (uint64_t i = poolUnits; i-- > 0;) {
    if (Get16(p + poolAt + 2 * i) == 0) {
      lastNul = i;
      break;
    }
  }
  if (lastNul == poolUnits) return false;

  const uint64_t namesAt = table + 2;
  const uint64_t valuesAt = namesAt + 2 * count;
  for (uint64_t i = 0; i < count; ++i) {
    if (Get16(p + namesAt + 2 * i) > lastNul || Get16(p + valuesAt + 4 * i) > lastNul) return false;
  }

  layout.count = uint32_t(count);
  layout.namesAt = size_t(namesAt);
  layout.valuesAt = size_t(valuesAt);
  layout.poolAt = size_t(poolAt);
  layout.poolUnits = size_t(poolUnits);
  return true;
}

// The NUL-terminated text at a pool position. Positions of a checked header
// are at most the pool's last NUL, so the text always ends inside the pool.
std::u16string_view PoolText(std::u16string_view pool, size_t position) {
  if (position >= pool.size()) return {};
  std::u16string_view rest = pool.substr(position);
  return rest.substr(0, rest.find(u'\0'));
}

// The attributes that lookups may visit: i < K and i < 65535.
uint32_t VisitedCount(const Layout& layout) { return layout.count < 65535 ? layout.count : 65535; }

void SetError(uint32_t* error, uint32_t code) {
  if (error) *error = code;
}

}  // namespace

std::optional<PackageHeader> ReadPackageAttributes(std::u16string_view path, uint32_t* error) {
  SetError(error, kErrorSuccess);
  auto fail = [error](uint32_t code) -> std::optional<PackageHeader> {
    SetError(error, code);
    return std::nullopt;
  };

  std::u16string full;
  if (!MakeFullPath(path, full)) return fail(kErrorInvalidName);

  uint32_t code = kErrorReadFault;
  std::unique_ptr<ReadOnlyFile> file = ReadOnlyFile::Open(full, &code);
  if (!file) return fail(code);
  uint64_t fileSize = 0;
  if (!file->Size(fileSize, &code)) return fail(code);

  uint8_t locator[kLocatorSize];
  size_t got = file->ReadAt(kLocatorOffset, locator, kLocatorSize, &code);
  if (got == SIZE_MAX) return fail(code);
  if (got != kLocatorSize) return fail(kErrorBadExeFormat);

  // The header must lie inside the file; compared without forming the sum,
  // which could wrap for an offset near 2^64.
  const uint64_t headerOffset = Get64(locator);
  const uint32_t headerSize = Get32(locator + 8);
  if (headerOffset > fileSize || headerSize > fileSize - headerOffset || headerSize < kMinHeaderSize) {
    return fail(kErrorBadExeFormat);
  }

  PackageHeader header;
  header.bytes.resize(headerSize);
  got = file->ReadAt(headerOffset, header.bytes.data(), headerSize, &code);
  if (got == SIZE_MAX) return fail(code);
  if (got != headerSize) return fail(kErrorBadExeFormat);

  Layout layout;
  if (!CheckHeader(header.bytes, layout)) return fail(kErrorBadExeFormat);
  if (layout.count != 0) header.pool = FromUtf16LeBytes(header.bytes.data() + layout.poolAt, layout.poolUnits * 2);
  return header;
}

std::optional<std::u16string_view> GetPackageAttribute(const PackageHeader& header, std::u16string_view name) {
  Layout layout;
  if (!CheckHeader(header.bytes, layout) || layout.count == 0) return std::nullopt;
  // A header put together by hand, without its decoded pool, has nothing to point into.
  if (header.pool.size() != layout.poolUnits) return std::nullopt;
  const std::u16string_view pool = header.pool;
  const uint8_t* p = header.bytes.data();
  for (uint32_t i = 0; i < VisitedCount(layout); ++i) {
    if (PoolText(pool, Get16(p + layout.namesAt + 2 * i)) == name) {
      return PoolText(pool, Get16(p + layout.valuesAt + 4 * i));
    }
  }
  return std::nullopt;
}

std::vector<std::pair<std::u16string, std::u16string>> ListPackageAttributes(const PackageHeader& header) {
  std::vector<std::pair<std::u16string, std::u16string>> list;
  Layout layout;
  if (!CheckHeader(header.bytes, layout) || layout.count == 0) return list;
  const uint8_t* p = header.bytes.data();
  const std::u16string pool = FromUtf16LeBytes(p + layout.poolAt, layout.poolUnits * 2);
  list.reserve(VisitedCount(layout));
  for (uint32_t i = 0; i < VisitedCount(layout); ++i) {
    list.emplace_back(PoolText(pool, Get16(p + layout.namesAt + 2 * i)),
                      PoolText(pool, Get16(p + layout.valuesAt + 4 * i)));
  }
  return list;
}

}  // namespace loom
