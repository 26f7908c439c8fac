#include "options/ConfigQualityAgent.h"

#include "framework/DataExchange.h"
#include "options/OptionEdits.h"

namespace loom {

bool ConfigQualityAgent::OnClicked(int id) {
  if (id != IDC_QUALITY_SEND && id != IDC_QUALITY_DONT_SEND) return ProjectPage::OnClicked(id);
  // The two buttons are separate groups: the page clears the other one.
  SetItemCheck(id == IDC_QUALITY_SEND ? IDC_QUALITY_DONT_SEND : IDC_QUALITY_SEND, false);
  EnableItem(IDOK, true);
  return true;
}

void ConfigQualityAgent::ExchangeControls(DataExchange& dx) {
  dx.Check(IDC_QUALITY_SEND, sendReports);
  if (!dx.saving()) SetItemCheck(IDC_QUALITY_DONT_SEND, !sendReports);
}

void ConfigQualityAgent::ApplyToProject(IniDocument& doc) { ApplyQualityReporting(doc, sendReports); }

}  // namespace loom
