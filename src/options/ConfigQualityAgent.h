// The quality-reporting page (step 14, shown only when the branding module
// switches it on): QualityReportingEnabled in BuildOptions.
#pragma once

#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigQualityAgent : public ProjectPage {
 public:
  explicit ConfigQualityAgent(CLoomwiseDlg* wizard)
      : ProjectPage(IDD_CONFIG_QUALITY, IDS_HELP_QUALITY_REDIRECTION, wizard) {}

  bool sendReports = true;  // radio 1097; each radio is a group of its own

 protected:
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  void LoadFromProject(const IniDocument&, bool) override {}
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;
};

}  // namespace loom
