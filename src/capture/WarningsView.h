// The warnings page: lists the warnings the tool reported during the last
// scan or save. The main window shows it only when there are any.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class WarningsView : public InnerDialog {
 public:
  explicit WarningsView(WizardHost* wizard) : InnerDialog(IDD_WARNINGS, IDS_HELP_WARNINGS, wizard) {}

  void AddWarning(const std::wstring& line);
  void ClearWarnings();
  const std::wstring& warningsText() const { return text_; }

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void UpdateControl();

  std::wstring text_;   // lines separated by "\r\n"
  bool stale_ = false;  // the control does not show text_ yet
};

}  // namespace loom
