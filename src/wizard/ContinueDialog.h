// The resume page shown after a restart.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ContinueDialog : public InnerDialog {
 public:
  explicit ContinueDialog(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONTINUE, 193, wizard) {}
};

}  // namespace loom
