#include "build/ReadyToBuild.h"

#include "app/Settings.h"
#include "build/BuildPlan.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "util/PathRules.h"
#include "wizard/LoomwiseDlg.h"

namespace loom {
namespace {

constexpr wchar_t kSkipBuild[] = L"SkipBuild";

}  // namespace

BOOL ReadyToBuild::OnInitDialog() {
  SetRichTextWithLink(IDC_READY_HELP, IDR_HELP_PACKAGE_INI, IDS_LINK_PACKAGE_INI);
  skipBuild = ReadSetting(kSettingsSection, kSkipBuild, L"0") != L"0";
  UpdateBuildButton();
  return InnerDialog::OnInitDialog();
}

void ReadyToBuild::DoDataExchange(DataExchange& dx) {
  InnerDialog::DoDataExchange(dx);
  dx.Check(IDC_READY_SKIP_BUILD, skipBuild);
  if (dx.saving() && !dx.failed()) WriteSetting(kSettingsSection, kSkipBuild, skipBuild ? L"1" : L"0");
}

void ReadyToBuild::UpdateBuildButton() { SetItemText(IDOK, LoadResString(skipBuild ? IDS_NEXT : IDS_BUILD)); }

bool ReadyToBuild::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    std::wstring project = ToWide(NormalFolder(ToU16(GetWizard()->ProjectFolder())));
    switch (LOWORD(wParam)) {
      case IDC_READY_SKIP_BUILD:
        UpdateData(true);  // the choice is stored at once
        UpdateBuildButton();
        return true;
      case IDC_READY_EDIT_INI:
        OpenUrl(ToWide(JoinPath(ToU16(project), u"Package.ini")));
        GetWizard()->SetPackageIniOpened();
        return true;
      case IDC_READY_OPEN_FOLDER: OpenUrl(project); return true;
    }
  }
  return InnerDialog::OnCommand(wParam, lParam);
}

void ReadyToBuild::OnOK() {
  if (UpdateData(true)) InnerDialog::OnOK();
}

}  // namespace loom
