// The package-settings page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigMSI : public InnerDialog {
 public:
  explicit ConfigMSI(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_MSI, 195, wizard) {}
};

}  // namespace loom
