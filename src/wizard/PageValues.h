// What one page decides for later pages, in the order of the steps that
// decide it. The main window owns the one instance: a page writes its part
// when it is saved (Next) and reads what it needs when it is prepared; the
// main window takes the switches of the road (StepSwitches) from here.
//
//   step  page            writes                                  read by
//   start main window     appSyncPageEnabled                      road, package settings (tooltip)
//   9     AppListSelect   chosenEntries, firstChosenBrowser,      road, browser redirection,
//                         suggestedInventoryName                  project location, package settings
//   10    ConfigMeridel   managedByPortal, portalBaseUpdate,      road, project location
//                         baseInventoryName
//   16    ConfigLocation  inventoryName, projectFolder            package settings, generation, build
//   21    ReadyToBuild    buildSkipped, packageIniOpened          build page, its title
#pragma once

#include <string>
#include <vector>

namespace loom {

struct PageValues {
  bool appSyncPageEnabled = false;  // setting AppSyncPage = 1: step 18 is on the road

  std::vector<std::wstring> chosenEntries;  // display names of the checked entry points, in row order
  std::wstring firstChosenBrowser;          // display name of the first checked browser entry ("" = none)
  std::wstring suggestedInventoryName;

  bool managedByPortal = false;    // the groups page is skipped
  bool portalBaseUpdate = false;   // the portal manages an update of a base package
  std::wstring baseInventoryName;  // that base package's inventory name (possibly empty)

  std::wstring inventoryName;
  std::wstring projectFolder;  // in its one normal form (no trailing separators, a root keeps its backslash)

  bool buildSkipped = false;      // stored at once when the box is clicked
  bool packageIniOpened = false;  // build.bat is rewritten for a changed OutDir only then
};

}  // namespace loom
