// The build page (step 22): runs vregtool.exe, vftool.exe and tlink.exe one
// after the other on the generated project, shows their output live, lets
// the user stop the build, and ends the wizard with Finish (optionally
// opening the folder of the built executables). When the build was skipped
// on the ready-to-build page it offers only Finish.
#pragma once

#include <windows.h>

#include <string>

#include "build/BuildOutputView.h"
#include "resources/ResourceIds.h"
#include "wizard/InnerDialog.h"

namespace loom {

class FinishedView : public InnerDialog {
 public:
  explicit FinishedView(WizardHost* wizard);
  ~FinishedView() override;

  // Entering the step: set up for a build (and start it) or a skipped build.
  void Prepare() override { SetupBuildPage(); }
  // Back from the step: no timer, no tool, buttons enabled again.
  void LeaveBuildPage();

 protected:
  UINT GetNextTooltipId() override { return 149; }
  UINT GetBackTooltipId() override { return 148; }
  BOOL OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;
  void OnTimer(UINT_PTR id) override;
  void OnOK() override { OnFinishClicked(); }
  void OnCancel() override {}  // Cancel and Escape do nothing here
  void OnBackButton() override { StopBuild(); }
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void SetupBuildPage();
  void StartBuild();
  void AdvanceBuild(DWORD exitCode);
  void EndBuild(UINT messageId);
  void StopBuild();
  void OnFinishClicked();
  void RefreshOutput();
  std::wstring ProjectFolder() const;

  BuildOutputView output_;     // what the tools wrote, shared with their reader
  std::wstring outputFolder_;  // OutDir of the current build, in normal form
  int buildStage_ = 4;         // 4 = idle or ended, 0 = starting, 1..3 = the tool of that stage runs
  bool skipped_ = false;
  bool openFolderOnFinish_ = true;
};

}  // namespace loom
