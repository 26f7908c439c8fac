// The isolation-mode page (step 13): merged or write-copy file-system
// isolation, written as [Isolation] DirectoryIsolationMode.
#pragma once

#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigIsolationMode : public ProjectPage {
 public:
  explicit ConfigIsolationMode(WizardHost* wizard) : ProjectPage(IDD_CONFIG_ISOLATION, 196, wizard) {}

  int isolationChoice = -1;  // 0 merged (1090), 1 write-copy (1091); 0 from the page's creation

 protected:
  BOOL OnInitDialog() override;
  UINT GetBackTooltipId() override { return 143; }
  UINT GetNextTooltipId() override { return 144; }
  void LoadFromProject(const IniDocument&) override {}
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;
};

}  // namespace loom
