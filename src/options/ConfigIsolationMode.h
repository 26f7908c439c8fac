// The isolation-mode page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigIsolationMode : public InnerDialog {
 public:
  explicit ConfigIsolationMode(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_ISOLATION, 196, wizard) {}
};

}  // namespace loom
