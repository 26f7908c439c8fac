// The project-location and inventory-name page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigLocation : public InnerDialog {
 public:
  explicit ConfigLocation(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_LOCATION, 214, wizard) {}

  // Proposes the inventory name and a project folder beside the program
  // (or beside the package named by QM_ORIGIN) the first time.
  void Prepare() override;

  std::wstring projectLocation;
  std::wstring inventoryName;
  std::wstring lastInventoryName;
};

}  // namespace loom
