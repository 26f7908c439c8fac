#include "project/ConfigLocation.h"

#include <shlobj.h>

#include "app/Origin.h"
#include "capture/ScanTool.h"
#include "framework/DataExchange.h"
#include "framework/Messages.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "options/OptionDialogs_win32.h"
#include "project/EntryPoints.h"
#include "project/LocationPlatform_win32.h"
#include "project/ProjectLocation.h"
#include "resources/RefusalStrings.h"
#include "util/PathRules.h"
#include "wizard/PageValues.h"

namespace loom {
namespace {

// The boxes the location checks name.
constexpr int kFieldControls[] = {0, IDC_LOCATION_NAME, IDC_LOCATION_PATH};  // by LocationField
static_assert(int(LocationField::Location) == 2);

}  // namespace

BOOL ConfigLocation::OnInitDialog() {
  BOOL r = ProjectPage::OnInitDialog();
  Refresh();
  return r;
}

void ConfigLocation::LoadFromProject(const IniDocument&) {
  if (!inventoryName.empty()) return;
  inventoryName = Values().suggestedInventoryName;
  projectLocation = ToWide(ProposedLocation(GetWizard()->GetOrigin().OriginOrProgramPath(), ToU16(inventoryName)));
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
  if (!v.ok()) {
    ShowMessage(hwnd_, RefusalString(v.refusal), MB_OK | MB_ICONEXCLAMATION);
    dx.Fail(kFieldControls[int(v.field)]);
    return;
  }
  if (v.askOverwrite &&
      ShowMessage(hwnd_, IDS_LOCATION_OVERWRITE, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
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
  FolderDialogOptions options;
  options.titleString = IDS_LOCATION_BROWSE_TITLE;
  options.initialFolder = projectLocation;
  std::wstring chosen = BrowseForFolder(GetWizard()->hwnd(), options);
  if (chosen.empty()) return;
  projectLocation = chosen;
  SetItemText(IDC_LOCATION_PATH, projectLocation);
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
    SetItemText(IDC_LOCATION_FIXED_NAME,
                LoadResString(IDS_INVENTORY_NAME_LABEL) + (baseName.empty() ? ItemText(IDC_LOCATION_NAME) : baseName));
    EnableItem(IDOK, hasPath);
  } else {
    EnableItem(IDOK, hasPath && !ItemText(IDC_LOCATION_NAME).empty());
  }
}

}  // namespace loom
