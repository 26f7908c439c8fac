// The progress page: watches a running tool. One page serves the prescan,
// the postscan, the comparison and the saving of the project; the main
// window sets its caption, picture, help text and Stop tooltip per step and
// feeds it the tool's status lines.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ProgressView : public InnerDialog {
 public:
  explicit ProgressView(WizardHost* wizard) : InnerDialog(IDD_PROGRESS, 190, wizard) {}

  void SetGroupCaption(UINT stringId);
  void SetProgressText(const std::wstring& text);
  void SetSideBitmap(UINT bitmapId);
  void SetHelpText(UINT helpTextId);
  const std::wstring& progressText() const { return text_; }

 protected:
  UINT GetBackTooltipId() override { return 135; }
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnDestroy() override;
  void OnBackButton() override;  // Stop: asks first

 private:
  void Paint();

  std::wstring text_;
  RECT textRect_ = {};
  HDC memDc_ = nullptr;
  HBITMAP memBitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HBITMAP sideBitmap_ = nullptr;
};

}  // namespace loom
