#include "capture/WarningsView.h"

namespace loom {

void WarningsView::AddWarning(const std::wstring& line) {
  if (!text_.empty()) text_ += L"\r\n";
  text_ += line;
  UpdateControl();
}

void WarningsView::ClearWarnings() {
  text_.clear();
  UpdateControl();
}

// A scan may report thousands of warnings, each setting the whole text
// again: while the page is hidden (or not made yet) the control takes the
// text once, when the page is shown.
void WarningsView::UpdateControl() {
  stale_ = !hwnd_ || !(::GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
  if (!stale_) SetItemText(IDC_WARNINGS_TEXT, text_);
}

bool WarningsView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_SHOWWINDOW && wParam && stale_) {
    SetItemText(IDC_WARNINGS_TEXT, text_);
    stale_ = false;
  }
  return InnerDialog::OnMessage(msg, wParam, lParam, result);
}

}  // namespace loom
