// The sandbox-location page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigSandbox : public InnerDialog {
 public:
  explicit ConfigSandbox(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_SANDBOX, 208, wizard) {}
};

}  // namespace loom
