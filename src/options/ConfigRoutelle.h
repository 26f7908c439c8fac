// The browser-redirection page (step 15, shown only when a chosen entry
// point is a browser): names the captured browser and collects the sites to
// redirect to it. At the start of the project's save (step 19) the list goes
// into a temporary text file whose path is recorded as Routelle in
// BuildOptions.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class ConfigRoutelle : public InnerDialog {
 public:
  explicit ConfigRoutelle(WizardHost* wizard) : InnerDialog(IDD_CONFIG_ROUTELLE, 194, wizard) {}

  // LoadBrowserName: the detected browser into 1118.
  void Prepare() override;
  // SaveRedirectFile: writes the list to `path` (a new file) and records it;
  // with no list to write, removes the key an earlier save of this run wrote.
  // The previous list file is deleted first.
  void SaveRedirectionList(const std::wstring& path);
  // Deletes the list file, with the other temporary files.
  void DeleteListFile();

  std::wstring redirectList;  // edit 1050, one site or page pattern per line

 protected:
  UINT GetBackTooltipId() override { return 143; }
  UINT GetNextTooltipId() override { return 144; }
  void DoDataExchange(DataExchange& dx) override;

 private:
  std::wstring listPath_;  // the list file this run wrote last, recorded as Routelle
};

}  // namespace loom
