// The welcome page: a picture that lists the capture steps, with four
// clickable areas (a help link at its foot, the community banner, two
// knowledge-base links) and the program's version drawn into it.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class WelcomeDialog : public InnerDialog {
 public:
  explicit WelcomeDialog(WizardHost* wizard) : InnerDialog(IDD_WELCOME, 201, wizard) {}

 protected:
  UINT GetNextTooltipId() override { return 132; }
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  HBITMAP Picture() const;
  // The first hot spot holding a point of the picture's client area; -1 for none.
  int HotSpotAt(POINT pt) const;
  // Copies banner bitmap 220 (normal) or 221 (lit) into hot spot 1.
  void DrawBannerImage(UINT bitmapId);
  void OnPictureClick();

  RECT hotSpots_[4] = {};
  UINT bannerImage_ = 0;
};

}  // namespace loom
