// The about box, opened from the system menu: the version and a link to the
// maker's pages.
#pragma once

#include "framework/Dialog.h"
#include "resources/ResourceIds.h"

namespace loom {

class CAboutDlg : public Dialog {
 public:
  CAboutDlg() : Dialog(IDD_ABOUT, nullptr) {}

 protected:
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  std::wstring url_;
};

}  // namespace loom
