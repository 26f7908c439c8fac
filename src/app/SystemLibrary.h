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

// Libraries that only some user actions need (opening a link, choosing a
// folder, remembered network drives): never imported, so that they stay out
// of the wizard's start-up, but loaded on their first use by OnDemand.
constexpr wchar_t kShellLibrary[] = L"shell32.dll";
constexpr wchar_t kNetworkLibrary[] = L"mpr.dll";

// The address of `function` in the system library `fileName`, which is loaded
// from the system folder on the first call; null when either is missing.
void* OnDemandFunction(const wchar_t* fileName, const char* function);

// The same, typed: OnDemand<decltype(&::ShellExecuteW)>(kShellLibrary, "ShellExecuteW").
template <typename Fn>
Fn OnDemand(const wchar_t* fileName, const char* function) {
  return reinterpret_cast<Fn>(OnDemandFunction(fileName, function));
}

}  // namespace loom
