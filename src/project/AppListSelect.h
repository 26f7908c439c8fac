// The entry-points page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class AppListSelect : public InnerDialog {
 public:
  explicit AppListSelect(CLoomwiseDlg* wizard) : InnerDialog(IDD_APPLIST, 200, wizard) {}
};

}  // namespace loom
