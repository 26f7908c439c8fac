// The small icon of an entry-point row: an icon group of an executable (by
// position), an icon file, a bitmap file, else the standard application icon.
#pragma once

#include <windows.h>

#include <string>

namespace loom {

// `location` is the Icon value (or the Source) with its folder macros
// expanded. The result is the caller's to destroy; never null.
HICON LoadEntryIcon(const std::wstring& location);

}  // namespace loom
