#include "capture/PostView.h"

#include "app/Registry_win32.h"
#include "app/Settings.h"
#include "framework/DataExchange.h"

namespace loom {
namespace {

constexpr wchar_t kSkipConfirmation[] = L"SkipInstallationConfirmation";

}  // namespace

// --- Install page ------------------------------------------------------------

BOOL PostView::OnInitDialog() {
  ieSelection = 0;
  SetRichTextWithLinks(IDC_POST_HELP, IDR_HELP_INSTALL, IDS_LINK_COMMUNITY, IDS_LINK_LEARN_MORE);
  return InnerDialog::OnInitDialog();
}

void PostView::OnOK() {
  if (ReadSetting(kSettingsSection, kSkipConfirmation, L"0") != L"1") {
    InstallationConfirmation confirm;
    if (confirm.DoModal(GetWizard()->hwnd()) != IDOK) return;
  }
  InnerDialog::OnOK();  // the main window starts the postscan
}

bool PostView::OnClicked(int id) {
  if (id != IDC_POST_IE) return InnerDialog::OnClicked(id);
  ChooseBrowserEntryPoints();
  return true;
}

void PostView::ChooseBrowserEntryPoints() {
  int choice = ieSelection;
  InternetExplorerDlg dialog(choice, this);
  if (dialog.DoModal(GetWizard()->hwnd()) != IDOK) return;
  ieSelection = choice;
  GetWizard()->SetResumeEntry(true);  // a restart during the installation keeps the choice
}

// --- Installation confirmation -------------------------------------------------

BOOL InstallationConfirmation::OnInitDialog() {
  skipNextTime = 1;
  return Dialog::OnInitDialog();
}

void InstallationConfirmation::DoDataExchange(DataExchange& dx) {
  bool skip = skipNextTime != 0;
  dx.Check(IDC_CONFIRM_SKIP, skip);
  if (!dx.saving()) return;
  skipNextTime = skip ? 1 : 0;
  // An unchecked box writes nothing: an earlier "1" stays.
  if (skip) WriteSetting(kSettingsSection, kSkipConfirmation, L"1");
}

// --- Browser entry points ------------------------------------------------------

bool InternetExplorer6Installed() {
  // A "6." version that fits in 64 bytes with its terminating NUL.
  std::wstring version;
  return ReadRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version", version) &&
         version.size() >= 2 && version.size() < 32 && version[0] == L'6' && version[1] == L'.';
}

BOOL InternetExplorerDlg::OnInitDialog() {
  bool ie6 = InternetExplorer6Installed();
  EnableItem(IDC_IE_VIRTUAL, ie6);
  EnableItem(IDC_IE_VIRTUAL_NOTE, ie6);
  return Dialog::OnInitDialog();
}

void InternetExplorerDlg::DoDataExchange(DataExchange& dx) {
  dx.Radio({IDC_IE_NONE, IDC_IE_SYSTEM, IDC_IE_VIRTUAL}, choice_);
}

}  // namespace loom
