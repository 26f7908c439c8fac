#include "capture/CleanPC.h"

#include "capture/CaptureState.h"
#include "capture/ScanSelect.h"

namespace loom {

BOOL CleanPC::OnInitDialog() {
  SetRichText(IDC_CLEANPC_HELP, IDR_HELP_PRESCAN);
  return InnerDialog::OnInitDialog();
}

void CleanPC::OnOK() {
  if (UpdateData(true)) InnerDialog::OnOK();  // the main window starts the prescan
}

bool CleanPC::OnClicked(int id) {
  if (id != IDC_CLEANPC_LOCATIONS) return InnerDialog::OnClicked(id);
  ChooseScanLocations();
  return true;
}

void CleanPC::ChooseScanLocations() {
  // The dialog edits a copy: Cancel (or closing it) leaves the selection as it was.
  std::wstring selection = State().scanLocations;
  ScanSelect dialog(selection);
  // Owned by the main window, which stays disabled while the dialog is open.
  if (dialog.DoModal(GetWizard()->hwnd()) == IDOK) State().scanLocations = selection;
}

}  // namespace loom
