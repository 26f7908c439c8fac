// The application-sync page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigAppSync : public InnerDialog {
 public:
  explicit ConfigAppSync(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_APPSYNC, 198, wizard) {}
};

}  // namespace loom
