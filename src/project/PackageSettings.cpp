#include "project/PackageSettings.h"

#include "project/IniDocument.h"
#include "util/Text.h"

namespace loom {
namespace {

constexpr char16_t kBuildOptions[] = u"BuildOptions";
constexpr char16_t kInstallDirectorySuffix[] = u" (Corvel Wrenlow)";

void UncommentOrWrite(IniDocument& doc, std::u16string_view key, std::u16string_view value) {
  if (!doc.UncommentKey(kBuildOptions, key) && !value.empty()) doc.SetValue(kBuildOptions, key, value);
}

}  // namespace

bool SelectsDataFile(long previousEstimate, long estimate) {
  return (estimate >= kDataFileProposedFrom && previousEstimate == -1) || estimate >= kDataFileRequiredFrom;
}

PackageChoices ProposedPackageChoices(std::u16string_view inventoryName, std::u16string_view firstChosenEntry,
                                      long estimate) {
  PackageChoices c;
  c.containerChoice = SelectsDataFile(-1, estimate) ? kUseDataFile : kUseEntryPoint;
  c.entryName = std::u16string(firstChosenEntry);
  c.inventoryName = std::u16string(inventoryName);
  c.dataFileName = c.inventoryName + u".dat";
  c.msiFileName = c.inventoryName + u".msi";
  return c;
}

PackageVerdict CheckPackageChoices(const PackageChoices& c, long estimate) {
  PackageVerdict v;
  if (c.containerChoice == kUseDataFile) {
    if (c.dataFileName.empty())
      v.refusal = Refusal::FileNameMissing;
    else if (c.dataFileName.find_first_of(u"[]") != std::u16string::npos)
      v.refusal = Refusal::NameInvalid;
    if (!v.ok()) {
      v.field = PackageField::DataFile;
      return v;
    }
  } else if (estimate >= kDataFileProposedFrom) {
    v.askNonDataFile = true;
  }
  if (c.buildMsi && c.msiFileName.empty()) {
    v.refusal = Refusal::FileNameMissing;
    v.field = PackageField::MsiFile;
  }
  return v;
}

std::u16string PrimaryName(const PackageChoices& c) {
  return c.containerChoice == kUseDataFile ? c.dataFileName : c.entryName;
}

void ApplyContainerChoice(IniDocument& doc, int containerChoice, std::u16string_view primaryName,
                          std::u16string_view shortcutValue) {
  for (const std::u16string& section : doc.ListSections()) {
    if (doc.GetValue(section, u"MetaDataContainerOnly") == u"1") {
      if (containerChoice == kUseEntryPoint) {
        doc.DeleteSection(section);
      } else {
        doc.DeleteKey(section, u"Disabled");
        doc.RenameSection(section, primaryName);
      }
    } else if (!doc.GetValue(section, u"ShortCut").empty() || !doc.GetValue(section, u"ReadOnlyData").empty()) {
      if (!EqualsNoCaseUnicode(section, primaryName)) {
        doc.SetValue(section, u"Shortcut", shortcutValue);
        doc.DeleteKey(section, u"ReadOnlyData");
      } else {
        doc.DeleteKey(section, u"Shortcut");
        doc.SetValue(section, u"ReadOnlyData", u"Package.ro.tvr");
      }
    }
  }
}

void ApplyMsiChoice(IniDocument& doc, const PackageChoices& c, std::u16string_view organisation,
                    std::u16string_view owner) {
  std::u16string installDirectory = c.inventoryName + kInstallDirectorySuffix;
  if (!c.buildMsi) {
    doc.SetValue(kBuildOptions, u"MSIFilename", c.msiFileName.empty() ? c.inventoryName + u".msi" : c.msiFileName);
    doc.CommentOutKey(kBuildOptions, u"MSIFilename");
    for (const char16_t* key :
         {u"MSIManufacturer", u"MSIProductVersion", u"MSIDefaultInstallAllUsers", u"MSIRequireElevatedPrivileges"})
      doc.CommentOutKey(kBuildOptions, key);
    doc.SetValue(kBuildOptions, u"MSIInstallDirectory", installDirectory);
    doc.CommentOutKey(kBuildOptions, u"MSIInstallDirectory");
    for (const char16_t* key : {u"MSIProductCode", u"MSIUpgradeCode", u"MSIStreaming", u"MSICompressionType",
                                u"MSIArpProductIcon", u"MSIIs64Bit"})
      doc.CommentOutKey(kBuildOptions, key);
    return;
  }
  doc.SetValue(kBuildOptions, u"MSIFilename", c.msiFileName);
  UncommentOrWrite(doc, u"MSIManufacturer", organisation.empty() ? owner : organisation);
  UncommentOrWrite(doc, u"MSIProductVersion", u"1.0");
  UncommentOrWrite(doc, u"MSIDefaultInstallAllUsers", u"1");
  UncommentOrWrite(doc, u"MSIRequireElevatedPrivileges", u"1");
  doc.SetValue(kBuildOptions, u"MSIInstallDirectory", installDirectory);
  doc.UncommentKey(kBuildOptions, u"MSIUpgradeCode");
  UncommentOrWrite(doc, u"MSIStreaming", u"0");
  for (const char16_t* key : {u"MSICompressionType", u"MSIArpProductIcon", u"MSIIs64Bit"})
    doc.UncommentKey(kBuildOptions, key);
}

void ApplyCompression(IniDocument& doc, bool compress) {
  doc.SetValue(u"Compression", u"CompressionType", compress ? u"Fast" : u"None");
}

}  // namespace loom
