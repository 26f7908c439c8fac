#include "wizard/Steps.h"

#include "resources/ResourceIds.h"

namespace loom {
namespace {

constexpr StepInfo kSteps[StepCount] = {
    {PageId::Welcome, IDS_TITLE_WELCOME, 0, false},                // 0
    {PageId::Continue, IDS_TITLE_WELCOME, 0, false},               // 1
    {PageId::CleanPC, IDS_TITLE_READY_TO_PRESCAN, 1, false},       // 2
    {PageId::Progress, IDS_TITLE_PRESCAN, 1, false},               // 3
    {PageId::Warnings, IDS_TITLE_PRESCAN_WARNINGS, 1, false},      // 4
    {PageId::Post, IDS_TITLE_INSTALL, 2, false},                   // 5
    {PageId::Progress, IDS_TITLE_POSTSCAN, 3, false},              // 6
    {PageId::Warnings, IDS_TITLE_POSTSCAN_WARNINGS, 3, false},     // 7
    {PageId::Progress, IDS_TITLE_POSTSCAN, 4, false},              // 8
    {PageId::AppListSelect, IDS_TITLE_ENTRY_POINTS, 4, true},      // 9
    {PageId::ConfigMeridel, IDS_TITLE_PORTAL, 4, true},            // 10
    {PageId::ConfigAuth, IDS_TITLE_GROUPS, 4, false},              // 11
    {PageId::ConfigSandbox, IDS_TITLE_SANDBOX, 4, true},           // 12
    {PageId::ConfigIsolationMode, IDS_TITLE_ISOLATION, 4, false},  // 13
    {PageId::ConfigQualityAgent, IDS_TITLE_QUALITY, 4, false},     // 14
    {PageId::ConfigRoutelle, IDS_TITLE_REDIRECTION, 4, true},      // 15
    {PageId::ConfigLocation, IDS_TITLE_LOCATION, 4, true},         // 16
    {PageId::ConfigMSI, IDS_TITLE_PACKAGE_SETTINGS, 4, true},      // 17
    {PageId::ConfigAppSync, IDS_TITLE_CONFIGURE, 4, false},        // 18
    {PageId::Progress, IDS_TITLE_SAVE_PROJECT, 4, false},          // 19
    {PageId::Warnings, IDS_TITLE_SAVE_WARNINGS, 4, false},         // 20
    {PageId::ReadyToBuild, IDS_TITLE_READY_TO_BUILD, 5, false},    // 21
    {PageId::Finished, IDS_TITLE_BUILD, 5, true},                  // 22
};

Transition Go(int target, bool check = false, unsigned deletes = DeleteNone) {
  Transition t;
  t.kind = Transition::GoTo;
  t.target = target;
  t.checkPage = check;
  t.deletes = deletes;
  return t;
}

// The page entered before the browser-redirection step: Back retraces the
// forward road, and forward the sandbox page (12) follows isolation (13).
int BackFromBrowserRedirection(const StepSwitches& sw) {
  return sw.qualityReporting ? StepQualityReporting : StepSandbox;
}

}  // namespace

const StepInfo& GetStepInfo(int step) {
  if (step < 0 || step >= StepCount) step = StepWelcome;
  return kSteps[step];
}

int StepTitleString(int step, bool buildSkipped) {
  if (step == StepBuild) return buildSkipped ? IDS_TITLE_FINISHED : IDS_TITLE_BUILD;
  return GetStepInfo(step).titleString;
}

bool IsToolStep(int step) {
  return step == StepPrescan || step == StepPostscan || step == StepCompare || step == StepSaveProject;
}

bool GetProgressSetup(int step, ProgressSetup& s) {
  switch (step) {
    case StepPrescan: s = {IDS_SCAN_LOCATIONS, IDB_SIDE_SCAN, IDR_HELP_PRESCANNING, IDS_TIP_STOP_PRESCAN}; return true;
    case StepPostscan:
      s = {IDS_SCAN_LOCATIONS, IDB_SIDE_SCAN, IDR_HELP_POSTSCANNING, IDS_TIP_STOP_POSTSCAN};
      return true;
    case StepCompare: s = {IDS_COMPARING, IDB_SIDE_SCAN, IDR_HELP_POSTSCANNING, IDS_TIP_STOP_POSTSCAN}; return true;
    case StepSaveProject: s = {IDS_SAVING, IDB_SIDE_SAVE, IDR_HELP_SAVING, IDS_TIP_STOP_SAVE}; return true;
  }
  return false;
}

Transition NextTransition(int step, const StepSwitches& sw) {
  const int browserOrLocation = sw.browserEntryPoint ? StepBrowserRedirection : StepProjectLocation;
  switch (step) {
    case StepWelcome: return Go(StepReadyToPrescan);
    case StepResume: {
      Transition t;
      t.kind = Transition::ResumeChoice;
      return t;
    }
    case StepReadyToPrescan: return Go(StepPrescan);
    case StepPrescanWarnings: return Go(StepInstall);
    case StepInstall: return Go(StepPostscan);
    case StepPostscanWarnings: return Go(StepCompare);
    case StepEntryPoints: return Go(StepPortal, true);
    case StepPortal: return Go(sw.portalIntegration ? StepIsolation : StepGroups, true);
    case StepGroups: return Go(StepIsolation, true);
    case StepSandbox: return Go(sw.qualityReporting ? StepQualityReporting : browserOrLocation, true);
    case StepIsolation: return Go(StepSandbox, true);  // saves the isolation mode
    case StepQualityReporting: return Go(browserOrLocation, true);
    case StepBrowserRedirection: return Go(StepProjectLocation, true);
    case StepProjectLocation: return Go(StepPackageSettings, true);
    case StepPackageSettings: return Go(sw.appSyncPageEnabled ? StepAppSync : StepSaveProject, true);
    case StepAppSync: return Go(StepSaveProject, true);
    case StepSaveWarnings: return Go(StepReadyToBuild);
    case StepReadyToBuild: return Go(StepBuild);
    case StepBuild: {
      Transition t;
      t.kind = Transition::Finish;
      t.deletes = DeletePrescan | DeletePostscan | DeleteWorkingProject;
      return t;
    }
  }
  return Transition();
}

Transition BackTransition(int step, const StepSwitches& sw) {
  switch (step) {
    case StepReadyToPrescan: return Go(StepWelcome);
    case StepPrescan:
    case StepPrescanWarnings:
    case StepInstall: return Go(StepReadyToPrescan, false, DeletePrescan);
    case StepPostscan:
    case StepPostscanWarnings:
    case StepEntryPoints: return Go(StepInstall, false, DeleteWorkingProject | DeletePostscan);
    case StepPortal: return Go(StepEntryPoints);
    case StepGroups: return Go(StepPortal);
    case StepSandbox: return Go(StepIsolation);
    case StepIsolation: return Go(sw.portalIntegration ? StepPortal : StepGroups);
    case StepQualityReporting: return Go(StepSandbox);
    case StepBrowserRedirection: return Go(BackFromBrowserRedirection(sw));
    case StepProjectLocation: return Go(sw.browserEntryPoint ? StepBrowserRedirection : BackFromBrowserRedirection(sw));
    case StepPackageSettings: return Go(StepProjectLocation);
    case StepAppSync: return Go(StepPackageSettings);
    case StepSaveProject:
    case StepSaveWarnings:
    case StepReadyToBuild: return Go(sw.appSyncPageEnabled ? StepAppSync : StepPackageSettings);
    case StepBuild: {
      Transition t = Go(StepReadyToBuild);
      t.leaveBuildPage = true;
      return t;
    }
  }
  return Transition();
}

bool TurnsResumeOff(int currentStep, int newStep) {
  return (currentStep >= StepPrescanWarnings && newStep < StepPrescanWarnings) || newStep >= StepBuild;
}

ToolJudgement JudgeToolStep(int step, bool errorLines, bool resultFileExists, uint32_t exitCode,
                            bool warningsCollected) {
  ToolJudgement j;
  if (errorLines)
    j.failure = ToolFailure::ErrorLines;
  else if (step != StepSaveProject && !resultFileExists)
    j.failure = ToolFailure::ResultMissing;
  else if (exitCode != 0)
    j.failure = ToolFailure::ExitCode;
  j.success = j.failure == ToolFailure::None;
  switch (step) {
    case StepPrescan:
      j.target = j.success ? (warningsCollected ? StepPrescanWarnings : StepInstall) : StepReadyToPrescan;
      break;
    case StepPostscan:
      j.target = j.success ? (warningsCollected ? StepPostscanWarnings : StepCompare) : StepInstall;
      j.resumeOn = j.success;
      break;
    case StepCompare: j.target = j.success ? StepEntryPoints : StepInstall; break;
    case StepSaveProject:
      j.target = j.success ? (warningsCollected ? StepSaveWarnings : StepReadyToBuild) : StepCompare;
      j.resumeOff = j.success;
      break;
    default: j.target = step;
  }
  return j;
}

}  // namespace loom
