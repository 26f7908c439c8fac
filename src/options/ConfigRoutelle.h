// The browser-redirection page.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigRoutelle : public InnerDialog {
 public:
  explicit ConfigRoutelle(CLoomwiseDlg* wizard) : InnerDialog(IDD_CONFIG_ROUTELLE, 194, wizard) {}
  void SaveRedirectionList(const std::wstring& /*tempTxtPath*/) {}
};

}  // namespace loom
