// The quality-reporting page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigQualityAgent : public InnerDialog {
 public:
  explicit ConfigQualityAgent(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_QUALITY, 194, wizard) {}
};

}  // namespace loom
