// The package-settings page (Next reads Save): the primary data container
// (one of the chosen entry points or a separate data file), an MSI package
// and its file name, compression.
#pragma once

#include <string>

#include "project/PackageSettings.h"
#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigMSI : public ProjectPage {
 public:
  explicit ConfigMSI(WizardHost* wizard) : ProjectPage(IDD_CONFIG_MSI, 195, wizard) {}

  int containerChoice = 0;  // 0 an entry point, 1 a separate data file
  std::wstring dataFileName;
  bool buildMsi = false;
  std::wstring msiFileName;
  bool compress = false;
  long estimatedSize = -1;  // -1 until the first visit reads it

 protected:
  UINT GetNextTooltipId() override;
  UINT GetBackTooltipId() override { return 143; }
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;

  void LoadFromProject(const IniDocument& doc) override;
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;

 private:
  void Refresh();
  PackageChoices Choices() const;  // the page's choices, for the checks and the edit
  std::wstring entryName_;         // the combo box's selection when saved
  bool visited_ = false;
};

}  // namespace loom
