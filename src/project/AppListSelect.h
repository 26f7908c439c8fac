// The entry-points page.
#pragma once

#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class AppListSelect : public InnerDialog {
 public:
  explicit AppListSelect(CLoomwiseDlg* wizard) : InnerDialog(IDD_APPLIST, 200, wizard) {}

  // What the later pages read: the display names of the checked rows in row
  // order, the display name of the first checked browser entry (empty when
  // there is none), and the inventory name the list suggests.
  std::vector<std::wstring> ChosenNames() const { return {}; }
  std::wstring FirstChosenBrowser() const { return {}; }
  std::wstring SuggestedInventoryName() const { return {}; }
};

}  // namespace loom
