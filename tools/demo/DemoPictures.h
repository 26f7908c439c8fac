// What both demos share: their console output, the numbered pictures of the
// wizard's pages, and a copy of the project they built.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

#include "WizardDriver.h"

namespace loomdemo {

inline std::wstring g_out;  // the folder the pictures go to
inline int g_shot = 0;      // the number of the last picture

// Output as UTF-8 bytes, so Chinese titles survive a pipe or a log file.
inline void Say(const std::wstring& text) {
  std::string bytes = loomtest::Narrow(text + L"\n");
  DWORD put = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &put, nullptr);
}

// Saves the window (default: the wizard's main window) as the next numbered
// picture, named after `what`; returns its path.
inline std::wstring Shot(loomtest::Wizard& w, const std::wstring& what, HWND window = nullptr) {
  wchar_t prefix[16];
  swprintf(prefix, 16, L"%02d-", ++g_shot);
  std::wstring name;
  for (wchar_t c : what) name += (wcschr(L"\\/:*?\"<>| ", c) ? L'_' : c);
  std::wstring path = g_out + L"\\" + prefix + name + L".bmp";
  w.Screenshot(path, window);
  return path;
}

// Copies a folder with everything in it.
inline void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + L"\\" + name, to + L"\\" + name);
    else
      CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

}  // namespace loomdemo
