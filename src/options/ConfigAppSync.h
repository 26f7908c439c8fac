// The application-sync page (step 18, on the road only when the setting
// AppSyncPage is 1; otherwise its window is never created): update URL,
// update frequency, expiry when the server cannot be reached, the warning
// before it, and clearing the sandbox on update; the AppSync* keys of
// BuildOptions.
#pragma once

#include "options/OptionEdits.h"
#include "resources/ResourceIds.h"
#include "wizard/ProjectPage.h"

namespace loom {

class ConfigAppSync : public ProjectPage {
 public:
  explicit ConfigAppSync(WizardHost* wizard) : ProjectPage(IDD_CONFIG_APPSYNC, 198, wizard) {}

  AppSyncSettings settings;  // fixed defaults every run; the suggested project is not read

 protected:
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  UINT GetBackTooltipId() override { return 145; }
  UINT GetNextTooltipId() override { return 146; }
  void LoadFromProject(const IniDocument&) override {}
  void ExchangeControls(DataExchange& dx) override;
  void ApplyToProject(IniDocument& doc) override;

 private:
  void UpdateSyncControls();
  void ExchangePeriod(DataExchange& dx, int editId, int comboId, bool withNever, SyncPeriod& period);
};

// The system's URL parser (loaded from the system folder for the check and
// released afterwards): true for an http, https or file URL, and when the
// parser is not available.
bool IsAcceptedSyncUrl(const std::wstring& url);

}  // namespace loom
