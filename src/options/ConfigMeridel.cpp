#include "options/ConfigMeridel.h"

#include "framework/DataExchange.h"
#include "framework/WinText.h"
#include "options/OptionDialogs_win32.h"
#include "options/BasePackage_win32.h"
#include "options/OptionEdits.h"
#include "wizard/PageValues.h"

namespace loom {

BOOL ConfigMeridel::OnInitDialog() {
  SetRichTextWithLink(IDC_PORTAL_HELP, IDR_HELP_PORTAL, 242);
  BOOL result = ProjectPage::OnInitDialog();
  UpdatePortalControls();
  return result;
}

void ConfigMeridel::Prepare() {
  ProjectPage::Prepare();
  UpdatePortalControls();
}

void ConfigMeridel::LoadFromProject(const IniDocument& doc) {
  PortalEntry e = PortalFromProject(doc);
  manageWithPortal = e.manage;
  orgUrl = ToWide(e.orgUrl);
}

void ConfigMeridel::UpdatePortalControls() {
  manageWithPortal = ItemCheck(IDC_PORTAL_MANAGE) == BST_CHECKED;
  isBaseUpdate = ItemCheck(IDC_PORTAL_BASE_UPDATE) == BST_CHECKED;
  for (int id : {IDC_PORTAL_URL_LABEL, IDC_PORTAL_URL, IDC_PORTAL_BASE_UPDATE}) EnableItem(id, manageWithPortal);
  for (int id : {IDC_PORTAL_BASE_LABEL, IDC_PORTAL_BASE_FOLDER, IDC_PORTAL_BASE_BROWSE})
    EnableItem(id, manageWithPortal && isBaseUpdate);
}

bool ConfigMeridel::OnClicked(int id) {
  switch (id) {
    case IDC_PORTAL_MANAGE:
    case IDC_PORTAL_BASE_UPDATE: UpdatePortalControls(); return true;
    case IDC_PORTAL_BASE_BROWSE: Browse(); return true;
  }
  return ProjectPage::OnClicked(id);
}

bool ConfigMeridel::OnEditChange(int id) {
  if (id != IDC_PORTAL_URL && id != IDC_PORTAL_BASE_FOLDER) return false;
  UpdatePortalControls();
  return true;
}

void ConfigMeridel::Browse() {
  basePackageFolder = ItemText(IDC_PORTAL_BASE_FOLDER);
  FolderDialogOptions o;
  o.titleString = 246;
  o.initialFolder = basePackageFolder;
  o.validateTyped = true;
  o.newFolderButton = false;
  std::wstring chosen = BrowseForFolder(hwnd_, o);
  if (chosen.empty()) return;
  basePackageFolder = chosen;
  SetItemText(IDC_PORTAL_BASE_FOLDER, chosen);
}

int ConfigMeridel::ValidateBasePackage() {
  // Nothing read from an earlier base package may outlive this check.
  BaseIdentity id;
  const int message = CheckBasePackage(basePackageFolder, id);
  baseAppId = ToWide(id.appId);
  baseInventoryName = ToWide(id.inventoryName);
  newVersionId = id.newVersionId;
  return message;
}

void ConfigMeridel::ExchangeControls(DataExchange& dx) {
  dx.Check(IDC_PORTAL_MANAGE, manageWithPortal);
  dx.Text(IDC_PORTAL_URL, orgUrl);
  dx.Check(IDC_PORTAL_BASE_UPDATE, isBaseUpdate);
  dx.Text(IDC_PORTAL_BASE_FOLDER, basePackageFolder);
  if (!dx.saving()) return;
  orgUrl = ToWide(TrimBlanks(ToU16(orgUrl)));
  if (manageWithPortal && isBaseUpdate) {
    if (int message = ValidateBasePackage()) {
      if (message == 247 || message == 249) FocusItem(IDC_PORTAL_BASE_FOLDER);
      ShowPlainMessage(hwnd_, UINT(message));
      dx.Fail(IDC_PORTAL_BASE_FOLDER);
      return;
    }
  }
  if (manageWithPortal && !orgUrl.empty() && !IsValidOrgUrl(ToU16(orgUrl))) {
    FocusItem(IDC_PORTAL_URL);
    ShowPlainMessage(hwnd_, 243);
    dx.Fail(IDC_PORTAL_URL);
    return;
  }
  PageValues& values = Values();
  values.managedByPortal = manageWithPortal;
  values.portalBaseUpdate = manageWithPortal && isBaseUpdate;
  values.baseInventoryName = values.portalBaseUpdate ? baseInventoryName : std::wstring();
}

void ConfigMeridel::ApplyToProject(IniDocument& doc) {
  PortalSettings s;
  s.manage = manageWithPortal;
  s.orgUrl = ToU16(orgUrl);
  s.baseUpdate = isBaseUpdate;
  s.baseAppId = isBaseUpdate ? ToU16(baseAppId) : std::u16string();
  s.newVersionId = newVersionId;
  ApplyPortalSettings(doc, s);
}

}  // namespace loom
