#include "options/ConfigMeridel.h"

#include "framework/DataExchange.h"
#include "framework/WinText.h"
#include "options/OptionDialogs_win32.h"
#include "options/OptionEdits.h"

namespace loom {
namespace {

// The folder's entries in enumeration order; false (with the error code)
// when the enumeration cannot start.
bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>& entries, DWORD& error) {
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    return false;
  }
  do {
    entries.push_back({ToU16(fd.cFileName), (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  return true;
}

}  // namespace

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

void ConfigMeridel::LoadFromProject(const IniDocument& doc, bool) {
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

bool ConfigMeridel::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if ((code == BN_CLICKED && (id == IDC_PORTAL_MANAGE || id == IDC_PORTAL_BASE_UPDATE)) ||
      (code == EN_CHANGE && (id == IDC_PORTAL_URL || id == IDC_PORTAL_BASE_FOLDER))) {
    UpdatePortalControls();
    return true;
  }
  if (code == BN_CLICKED && id == IDC_PORTAL_BASE_BROWSE) {
    Browse();
    return true;
  }
  return ProjectPage::OnCommand(wParam, lParam);
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
  baseAppId.clear();
  baseInventoryName.clear();
  newVersionId = 0;
  if (basePackageFolder.empty()) return 247;
  DWORD attributes = ::GetFileAttributesW(basePackageFolder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return 249;
  std::vector<FolderEntry> entries;
  DWORD error = 0;
  BaseScan scan;
  if (!ListFolder(basePackageFolder, entries, error)) {
    scan.error = error;
  } else {
    const std::u16string folder = ToU16(basePackageFolder);
    scan = ScanBasePackage(entries, [&](std::u16string_view name, uint32_t* err) {
      return ReadPackageAttributes(folder + u"\\" + std::u16string(name), err);
    });
  }
  const BaseIdentity id = IdentityFromScan(scan);
  baseAppId = ToWide(id.appId);
  baseInventoryName = ToWide(id.inventoryName);
  newVersionId = id.newVersionId;
  return JudgeBaseScan(scan);
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
  }
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
