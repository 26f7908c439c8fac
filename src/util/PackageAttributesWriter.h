// Writer of the package layout that ReadPackageAttributes reads: a file that
// begins with a 64-byte stub ("MZ"), the header locator at offset 64, the
// package header with its attribute table, then the package's body.
// Used by the stand-in link tool, so that packages built with the stand-ins
// carry real attribute tables.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace loom {

using PackageAttributeList = std::vector<std::pair<std::u16string, std::u16string>>;

// The bytes of a package file carrying `attributes` (in this order) and
// `body` behind the header. Nothing when the table does not fit the header's
// 16-bit offsets and indices.
std::optional<std::string> MakePackageFile(const PackageAttributeList& attributes, std::string_view body = {});

}  // namespace loom
