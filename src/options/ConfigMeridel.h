// The portal-integration page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigMeridel : public InnerDialog {
 public:
  explicit ConfigMeridel(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_MERIDEL, 241, wizard) {}
  bool manageWithPortal = false;  // portal integration switch
};

}  // namespace loom
