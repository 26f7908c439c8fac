// The decisions and edits of the package-settings page: which file is the
// primary data container, whether an MSI package is built, compression.
#pragma once

#include <string>
#include <string_view>

#include "util/Refusal.h"

namespace loom {

class IniDocument;

// Megabytes of EstimatedDataContainerSize: from the first a separate data
// file is proposed (on the first visit) and an entry point needs the user's
// confirmation; from the second it is the only choice.
constexpr long kDataFileProposedFrom = 200;
constexpr long kDataFileRequiredFrom = 1536;

// Container choices (the radio group's index).
constexpr int kUseEntryPoint = 0;
constexpr int kUseDataFile = 1;

// True when the separate data file is to be selected on entering the page;
// `previousEstimate` is -1 on the first visit.
bool SelectsDataFile(long previousEstimate, long estimate);

struct PackageChoices {
  int containerChoice = kUseEntryPoint;
  std::u16string entryName;  // the combo box's selection
  std::u16string dataFileName;
  bool buildMsi = false;
  std::u16string msiFileName;
  bool compress = false;
  std::u16string inventoryName;
};

// What the page proposes on its first visit: the separate data file for a
// large package (SelectsDataFile), the first chosen entry point, and the data
// and MSI files named after the inventory name.
PackageChoices ProposedPackageChoices(std::u16string_view inventoryName, std::u16string_view firstChosenEntry,
                                      long estimate);

// The box a refusal concerns.
enum class PackageField { None, DataFile, MsiFile };

struct PackageVerdict {
  Refusal refusal = Refusal::None;  // told with an OK button
  PackageField field = PackageField::None;
  bool askNonDataFile = false;  // an entry point as container of a large package: ask first
  bool ok() const { return refusal == Refusal::None; }
};

// The checks before anything is written: the data file name when the data
// file is chosen (empty: FileNameMissing; "[" or "]": NameInvalid), the
// container question, the MSI file name when an MSI is wanted (empty:
// FileNameMissing).
PackageVerdict CheckPackageChoices(const PackageChoices& choices, long estimate);

// The primary name: the data file's name or the chosen entry point's.
std::u16string PrimaryName(const PackageChoices& choices);

// Container save. `shortcutValue` is the primary name as a Shortcut value
// (escaped for the project file).
void ApplyContainerChoice(IniDocument& doc, int containerChoice, std::u16string_view primaryName,
                          std::u16string_view shortcutValue);
// MSI save: the MSI keys of BuildOptions commented out, or made active with
// their defaults; the manufacturer is the organisation, else the owner.
void ApplyMsiChoice(IniDocument& doc, const PackageChoices& choices, std::u16string_view organisation,
                    std::u16string_view owner);
// Compression save: CompressionType Fast or None.
void ApplyCompression(IniDocument& doc, bool compress);

}  // namespace loom
