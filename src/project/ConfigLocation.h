// The project-location and inventory-name page: proposes both on the first
// visit, keeps the location's last folder name in step with the name while
// the user types, checks the location on Next and writes the inventory name
// (also the sandbox name) into the working project file.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigLocation : public ProjectPage {
 public:
  explicit ConfigLocation(WizardHost* wizard) : ProjectPage(IDD_CONFIG_LOCATION, 214, wizard) {}

  std::wstring projectLocation;
  std::wstring inventoryName;
  std::wstring lastInventoryName;

 protected:
  UINT GetNextTooltipId() override { return 213; }
  UINT GetBackTooltipId() override { return 212; }
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  bool OnEditChange(int id) override;

  void LoadFromProject(const IniDocument& doc) override;
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;

 private:
  void NameChanged();
  void Browse();
  void Refresh();

  bool showing_ = false;  // the page fills its own edits: no name following
};

}  // namespace loom
