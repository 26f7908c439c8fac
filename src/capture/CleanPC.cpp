#include "capture/CleanPC.h"

#include "capture/CaptureState.h"
#include "capture/ScanSelect.h"
#include "wizard/LoomwiseDlg.h"

namespace loom {

BOOL CleanPC::OnInitDialog() {
  SetRichText(IDC_CLEANPC_HELP, IDR_HELP_PRESCAN);
  return InnerDialog::OnInitDialog();
}

void CleanPC::OnOK() {
  if (UpdateData(true)) InnerDialog::OnOK();  // the main window starts the prescan
}

bool CleanPC::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_CLEANPC_LOCATIONS && HIWORD(wParam) == BN_CLICKED) {
    ChooseScanLocations();
    return true;
  }
  return InnerDialog::OnCommand(wParam, lParam);
}

void CleanPC::ChooseScanLocations() {
  // The dialog edits a copy: Cancel (or closing it) leaves the selection as it was.
  std::wstring selection = State().scanLocations;
  ScanSelect dialog(selection);
  // Owned by the main window, which stays disabled while the dialog is open.
  if (dialog.DoModal(GetWizard()->hwnd()) == IDOK) State().scanLocations = selection;
}

}  // namespace loom
