// The platform's answers about a project location, for CheckLocation: the
// location page and the unattended capture ask the same questions.
#pragma once

#include "project/ProjectLocation.h"

namespace loom {

class Win32Location : public LocationPlatform {
 public:
  Kind Lookup(const std::u16string& path) override;
  std::u16string FullPath(const std::u16string& path) override;
  std::optional<uint64_t> FreeBytes(const std::u16string& folder) override;
  bool HasEntries(const std::u16string& folder) override;
};

}  // namespace loom
