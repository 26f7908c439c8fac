#include "project/ConfigLocation.h"

#include <shlobj.h>

#include "capture/ScanTool.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "project/EntryPoints.h"
#include "project/LocationPlatform_win32.h"
#include "project/ProjectLocation.h"
#include "util/PathRules.h"
#include "wizard/PageValues.h"

namespace loom {
namespace {

constexpr UINT kTitleString = 57344;
constexpr UINT kOverwriteQuestion = 130;
constexpr UINT kBrowseTitle = 216;

int CALLBACK SelectOnOpen(HWND picker, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

}  // namespace

BOOL ConfigLocation::OnInitDialog() {
  BOOL r = ProjectPage::OnInitDialog();
  Refresh();
  return r;
}

void ConfigLocation::LoadFromProject(const IniDocument&) {
  if (!inventoryName.empty()) return;
  inventoryName = Values().suggestedInventoryName;
  projectLocation = ToWide(ProposedLocation(ToU16(LocationBase()), ToU16(inventoryName)));
  lastInventoryName = inventoryName;
}

void ConfigLocation::ExchangeControls(DataExchange& dx) {
  if (!dx.saving()) {
    showing_ = true;
    dx.Text(IDC_LOCATION_NAME, inventoryName);
    dx.Text(IDC_LOCATION_PATH, projectLocation);
    showing_ = false;
    Refresh();
    return;
  }
  std::wstring name, location;
  dx.Text(IDC_LOCATION_NAME, name);
  dx.Text(IDC_LOCATION_PATH, location);
  IniDocument doc;
  bool loaded = LoadWorkingProject(doc);
  long estimate = loaded ? ProfileInteger(doc.GetValue(u"BuildOptions", u"EstimatedDataContainerSize")) : 0;
  // With an update of a base package the hidden name box does not count:
  // the base package's name is the one written.
  const std::wstring& baseName = Values().baseInventoryName;
  const bool byBase = Values().portalBaseUpdate && !baseName.empty();
  Win32Location platform;
  // Not a drive's root, nor a folder of the captured application (where the capture tool would refuse it).
  LocationVerdict v = CheckLocation(ToU16(byBase ? baseName : name), ToU16(location), estimate, platform,
                                    loaded ? CapturedFolders(doc) : std::vector<std::u16string>());
  std::wstring title = LoadResString(kTitleString);
  if (!v.ok()) {
    ::MessageBoxW(GetWizard()->hwnd(), LoadResString(UINT(v.message)).c_str(), title.c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
    dx.Fail(v.focus);
    return;
  }
  if (v.askOverwrite && ::MessageBoxW(GetWizard()->hwnd(), LoadResString(kOverwriteQuestion).c_str(), title.c_str(),
                                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    dx.Fail(IDC_LOCATION_PATH);
    return;
  }
  inventoryName = byBase ? ToWide(Trimmed(ToU16(name))) : ToWide(v.name);
  projectLocation = location;
  Values().inventoryName = inventoryName;
  Values().projectFolder = ToWide(NormalFolder(ToU16(projectLocation)));
}

void ConfigLocation::ApplyToProject(IniDocument& doc) {
  ApplyInventoryName(doc,
                     NameToWrite(ToU16(inventoryName), Values().portalBaseUpdate, ToU16(Values().baseInventoryName)));
}

bool ConfigLocation::OnClicked(int id) {
  if (id != IDC_LOCATION_BROWSE) return ProjectPage::OnClicked(id);
  Browse();
  return true;
}

bool ConfigLocation::OnEditChange(int id) {
  switch (id) {
    case IDC_LOCATION_NAME:
      if (!showing_) NameChanged();
      return true;
    case IDC_LOCATION_PATH: Refresh(); return true;
  }
  return false;
}

void ConfigLocation::NameChanged() {
  inventoryName = ItemText(IDC_LOCATION_NAME);
  projectLocation =
      ToWide(FollowName(ToU16(ItemText(IDC_LOCATION_PATH)), ToU16(lastInventoryName), ToU16(inventoryName)));
  showing_ = true;
  if (ItemText(IDC_LOCATION_PATH) != projectLocation) SetItemText(IDC_LOCATION_PATH, projectLocation);
  showing_ = false;
  lastInventoryName = inventoryName;
  Refresh();
}

void ConfigLocation::Browse() {
  projectLocation = ItemText(IDC_LOCATION_PATH);
  ::CoInitialize(nullptr);
  std::wstring title = LoadResString(kBrowseTitle);
  BROWSEINFOW info{};
  info.hwndOwner = GetWizard()->hwnd();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
  info.lpfn = SelectOnOpen;
  info.lParam = projectLocation.empty() ? 0 : reinterpret_cast<LPARAM>(projectLocation.c_str());
  PIDLIST_ABSOLUTE picked = ::SHBrowseForFolderW(&info);
  if (picked) {
    wchar_t path[MAX_PATH];
    if (::SHGetPathFromIDListW(picked, path)) {
      projectLocation = path;
      SetItemText(IDC_LOCATION_PATH, projectLocation);
    }
    ::CoTaskMemFree(picked);
  }
  ::CoUninitialize();
}

void ConfigLocation::Refresh() {
  const std::wstring& baseName = Values().baseInventoryName;
  const bool baseUpdate = Values().portalBaseUpdate;
  // An update of a base package keeps that package's name: a fixed line
  // instead of the name box.
  ShowItem(IDC_LOCATION_NAME_LABEL, !baseUpdate);
  ShowItem(IDC_LOCATION_NAME, !baseUpdate);
  ShowItem(IDC_LOCATION_FIXED_NAME, baseUpdate);
  bool hasPath = !ItemText(IDC_LOCATION_PATH).empty();
  if (baseUpdate) {
    // "库存名称："
    SetItemText(IDC_LOCATION_FIXED_NAME,
                L"\u5e93\u5b58\u540d\u79f0\uff1a" + (baseName.empty() ? ItemText(IDC_LOCATION_NAME) : baseName));
    EnableItem(IDOK, hasPath);
  } else {
    EnableItem(IDOK, hasPath && !ItemText(IDC_LOCATION_NAME).empty());
  }
}

}  // namespace loom
