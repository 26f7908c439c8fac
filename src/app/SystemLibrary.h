// Loads platform DLLs from the system folder only, so a DLL of the same name
// planted beside a capture's files (or in the current folder) is never used.
#pragma once

#include <windows.h>

namespace loom {

// Restricts the process's default DLL search to the system folder where the
// platform allows it. Called once at start-up.
void HardenDllSearch();

// LoadLibrary of the file of that name in the system folder.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

}  // namespace loom
