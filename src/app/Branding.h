// The optional resource-only branding module (Branding.dll): product name,
// first banner picture, quality-reporting switch, build-script template.
#pragma once

#include <windows.h>

#include <string>

namespace loom {

constexpr UINT kBrandProductName = 12000;
constexpr UINT kBrandQualityReportingSwitch = 12004;
constexpr UINT kBrandBannerBitmap = 12100;
constexpr UINT kBrandBuildScript = 12102;

// Loads the module once per run, as a data file only; later calls answer
// from the first attempt (last error 126 after a failed one).
bool LoadBrandingModule();
std::wstring BrandingString(UINT id);  // empty when the module or string is missing
HBITMAP BrandingBitmap(UINT id);       // null when missing
std::wstring BrandingBuildScript();    // "TEXT" 12102 widened; empty when missing

// The quality-reporting page is shown only when string 12004 is exactly "1".
bool QualityReportingEnabled();

}  // namespace loom
