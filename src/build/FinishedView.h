// The build-output page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class FinishedView : public InnerDialog {
 public:
  explicit FinishedView(CLoomwiseDlg* wizard) : InnerDialog(IDD_FINISHED, 192, wizard) {}
  void LeaveBuildPage() {}
};

}  // namespace loom
