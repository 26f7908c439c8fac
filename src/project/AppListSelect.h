// The entry-points page: the candidate executables of the working project
// file as a checkable list with icons; the unchosen ones are saved with
// "Disabled=1". Row i shows entry i of the shared entry-point list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "project/EntryPoints.h"
#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class AppListSelect : public ProjectPage {
 public:
  explicit AppListSelect(WizardHost* wizard) : ProjectPage(IDD_APPLIST, 200, wizard) {}
  ~AppListSelect() override;

 protected:
  UINT GetNextTooltipId() override { return 140; }
  UINT GetBackTooltipId() override { return 139; }
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT& result) override;

  void LoadFromProject(const IniDocument& doc) override;
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;

 private:
  // Handed on when saved: the display names of the checked rows in row
  // order, the display name of the first checked browser entry (empty when
  // there is none), and the inventory name the list suggests.
  std::vector<std::wstring> ChosenNames() const;
  std::wstring FirstChosenBrowser() const;
  std::wstring SuggestedInventoryName() const;
  RowChecks Checks() const;
  // Sets the rows' check boxes as the page's own change (no rules run).
  void ShowChecks(const RowChecks& checks);
  void Fill();
  void AppendRow(int index);
  void ShowDebugRows(bool show);
  // The user set every row on or off, row by row, each through the rules.
  void SetAllByUser(bool on);
  void UserChangedRow(int row);
  void Refresh();

  HIMAGELIST images_ = nullptr;
  bool ownChange_ = false;  // the page itself is changing rows or check boxes
};

}  // namespace loom
