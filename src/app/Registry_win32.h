// The one reader of registry strings.
#pragma once

#include <windows.h>

#include <string>

namespace loom {

// The string value `name` of root\subkey, read whole (the buffer grows to
// fit), one terminating NUL dropped. False when the key or the value is
// missing, or the value is not a REG_SZ of whole characters (with `anyType`
// any type is taken as text).
bool ReadRegistryString(HKEY root, const wchar_t* subkey, const wchar_t* name, std::wstring& value,
                        bool anyType = false);

}  // namespace loom
