// The wizard's one top-level window: owns every page as a modeless child,
// keeps the current step, runs the scan tool on the tool steps, judges each
// run on its timer, and moves on or back.
#pragma once

#include <windows.h>

#include <string>

#include "app/Origin.h"
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
#include "wizard/PageValues.h"
#include "wizard/Steps.h"
#include "wizard/TransparentText.h"
#include "wizard/WizardHost.h"

namespace loom {

class CLoomwiseDlg : public Dialog, public WizardHost {
 public:
  explicit CLoomwiseDlg(Origin origin);
  ~CLoomwiseDlg() override;

  // Where the program's files are, as read at start-up.
  const Origin& GetOrigin() const override { return origin_; }

  void GoToStep(int step);

  // What the pages ask of the wizard.
  void OnNext() override;
  void OnBack() override;
  void OnCancel() override;
  HWND hwnd() const override { return Dialog::hwnd(); }
  void SetResumeEntry(bool on) override;
  PageValues& Values() override { return values_; }

 protected:
  BOOL OnInitDialog() override;
  // Escape (IDCANCEL here) goes to the shown page's Cancel: the page decides.
  bool OnClicked(int id) override;
  // Enter goes to the shown page's Next.
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
  // Start-up work the first page does not need (the folder macros, the
  // default scan locations): after the first paint, or before the first
  // step change, whichever comes first.
  void FinishStartup();
  struct PageRow;
  // Page windows: the shown page's at start-up, the others one a message
  // after the first paint, placed among their siblings in the table's order;
  // all of them before Next, Back or any step change (pages hand on values
  // when they are made).
  void CreatePageWindow(const PageRow& row);
  void CreateNextPage();
  void CreatePages();

  Origin origin_;
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
  // template in the resources. Each page has one row.
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
  static_assert(sizeof pages_ / sizeof(PageRow) == kPageCount, "one row for every page");
  int nextPage_ = 0;  // the first row whose window CreateNextPage has not yet made

  PageValues values_;  // what pages hand on to later pages
  HICON icon_ = nullptr;
  bool startupFinished_ = false;
  std::wstring errorText_;
  CTransparentText bannerText_;
};

}  // namespace loom
