#include "app/SystemLibrary.h"

#include <string>

namespace loom {

void HardenDllSearch() {
  ::SetDllDirectoryW(L"");  // the current folder leaves the search path
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto fn = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (fn) fn(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  wchar_t dir[MAX_PATH];
  UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  std::wstring path(dir, n);
  path += L'\\';
  path += fileName;
  return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* OnDemandFunction(const wchar_t* fileName, const char* function) {
  HMODULE library = ::GetModuleHandleW(fileName);
  if (!library) library = LoadSystemLibrary(fileName);  // kept for the rest of the process
  return library ? reinterpret_cast<void*>(::GetProcAddress(library, function)) : nullptr;
}

}  // namespace loom
