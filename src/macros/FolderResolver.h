// Finding the folder of a CSIDL number from the registry and the system,
// row by row of the resolver table (FolderTables.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "macros/FolderPlatform.h"

namespace loom {

// Returns 0 with the folder in `path` (at most 259 characters), or a failure
// code: the last failing row's code, 0x80070002 when a row failed without
// one, or 0x80070057 when no row admits the CSIDL on this Windows version.
// `extraAccess` is added to the access of every registry key it opens.
uint32_t ResolveFolder(const FolderPlatform& platform, uint32_t csidl, std::u16string& path, uint32_t extraAccess);

// Reads a registry value as a path: a plain string is used as it is; an
// expandable string is expanded and rejected (13) when a "%" remains; any
// other type is rejected (13). A result that does not fit a 260-character
// buffer is rejected (234). Otherwise the platform's error code.
uint32_t ReadRegistryPath(const FolderPlatform& platform, RegistryRoot root, std::u16string_view subkey,
                          std::u16string_view valueName, uint32_t extraAccess, std::u16string& path);

}  // namespace loom
