#include "util/PackageAttributesWriter.h"

#include "util/Text.h"

namespace loom {
namespace {

void PutLe(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::optional<std::string> MakePackageFile(const PackageAttributeList& attributes, std::string_view body) {
  constexpr size_t kLocatorOffset = 64, kHeaderOffset = 80, kTableOffset = 22;
  if (attributes.size() > 0xFFFF) return std::nullopt;
  // The pool: every name, then every value, each NUL-terminated.
  std::u16string pool;
  std::vector<size_t> names, values;
  for (const auto& a : attributes) {
    names.push_back(pool.size());
    pool += a.first + u'\0';
  }
  for (const auto& a : attributes) {
    values.push_back(pool.size());
    pool += a.second + u'\0';
  }
  if (pool.size() > 0xFFFF) return std::nullopt;

  std::string header = "wren";
  header.append(6, '\0');
  PutLe(header, 0, 2);  // no records
  header.append(4, '\0');
  PutLe(header, 0, 2);  // no external data file
  PutLe(header, kTableOffset, 2);
  PutLe(header, 0, 2);
  PutLe(header, attributes.size(), 2);
  for (size_t n : names) PutLe(header, n, 2);
  for (size_t v : values) {
    PutLe(header, v, 2);
    PutLe(header, 0, 2);
  }
  header += ToUtf16LeBytes(pool);
  if (header.size() > 0xFFFFFFFFu) return std::nullopt;

  std::string file = "MZ";
  file.resize(kLocatorOffset, '\0');
  PutLe(file, kHeaderOffset, 8);
  PutLe(file, header.size(), 4);
  PutLe(file, 0, 4);
  file += header;
  file.append(body);
  return file;
}

}  // namespace loom
