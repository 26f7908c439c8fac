// The authorized-groups page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigAuth : public InnerDialog {
 public:
  explicit ConfigAuth(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_AUTH, 197, wizard) {}
};

}  // namespace loom
