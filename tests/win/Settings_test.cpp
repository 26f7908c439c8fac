// Settings store and branding module, on the real registry and files.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/Branding.h"
#include "app/Origin.h"
#include "app/Settings.h"
#include "build/BuildPlan.h"
#include "capture/CaptureState.h"
#include "capture/ScanTool.h"
#include "framework/WinText.h"
#include "macros/FolderPlatform.h"

using namespace loom;

namespace {

const wchar_t kKey[] = L"Software\\Corvel, Inc.\\Corvel Wrenlow\\LoomwiseTest";
const wchar_t kSection[] = L"LoomwiseTest";

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    ::SetEnvironmentVariableW(L"QM_ORIGIN", nullptr);
    ::SetEnvironmentVariableW(L"QUILLMARK_BIN", nullptr);
    UseSettingsOrigin(ReadOrigin(SystemFolderPlatform(), ToU16(ProgramPath())));
    ::DeleteFileW(SettingsFilePath().c_str());
  }
  void TearDown() override { SetUp(); }

  static void WriteRegistry(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
  }
  static void WriteFileValue(const wchar_t* name, const wchar_t* value) {
    ::WritePrivateProfileStringW(kSection, name, value, SettingsFilePath().c_str());
  }
};

}  // namespace

TEST_F(SettingsTest, RegistryWinsOverTheFileAndWritingUpdatesBoth) {
  WriteFileValue(L"SkipBuild", L"0");
  const wchar_t one[] = L"1";
  WriteRegistry(L"SkipBuild", REG_SZ, one, sizeof one);
  EXPECT_EQ(ReadSetting(kSection, L"SkipBuild", L"x"), L"1");

  WriteSetting(kSection, L"OpenFolderOnFinish", L"0");
  EXPECT_EQ(ReadSetting(kSection, L"OpenFolderOnFinish", L"1"), L"0");
  wchar_t fromFile[16] = {};
  ::GetPrivateProfileStringW(kSection, L"OpenFolderOnFinish", L"", fromFile, 16, SettingsFilePath().c_str());
  EXPECT_STREQ(fromFile, L"0");
}

TEST_F(SettingsTest, OtherValueTypesAreIgnoredAndTheDefaultComesLast) {
  DWORD number = 1;
  WriteRegistry(L"SkipBuild", REG_DWORD, &number, sizeof number);
  WriteFileValue(L"SkipBuild", L"from file");
  EXPECT_EQ(ReadSetting(kSection, L"SkipBuild", L"0"), L"from file");
  EXPECT_EQ(ReadSetting(kSection, L"Missing", L"default"), L"default");

  // A long value is read whole (the registry query grows its buffer).
  std::wstring longValue(2000, L'x');
  WriteRegistry(L"Long", REG_SZ, longValue.c_str(), DWORD((longValue.size() + 1) * 2));
  EXPECT_EQ(ReadSetting(kSection, L"Long", L""), longValue);
}

// The origin is read whole from the environment: a QM_ORIGIN too long for a
// path still counts as set (the tools start from the program's folder).
TEST_F(SettingsTest, OriginIsReadWholeAndTheSettingsFileFollowsIt) {
  EXPECT_EQ(SettingsFilePath(), ProgramFolder() + L"\\Wrenlow.ini");
  ::SetEnvironmentVariableW(L"QM_ORIGIN", L"C:\\packages\\app.exe");
  UseSettingsOrigin(ReadOrigin(SystemFolderPlatform(), u"C:\\Prog\\L.exe"));
  EXPECT_EQ(SettingsFilePath(), L"C:\\packages\\Wrenlow.ini");

  ::SetEnvironmentVariableW(L"QM_ORIGIN", std::wstring(1100, L'x').c_str());
  ::SetEnvironmentVariableW(L"QUILLMARK_BIN", L"C:\\bin");
  const Origin origin = ReadOrigin(SystemFolderPlatform(), u"C:\\Prog\\L.exe");
  EXPECT_TRUE(origin.set);
  EXPECT_EQ(BuildToolFolder(origin), u"C:\\Prog");
}

TEST(Branding, FoundBesideTheProgramWithItsResources) {
  // The build tree holds the sample module beside the test program.
  ASSERT_TRUE(LoadBrandingModule());
  EXPECT_FALSE(BrandingString(kBrandProductName).empty());
  EXPECT_TRUE(QualityReportingEnabled());
  HBITMAP banner = BrandingBitmap(kBrandBannerBitmap);
  EXPECT_NE(banner, nullptr);
  if (banner) ::DeleteObject(banner);
  std::wstring script = BrandingBuildScript();
  EXPECT_NE(script.find(L"%INSTALLDIR%"), std::wstring::npos);
  EXPECT_NE(script.find(L"TARGET_DIR="), std::wstring::npos);
  EXPECT_TRUE(BrandingString(4242).empty());
}
