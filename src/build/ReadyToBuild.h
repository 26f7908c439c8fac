// The ready-to-build page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ReadyToBuild : public InnerDialog {
 public:
  explicit ReadyToBuild(CLoomwiseDlg* wizard) : InnerDialog(IDD_READY_TO_BUILD, 189, wizard) {}
  bool skipBuild = false;
};

}  // namespace loom
