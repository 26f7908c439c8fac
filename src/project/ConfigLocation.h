// The project-location and inventory-name page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigLocation : public InnerDialog {
 public:
  explicit ConfigLocation(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_LOCATION, 214, wizard) {}
  std::wstring projectLocation;
  std::wstring inventoryName;
};

}  // namespace loom
