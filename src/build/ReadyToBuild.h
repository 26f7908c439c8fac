// The ready-to-build page (step 21): edit Package.ini or open the project
// folder by hand before the build, or skip the build. The skip choice is
// stored at once and turns the Build button into Next.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ReadyToBuild : public InnerDialog {
 public:
  explicit ReadyToBuild(WizardHost* wizard) : InnerDialog(IDD_READY_TO_BUILD, 189, wizard) {}
  bool skipBuild = false;

 protected:
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  void DoDataExchange(DataExchange& dx) override;
  void OnOK() override;

 private:
  void UpdateBuildButton();
};

}  // namespace loom
