#include <gtest/gtest.h>

#include "IniText.h"
#include "project/IniDocument.h"
#include "project/PackageSettings.h"
#include "util/Text.h"

using namespace loom;
using namespace loom::test;

namespace {

const char16_t kProject[] =
    u"\uFEFF[Compression]\r\nCompressionType=None\r\n\r\n"
    u"[BuildOptions]\r\n;-- MSI --\r\n;MSIFilename=old.msi\r\n;MSIProductVersion=2.5\r\nMSIStreaming=1\r\n"
    u";MSIProductCode={P}\r\n;MSIUpgradeCode={U}\r\n\r\n"
    u"[App.exe]\r\nSource=a\r\nReadOnlyData=Package.ro.tvr\r\n\r\n"
    u"[Tool.exe]\r\nSource=t\r\nShortcut=App.exe\r\n\r\n"
    u"[Other]\r\nKey=1\r\n\r\n"
    u"[Data.dat]\r\nMetaDataContainerOnly=1\r\nDisabled=1\r\nShortcut=x\r\n";

}  // namespace

TEST(PackageSettingsChoice, ThresholdsAndChecks) {
  struct {
    long previous, estimate;
    bool selects;
  } thresholds[] = {{-1, 150, false}, {-1, 200, true}, {300, 300, false}, {-1, 1536, true}, {2000, 2000, true}};
  for (const auto& t : thresholds) EXPECT_EQ(SelectsDataFile(t.previous, t.estimate), t.selects) << t.estimate;

  PackageChoices entry;
  entry.entryName = u"App.exe";
  PackageChoices data;
  data.containerChoice = kUseDataFile;
  data.dataFileName = u"App.dat";
  struct {
    const char* what;
    PackageChoices c;
    long estimate;
    Refusal refusal;
    PackageField field;
    bool ask;
  } cases[] = {
      {"entry point, small package", entry, 150, Refusal::None, PackageField::None, false},
      {"entry point, large package asks", entry, 200, Refusal::None, PackageField::None, true},
      {"data file", data, 5000, Refusal::None, PackageField::None, false},
      {"empty data file name",
       [&] {
         auto c = data;
         c.dataFileName.clear();
         return c;
       }(),
       0, Refusal::FileNameMissing, PackageField::DataFile, false},
      {"bracket in the data file name",
       [&] {
         auto c = data;
         c.dataFileName = u"A]";
         return c;
       }(),
       0, Refusal::NameInvalid, PackageField::DataFile, false},
      {"MSI without a name",
       [&] {
         auto c = entry;
         c.buildMsi = true;
         return c;
       }(),
       0, Refusal::FileNameMissing, PackageField::MsiFile, false},
      {"no MSI, no name needed", entry, 0, Refusal::None, PackageField::None, false},
  };
  for (const auto& c : cases) {
    PackageVerdict v = CheckPackageChoices(c.c, c.estimate);
    EXPECT_EQ(v.refusal, c.refusal) << c.what;
    EXPECT_EQ(v.field, c.field) << c.what;
    EXPECT_EQ(v.askNonDataFile, c.ask) << c.what;
  }
  EXPECT_EQ(PrimaryName(entry), u"App.exe");
  EXPECT_EQ(PrimaryName(data), u"App.dat");
}

TEST(PackageSettingsSave, ContainerOnAnEntryPointOrADataFile) {
  const std::u16string app = u"Source=a\r\nReadOnlyData=Package.ro.tvr";
  const std::u16string data = u"[Data.dat]\r\nMetaDataContainerOnly=1\r\nDisabled=1\r\nShortcut=x\r\n";
  IniDocument d = Doc(kProject);
  ApplyContainerChoice(d, kUseEntryPoint, u"tool.EXE", u"tool.EXE");
  EXPECT_EQ(d.Text(), Edited(kProject, {{app, u"Shortcut=tool.EXE\r\nSource=a"},
                                        {u"Source=t\r\nShortcut=App.exe", u"ReadOnlyData=Package.ro.tvr\r\nSource=t"},
                                        {data, u""}}));

  d = Doc(kProject);
  ApplyContainerChoice(d, kUseDataFile, u"My#App.dat", u"My#23App.dat");
  EXPECT_EQ(d.Text(), Edited(kProject, {{app, u"Shortcut=My#23App.dat\r\nSource=a"},
                                        {u"Shortcut=App.exe", u"Shortcut=My#23App.dat"},
                                        {data, u"[My#App.dat]\r\nMetaDataContainerOnly=1\r\nShortcut=x\r\n"}}));
}

TEST(PackageSettingsSave, MsiKeysAndCompression) {
  PackageChoices c;
  c.inventoryName = u"App";
  IniDocument d = Doc(kProject);
  ApplyMsiChoice(d, c, u"Org", u"Owner");
  ApplyCompression(d, true);
  // Every MSI key commented out; the file name and install folder written first.
  EXPECT_EQ(
      d.Text(),
      Edited(kProject, {{u"=None", u"=Fast"},
                        {u"old.msi", u"App.msi"},
                        {u"\r\nMSIStreaming=1", u"\r\n;MSIInstallDirectory=App (Corvel Wrenlow)\r\n;MSIStreaming=1"}}));

  c.buildMsi = true;
  c.msiFileName = u"Setup.msi";
  d = Doc(kProject);
  ApplyMsiChoice(d, c, u"", u"Owner");
  ApplyCompression(d, false);
  struct {
    const char16_t *key, *value;
  } expected[] = {{u"MSIFilename", u"Setup.msi"},
                  {u"MSIManufacturer", u"Owner"},
                  {u"MSIProductVersion", u"2.5"},
                  {u"MSIDefaultInstallAllUsers", u"1"},
                  {u"MSIRequireElevatedPrivileges", u"1"},
                  {u"MSIInstallDirectory", u"App (Corvel Wrenlow)"},
                  {u"MSIUpgradeCode", u"{U}"},
                  {u"MSIStreaming", u"1"},
                  {u"MSIProductCode", u""}};
  for (const auto& e : expected) EXPECT_EQ(d.GetValue(u"BuildOptions", e.key), e.value) << Utf16ToUtf8(e.key);
  EXPECT_EQ(d.GetValue(u"Compression", u"CompressionType"), u"None");

  d = Doc(kProject);
  ApplyMsiChoice(d, c, u"", u"");
  EXPECT_EQ(d.Text().find(u"MSIManufacturer"), std::u16string::npos) << "nothing to write";
}
