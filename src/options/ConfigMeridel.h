// The portal-integration page (step 10): whether the portal manages the
// package (then the groups page is skipped), its organisation URL, and the
// update of a portal-enabled base package whose identity is read from the
// attribute table of its package files. The keys it inserts live in the
// portal block of BuildOptions.
#pragma once

#include <cstdint>
#include <string>

#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigMeridel : public ProjectPage {
 public:
  explicit ConfigMeridel(WizardHost* wizard) : ProjectPage(IDD_CONFIG_MERIDEL, 241, wizard) {}

  // LoadPortalSettings: the portal state from the working project file.
  void Prepare() override;

  bool manageWithPortal = false;  // portal integration switch (check box 1121)
  std::wstring orgUrl;
  bool isBaseUpdate = false;
  std::wstring basePackageFolder;
  // Read from the base package at the last validation (cleared by every new one).
  std::wstring baseAppId;
  std::wstring baseInventoryName;
  uint32_t newVersionId = 0;

 protected:
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  bool OnEditChange(int id) override;
  UINT GetBackTooltipId() override { return 239; }
  UINT GetNextTooltipId() override { return 240; }
  void LoadFromProject(const IniDocument& doc) override;
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;

 private:
  void UpdatePortalControls();
  void Browse();
  // Message string of a failed check of the base package, 0 when it passed.
  int ValidateBasePackage();
};

}  // namespace loom
