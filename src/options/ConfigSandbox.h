// The sandbox-location page (step 12): the user profile (no key), the
// application's own folder ("."), or a custom folder, written as SandboxPath
// in BuildOptions. The choice is taken from the working project file once per
// run; later entries keep the user's edits.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigSandbox : public ProjectPage {
 public:
  explicit ConfigSandbox(WizardHost* wizard) : ProjectPage(IDD_CONFIG_SANDBOX, 208, wizard) {}

  // LoadSandboxChoice: the file's choice on the first entry, then the controls.
  void Prepare() override;

  int sandboxChoice = -1;    // 0 profile, 1 application folder, 2 custom; -1 before the first entry
  std::wstring sandboxPath;  // the custom folder (may be in macro form)

 protected:
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  bool OnEditChange(int id) override;
  UINT GetBackTooltipId() override { return 206; }
  UINT GetNextTooltipId() override { return 207; }
  void LoadFromProject(const IniDocument& doc) override;
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;

 private:
  void UpdateSandboxControls();
  void Browse();
};

}  // namespace loom
