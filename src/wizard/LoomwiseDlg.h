// The wizard's one top-level window: owns every page as a modeless child,
// keeps the current step, runs the scan tool on the tool steps, judges each
// run on its timer, and moves on or back.
#pragma once

#include <windows.h>

#include <string>

#include "build/FinishedView.h"
#include "build/ReadyToBuild.h"
#include "capture/CleanPC.h"
#include "capture/PostView.h"
#include "capture/ProgressView.h"
#include "capture/WarningsView.h"
#include "capture/WelcomeDialog.h"
#include "framework/Dialog.h"
#include "options/ConfigAppSync.h"
#include "options/ConfigAuth.h"
#include "options/ConfigIsolationMode.h"
#include "options/ConfigMeridel.h"
#include "options/ConfigQualityAgent.h"
#include "options/ConfigRoutelle.h"
#include "options/ConfigSandbox.h"
#include "project/AppListSelect.h"
#include "project/ConfigLocation.h"
#include "project/ConfigMSI.h"
#include "wizard/ContinueDialog.h"
#include "wizard/Steps.h"
#include "wizard/TransparentText.h"

namespace loom {

// Output lines of the running tool, sent by its reader (lParam: the text).
constexpr UINT WM_TOOL_INFO = WM_APP;
constexpr UINT WM_TOOL_WARNING = WM_APP + 1;
constexpr UINT WM_TOOL_ERROR = WM_APP + 2;
constexpr UINT WM_TOOL_STARTING = WM_APP + 3;  // a tool starts: the error text is emptied

class CLoomwiseDlg : public Dialog {
 public:
  CLoomwiseDlg();
  ~CLoomwiseDlg() override;

  void GoToStep(int step);
  void OnNext();
  void OnBack();
  void OnCancel() override;

  // Writes (on) or deletes (off) the resume value; with a command line, that
  // command line is re-registered under the current program path.
  void SetResumeEntry(bool on, const wchar_t* commandLine = nullptr);

  // The project folder in its one normal form (no trailing separators, a
  // root keeps its backslash), used by the generation and the build.
  std::wstring ProjectFolder() const;
  const AppListSelect& EntryPointsPage() const { return appList_; }
  const ConfigLocation& LocationPage() const { return location_; }
  bool AppSyncPageEnabled() const { return appSyncPageEnabled_ != 0; }
  // True when the portal page manages an update of a base package; its
  // inventory name (possibly empty) then goes to `baseInventoryName`.
  bool PortalBaseUpdate(std::wstring* baseInventoryName) const;
  void SetPackageIniOpened() { packageIniOpened_ = true; }
  bool packageIniOpened() const { return packageIniOpened_; }
  bool BuildSkipped() const { return readyToBuild_.skipBuild; }
  // OutDir of section BuildOptions of the project's Package.ini ("" when unset).
  std::wstring ReadOutDir() const;
  // Rewrites the project's build.bat for a changed output folder, once
  // Package.ini was opened for editing.
  void UpdateBuildScript();
  const std::wstring& errorText() const { return errorText_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;
  void OnTimer(UINT_PTR id) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  InnerDialog* PageFor(PageId id);
  StepSwitches Switches() const;
  void ShowStepPage();
  void UpdateBanner();
  void UpdateTitle();
  void RunStepAction();
  void JudgeToolStep(DWORD exitCode);
  void DeleteTemporaryFiles(unsigned mask);
  void ResumeChoice();
  void DecideResumeAtStartup();
  void ShowError(const std::wstring& text);  // a tool step's failure, captioned "Error"
  void RunStepTool(const std::wstring& commandLine);

  InnerDialog* currentPage_ = nullptr;
  CleanPC cleanPC_{this};
  ProgressView progress_{this};
  WarningsView warnings_{this};
  PostView post_{this};
  FinishedView finished_{this};
  WelcomeDialog welcome_{this};
  ContinueDialog continue_{this};
  AppListSelect appList_{this};
  ConfigMeridel meridel_{this};
  ConfigAuth auth_{this};
  ConfigSandbox sandbox_{this};
  ConfigIsolationMode isolation_{this};
  ConfigQualityAgent quality_{this};
  ConfigRoutelle routelle_{this};
  ConfigLocation location_{this};
  ConfigMSI msi_{this};
  ConfigAppSync appSync_{this};
  ReadyToBuild readyToBuild_{this};

  // The one table of pages, in the order their windows are created. A new
  // page is a member above, a row here, a row in the step table and its
  // template in the resources.
  struct PageRow {
    PageId id;
    InnerDialog* page;
  };
  const PageRow pages_[18] = {
      {PageId::CleanPC, &cleanPC_},
      {PageId::Progress, &progress_},
      {PageId::Warnings, &warnings_},
      {PageId::Post, &post_},
      {PageId::AppListSelect, &appList_},
      {PageId::ConfigMeridel, &meridel_},
      {PageId::ConfigAuth, &auth_},
      {PageId::ConfigIsolationMode, &isolation_},
      {PageId::ConfigSandbox, &sandbox_},
      {PageId::ConfigQualityAgent, &quality_},
      {PageId::ConfigRoutelle, &routelle_},
      {PageId::ConfigLocation, &location_},
      {PageId::ConfigMSI, &msi_},
      {PageId::ConfigAppSync, &appSync_},  // created only when the application-sync step is enabled
      {PageId::ReadyToBuild, &readyToBuild_},
      {PageId::Finished, &finished_},
      {PageId::Welcome, &welcome_},
      {PageId::Continue, &continue_},
  };

  HICON icon_ = nullptr;
  int appSyncPageEnabled_ = 0;  // nothing sets it: the application-sync step is never entered
  bool packageIniOpened_ = false;
  std::wstring errorText_;
  CTransparentText bannerText_;
};

}  // namespace loom
