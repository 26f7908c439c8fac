// Conversions between the portable core's UTF-16 text (char16_t) and the
// Windows API's wide text (wchar_t, also UTF-16 on Windows).
#pragma once

#include <string>
#include <string_view>

namespace loom {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

inline std::wstring ToWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string ToU16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }
inline const wchar_t* AsWide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline const char16_t* AsU16(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

// printf-style formatting into a wide string ("%ls" for wide text, "%d" for numbers).
std::wstring FormatW(const wchar_t* format, ...);

}  // namespace loom
