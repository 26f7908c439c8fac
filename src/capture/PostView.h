// The install page: the user installs the application, then starts the postscan.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class PostView : public InnerDialog {
 public:
  explicit PostView(CLoomwiseDlg* wizard) : InnerDialog(IDD_POST, 191, wizard) {}
  int ieSelection = 0;  // browser entry-point choice, 0 to 2
};

}  // namespace loom
