// The per-user settings store: the registry first, then Wrenlow.ini beside
// the program (or beside the package named by QM_ORIGIN, see app/Origin.h).
#pragma once

#include <string>

namespace loom {

constexpr wchar_t kSettingsSection[] = L"Loomwise";

std::wstring ReadSetting(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue);
// A number: a REG_DWORD value in the registry, else the file's entry read as a decimal number.
unsigned long ReadSettingNumber(const wchar_t* section, const wchar_t* key, unsigned long defaultValue);
void WriteSetting(const wchar_t* section, const wchar_t* key, const wchar_t* value);
struct Origin;
// Chooses the settings file by the origin read at start-up.
void UseSettingsOrigin(const Origin& origin);
// The file chosen (by the origin of this moment when none was chosen yet).
std::wstring SettingsFilePath();

// Registered owner and organisation of the Windows installation (empty when not found).
std::wstring RegisteredOwner();
std::wstring RegisteredOrganization();

}  // namespace loom
