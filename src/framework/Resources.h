// The program's own resources: strings, help texts, pictures.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace loom {

HINSTANCE AppInstance();

// String-table entry N of a module (the program's own by default); empty when missing.
std::wstring LoadResString(UINT id, HMODULE module = nullptr);

// Bytes of a custom resource (type given by name, e.g. L"RTFTEXT"); empty view when missing.
std::string_view LoadResBytes(UINT id, const wchar_t* type, HMODULE module = nullptr);

// Splits a link entry "caption;URL" at its first ';'. Without ';' the
// caption is empty and the whole text is the URL.
void SplitLink(const std::wstring& entry, std::wstring& caption, std::wstring& url);

}  // namespace loom
