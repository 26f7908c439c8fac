// The quality-reporting page (step 14, shown only when the branding module
// switches it on): QualityReportingEnabled in BuildOptions.
#pragma once

#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigQualityAgent : public ProjectPage {
 public:
  explicit ConfigQualityAgent(WizardHost* wizard) : ProjectPage(IDD_CONFIG_QUALITY, 194, wizard) {}

  bool sendReports = true;  // radio 1097; each radio is a group of its own

 protected:
  bool OnClicked(int id) override;
  void LoadFromProject(const IniDocument&) override {}
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;
};

}  // namespace loom
