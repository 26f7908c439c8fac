// Reader of the attribute table that a built package carries in its header.
//
// A package file holds a 16-byte header locator at byte offset 64
// (little-endian): the header's file offset (8 bytes), the header's size
// (4 bytes) and 4 unused bytes. The header begins with the magic "wren"; its
// attribute table is a count K, K name indices, K pairs (value index, unused)
// and a pool of NUL-terminated UTF-16LE texts that runs to the end of the
// header. Indices count UTF-16 units from the start of the pool.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace loom {

struct PackageHeader {
  // The header exactly as stored in the file (headerSize bytes).
  std::vector<uint8_t> bytes;
  // The attribute pool as UTF-16 code units, filled by ReadPackageAttributes.
  // The pool may begin at an odd byte offset of the header, so the texts that
  // GetPackageAttribute hands back point into this copy rather than into
  // `bytes`. Empty when the header has no attribute table or K is 0.
  std::u16string pool;
};

// Locates, checks and copies the package header of the file at `path`.
// On success *error (when given) is 0. On failure returns nothing and *error
// is: 5 when access is denied, the file system's code when the file cannot be
// opened or its size cannot be queried (or a read fails), and
// kErrorBadExeFormat (193) for every malformed file: too short for the
// locator, header outside the file, wrong magic, sizes or indices out of
// range, a pool without a NUL.
std::optional<PackageHeader> ReadPackageAttributes(std::u16string_view path, uint32_t* error);

// The value of the first attribute whose name equals `name` exactly (same
// UTF-16 units, letter case significant), as a view into `header` (valid while
// the header lives and is not changed); nothing when no attribute has that
// name or the header has no attribute table.
std::optional<std::u16string_view> GetPackageAttribute(const PackageHeader& header, std::u16string_view name);

// Every attribute i < min(K, 65535) as (name, value), in table order.
std::vector<std::pair<std::u16string, std::u16string>> ListPackageAttributes(const PackageHeader& header);

}  // namespace loom
