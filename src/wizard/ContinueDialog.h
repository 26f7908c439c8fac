// The resume page shown after a restart: continue the interrupted capture
// (radio 1021, checked when the main window starts) or start a new one
// (radio 1022, which deletes the prescan snapshot). Static 1023 shows the
// file name of the prescan snapshot. The main window reads the choice.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ContinueDialog : public InnerDialog {
 public:
  explicit ContinueDialog(WizardHost* wizard) : InnerDialog(IDD_CONTINUE, 193, wizard) {}
};

}  // namespace loom
