// The welcome page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class WelcomeDialog : public InnerDialog {
 public:
  explicit WelcomeDialog(CLoomwiseDlg* wizard) : InnerDialog(IDD_WELCOME, 201, wizard) {}
};

}  // namespace loom
