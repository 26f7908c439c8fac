// The authorized-groups page (step 11, skipped when the portal manages the
// package): everyone, or only the directory groups listed (chosen with the
// system's object picker, or its older user browser), and the message shown
// to everyone else; PermittedGroups and AccessDeniedMsg in BuildOptions.
#pragma once

#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigAuth : public ProjectPage {
 public:
  explicit ConfigAuth(WizardHost* wizard) : ProjectPage(IDD_CONFIG_AUTH, 197, wizard) {}

  int groupChoice = 0;           // 0 everyone (1105), 1 only the listed groups (1106)
  std::wstring permittedGroups;  // the list joined with ";", as the list is filled from
  std::wstring accessDeniedMsg;  // string 110 from the page's creation

 protected:
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT& result) override;
  UINT GetBackTooltipId() override { return 141; }
  UINT GetNextTooltipId() override { return 142; }
  void LoadFromProject(const IniDocument&) override {}
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;

 private:
  void UpdateAuthControls();
  void PickGroups();
  void AddGroups(const std::vector<std::wstring>& names);
  std::vector<std::u16string> ListedGroups() const;
  void FillGroupList();

  ListView list_;
};

}  // namespace loom
