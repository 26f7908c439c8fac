#include "project/EntryIcons.h"

#include <vector>

#include "framework/WinText.h"
#include "project/EntryPoints.h"

namespace loom {
namespace {

constexpr int kSize = 16;

// True when the file is a Windows executable image; reads only within the file.
bool IsExecutableImage(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool image = false;
  LARGE_INTEGER size{};
  char head[64];
  DWORD got = 0;
  if (::GetFileSizeEx(file, &size) && ::ReadFile(file, head, sizeof head, &got, nullptr)) {
    uint32_t offset = PeSignatureOffset(std::string_view(head, got), uint64_t(size.QuadPart));
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    char sig[4];
    if (offset != 0 && ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ::ReadFile(file, sig, 4, &got, nullptr))
      image = IsPeSignature(std::string_view(sig, got));
  }
  ::CloseHandle(file);
  return image;
}

BOOL CALLBACK CollectGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
  auto* names = reinterpret_cast<std::vector<std::wstring>*>(param);
  // Numbered groups are kept as "#n", which FindResource accepts as well.
  names->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
  return TRUE;
}

HICON IconOfExecutable(const std::wstring& path, long index) {
  if (index < 0) return nullptr;
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return nullptr;
  std::vector<std::wstring> groups;
  ::EnumResourceNamesW(module, RT_GROUP_ICON, CollectGroup, reinterpret_cast<LONG_PTR>(&groups));
  HICON icon = nullptr;
  if (size_t(index) < groups.size())
    icon = static_cast<HICON>(::LoadImageW(module, groups[size_t(index)].c_str(), IMAGE_ICON, kSize, kSize, 0));
  ::FreeLibrary(module);
  return icon;
}

HICON IconOfBitmap(const std::wstring& path) {
  HBITMAP loaded = static_cast<HBITMAP>(
      ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, kSize, kSize, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!loaded) return nullptr;
  // A 32-bit colour picture of 16 by 16 pixels with an empty mask.
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = kSize;
  bi.bmiHeader.biHeight = kSize;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HBITMAP color = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC from = ::CreateCompatibleDC(screen), to = ::CreateCompatibleDC(screen);
  HGDIOBJ oldFrom = ::SelectObject(from, loaded), oldTo = ::SelectObject(to, color);
  ::BitBlt(to, 0, 0, kSize, kSize, from, 0, 0, SRCCOPY);
  ::SelectObject(from, oldFrom);
  ::SelectObject(to, oldTo);
  ::DeleteDC(from);
  ::DeleteDC(to);
  ::ReleaseDC(nullptr, screen);
  HBITMAP mask = ::CreateBitmap(kSize, kSize, 1, 1, nullptr);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = color && mask ? ::CreateIconIndirect(&info) : nullptr;
  if (mask) ::DeleteObject(mask);
  if (color) ::DeleteObject(color);
  ::DeleteObject(loaded);
  return icon;
}

}  // namespace

HICON LoadEntryIcon(const std::wstring& location) {
  IconLocation at = ParseIconLocation(ToU16(location));
  std::wstring path = ToWide(at.path);
  HICON icon = nullptr;
  if (IsExecutableImage(path)) {
    icon = IconOfExecutable(path, at.index);
  } else {
    icon = static_cast<HICON>(::LoadImageW(nullptr, path.c_str(), IMAGE_ICON, kSize, kSize, LR_LOADFROMFILE));
    if (!icon) icon = IconOfBitmap(path);
  }
  if (!icon) icon = ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
  return icon;
}

}  // namespace loom
