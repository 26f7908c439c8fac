// Package files of any content: the reader must never read outside what it
// was given, and every listed attribute must be found again by name.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "util/FileIo.h"
#include "util/PackageAttributes.h"
#include "util/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_package_attributes." + std::to_string(getpid());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  uint32_t error = 0;
  auto header = loom::ReadPackageAttributes(loom::Utf8ToUtf16(path), &error);
  if (!header) {
    if (error != loom::kErrorBadExeFormat) __builtin_trap();
    return 0;
  }
  if (error != 0) __builtin_trap();
  auto list = loom::ListPackageAttributes(*header);
  for (size_t i = 0; i < list.size(); ++i) {
    auto value = loom::GetPackageAttribute(*header, list[i].first);
    if (!value) __builtin_trap();
    // The first attribute of that name wins.
    size_t first = 0;
    while (list[first].first != list[i].first) ++first;
    if (*value != list[first].second) __builtin_trap();
  }
  return 0;
}
