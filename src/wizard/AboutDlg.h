// The about box, opened from the system menu.
#pragma once

#include "framework/Dialog.h"
#include "resources/ResourceIds.h"

namespace loom {

class CAboutDlg : public Dialog {
 public:
  CAboutDlg() : Dialog(IDD_ABOUT, nullptr) {}
};

}  // namespace loom
