// The install page: the user installs the application, then starts the
// postscan with the Next button (captioned Postscan). Button 1020 chooses
// how Internet Explorer entry points are made.
#pragma once

#include <string>

#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class PostView : public InnerDialog {
 public:
  explicit PostView(WizardHost* wizard) : InnerDialog(IDD_POST, 191, wizard) {}

  // Browser entry points: 0 none, 1 the system's Internet Explorer run
  // inside the package, 2 a fully virtualised Internet Explorer.
  int ieSelection = 0;

 protected:
  UINT GetNextTooltipId() override { return 137; }
  UINT GetBackTooltipId() override { return 136; }
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  void OnOK() override;

 private:
  void ChooseBrowserEntryPoints();
};

// Asked before the postscan: is the application fully installed? Its check
// box (checked at first) turns the question off for good.
class InstallationConfirmation : public Dialog {
 public:
  InstallationConfirmation() : Dialog(IDD_INSTALL_CONFIRMATION, nullptr) {}
  int skipNextTime = 0;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;
};

// The choice of browser entry points. The fully virtualised form needs
// Internet Explorer 6 on this system and is offered only then.
class InternetExplorerDlg : public Dialog {
 public:
  InternetExplorerDlg(int& choice, Dialog* parent) : Dialog(IDD_IE_ENTRY_POINTS, parent), choice_(choice) {}

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;

 private:
  int& choice_;
};

// Internet Explorer 6: HKLM "SOFTWARE\Microsoft\Internet Explorer" value
// "Version", a string of at most 64 bytes that begins with "6.".
bool InternetExplorer6Installed();

}  // namespace loom
