// The ready-to-prescan page: explains the prescan and starts it with its
// Next button (captioned Prescan); button 1088 lets the user change the scan
// locations.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class CleanPC : public InnerDialog {
 public:
  explicit CleanPC(WizardHost* wizard) : InnerDialog(IDD_CLEANPC, 199, wizard) {}

 protected:
  UINT GetNextTooltipId() override { return 155; }
  UINT GetBackTooltipId() override { return 154; }
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  void OnOK() override;

 private:
  void ChooseScanLocations();
};

}  // namespace loom
