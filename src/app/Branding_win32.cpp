#include "app/Branding.h"

#include "capture/CaptureState.h"
#include "capture/ScanTool.h"
#include "framework/Resources.h"

namespace loom {

bool LoadBrandingModule() {
  CaptureState& st = State();
  if (st.brandingModule) return true;
  if (st.brandingLoadAttempted) {
    ::SetLastError(ERROR_MOD_NOT_FOUND);
    return false;
  }
  std::wstring folder = ProgramFolder() + L"\\";
  for (const wchar_t* rel : {L"Branding.dll", L"..\\modules\\Branding.dll", L"..\\..\\modules\\Branding.dll",
                             L"..\\..\\..\\modules\\Branding.dll"}) {
    // Data only: no code of the module runs, and its resources are read as images.
    st.brandingModule =
        ::LoadLibraryExW((folder + rel).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (st.brandingModule) break;
  }
  st.brandingLoadAttempted = true;
  if (!st.brandingModule) ::SetLastError(ERROR_MOD_NOT_FOUND);
  return st.brandingModule != nullptr;
}

std::wstring BrandingString(UINT id) {
  if (!LoadBrandingModule()) return std::wstring();
  return LoadResString(id, State().brandingModule);
}

HBITMAP BrandingBitmap(UINT id) {
  if (!LoadBrandingModule()) return nullptr;
  return static_cast<HBITMAP>(
      ::LoadImageW(State().brandingModule, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

std::wstring BrandingBuildScript() {
  if (!LoadBrandingModule()) return std::wstring();
  std::string_view bytes = LoadResBytes(kBrandBuildScript, L"TEXT", State().brandingModule);
  if (bytes.empty()) return std::wstring();
  std::string narrow(bytes);  // the copy ends at its terminating zero, as a C text would
  narrow.resize(strlen(narrow.c_str()));
  int n = ::MultiByteToWideChar(CP_ACP, 0, narrow.data(), int(narrow.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, narrow.data(), int(narrow.size()), wide.data(), n);
  return wide;
}

bool QualityReportingEnabled() { return BrandingString(kBrandQualityReportingSwitch) == L"1"; }

}  // namespace loom
