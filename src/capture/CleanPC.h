// The ready-to-prescan page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class CleanPC : public InnerDialog {
 public:
  explicit CleanPC(CLoomwiseDlg* wizard) : InnerDialog(IDD_CLEANPC, 199, wizard) {}
};

}  // namespace loom
