#include "build/ReadyToBuild.h"

#include "app/Settings.h"
#include "build/BuildPlan.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "util/PathRules.h"
#include "wizard/PageValues.h"

namespace loom {
namespace {

constexpr wchar_t kSkipBuild[] = L"SkipBuild";
constexpr UINT kPackageIniLink = 219;  // "Package.ini parameters;..."
constexpr UINT kBuildCaption = 181;    // "生成"
constexpr UINT kNextCaption = 184;     // "下一步"

}  // namespace

BOOL ReadyToBuild::OnInitDialog() {
  SetRichTextWithLink(IDC_READY_HELP, IDR_HELP_PACKAGE_INI, kPackageIniLink);
  skipBuild = ReadSetting(kSettingsSection, kSkipBuild, L"0") != L"0";
  Values().buildSkipped = skipBuild;
  UpdateBuildButton();
  return InnerDialog::OnInitDialog();
}

void ReadyToBuild::DoDataExchange(DataExchange& dx) {
  InnerDialog::DoDataExchange(dx);
  dx.Check(IDC_READY_SKIP_BUILD, skipBuild);
  if (!dx.saving() || dx.failed()) return;
  WriteSetting(kSettingsSection, kSkipBuild, skipBuild ? L"1" : L"0");
  Values().buildSkipped = skipBuild;
}

void ReadyToBuild::UpdateBuildButton() { SetItemText(IDOK, LoadResString(skipBuild ? kNextCaption : kBuildCaption)); }

bool ReadyToBuild::OnClicked(int id) {
  const std::wstring& project = Values().projectFolder;
  switch (id) {
    case IDC_READY_SKIP_BUILD:
      UpdateData(true);  // the choice is stored at once
      UpdateBuildButton();
      return true;
    case IDC_READY_EDIT_INI:
      OpenUrl(ToWide(JoinPath(ToU16(project), u"Package.ini")));
      Values().packageIniOpened = true;
      return true;
    case IDC_READY_OPEN_FOLDER: OpenUrl(project); return true;
  }
  return InnerDialog::OnClicked(id);
}

void ReadyToBuild::OnOK() {
  if (UpdateData(true)) InnerDialog::OnOK();
}

}  // namespace loom
