#include "capture/WarningsView.h"

namespace loom {

void WarningsView::AddWarning(const std::wstring& line) {
  if (!text_.empty()) text_ += L"\r\n";
  text_ += line;
  SetItemText(IDC_WARNINGS_TEXT, text_);
}

void WarningsView::ClearWarnings() {
  text_.clear();
  SetItemText(IDC_WARNINGS_TEXT, text_);
}

}  // namespace loom
