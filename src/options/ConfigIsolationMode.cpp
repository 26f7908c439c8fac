#include "options/ConfigIsolationMode.h"

#include "framework/DataExchange.h"
#include "options/OptionEdits.h"

namespace loom {

BOOL ConfigIsolationMode::OnInitDialog() {
  isolationChoice = 0;  // the page always opens on the merged mode
  SetRichTextWithLink(IDC_ISOLATION_HELP, IDR_HELP_ISOLATION, 211);
  return ProjectPage::OnInitDialog();
}

void ConfigIsolationMode::ExchangeControls(DataExchange& dx) {
  dx.Radio(IDC_ISOLATION_MERGED, IDC_ISOLATION_WRITECOPY, isolationChoice);
}

void ConfigIsolationMode::ApplyToProject(IniDocument& doc) { ApplyIsolationMode(doc, isolationChoice == 1); }

}  // namespace loom
