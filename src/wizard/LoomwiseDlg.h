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

  std::wstring ProjectFolder() const { return location_.projectLocation; }
  void SetPackageIniOpened() { packageIniOpened_ = true; }
  bool packageIniOpened() const { return packageIniOpened_; }
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
  void ShowError(const std::wstring& text, HWND owner);

  InnerDialog* currentPage_ = nullptr;
  CleanPC cleanPC_;
  ProgressView progress_;
  WarningsView warnings_;
  PostView post_;
  FinishedView finished_;
  WelcomeDialog welcome_;
  ContinueDialog continue_;
  AppListSelect appList_;
  ConfigMeridel meridel_;
  ConfigAuth auth_;
  ConfigSandbox sandbox_;
  ConfigIsolationMode isolation_;
  ConfigQualityAgent quality_;
  ConfigRoutelle routelle_;
  ConfigLocation location_;
  ConfigMSI msi_;
  ConfigAppSync appSync_;
  ReadyToBuild readyToBuild_;
  HICON icon_ = nullptr;
  int appSyncPageEnabled_ = 0;  // nothing sets it: the application-sync step is never entered
  bool packageIniOpened_ = false;
  std::wstring errorText_;
  CTransparentText bannerText_;
};

}  // namespace loom
