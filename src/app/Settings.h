// The per-user settings store: the registry first, then Wrenlow.ini beside
// the program (or beside the package named by QM_ORIGIN).
#pragma once

#include <string>

namespace loom {

constexpr wchar_t kSettingsSection[] = L"Loomwise";

std::wstring ReadSetting(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue);
// A number: a REG_DWORD value in the registry, else the file's entry read as a decimal number.
unsigned long ReadSettingNumber(const wchar_t* section, const wchar_t* key, unsigned long defaultValue);
void WriteSetting(const wchar_t* section, const wchar_t* key, const wchar_t* value);
std::wstring SettingsFilePath();

// Registered owner and organisation of the Windows installation (empty when not found).
std::wstring RegisteredOwner();
std::wstring RegisteredOrganization();

}  // namespace loom
