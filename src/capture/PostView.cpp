#include "capture/PostView.h"

#include "app/Settings.h"
#include "framework/DataExchange.h"

namespace loom {
namespace {

constexpr wchar_t kSkipConfirmation[] = L"SkipInstallationConfirmation";
constexpr UINT kCommunityLink = 205;  // "Corvel Wrenlow Community;..."
constexpr UINT kLearnMoreLink = 245;  // "Learn more.;..."

}  // namespace

// --- Install page ------------------------------------------------------------

BOOL PostView::OnInitDialog() {
  ieSelection = 0;
  SetRichTextWithLinks(IDC_POST_HELP, IDR_HELP_INSTALL, kCommunityLink, kLearnMoreLink);
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
  HKEY key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Internet Explorer", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  wchar_t buf[32] = {};  // 64 bytes
  DWORD type = 0, size = sizeof buf;
  LONG rc = ::RegQueryValueExW(key, L"Version", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  ::RegCloseKey(key);
  return rc == ERROR_SUCCESS && type == REG_SZ && size >= 2 * sizeof(wchar_t) && buf[0] == L'6' && buf[1] == L'.';
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
