// The warnings page: lists the warnings the tool reported during the last
// scan or save. The main window shows it only when there are any.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class WarningsView : public InnerDialog {
 public:
  explicit WarningsView(WizardHost* wizard) : InnerDialog(IDD_WARNINGS, 202, wizard) {}

  void AddWarning(const std::wstring& line);
  void ClearWarnings();
  const std::wstring& warningsText() const { return text_; }

 private:
  std::wstring text_;  // lines separated by "\r\n"
};

}  // namespace loom
