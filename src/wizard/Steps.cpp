#include "wizard/Steps.h"

namespace loom {
namespace {

constexpr StepInfo kSteps[StepCount] = {
    {PageId::Welcome, 134, 0, false},              // 0
    {PageId::Continue, 134, 0, false},             // 1
    {PageId::CleanPC, 162, 1, false},              // 2
    {PageId::Progress, 163, 1, false},             // 3
    {PageId::Warnings, 164, 1, false},             // 4
    {PageId::Post, 165, 2, false},                 // 5
    {PageId::Progress, 166, 3, false},             // 6
    {PageId::Warnings, 167, 3, false},             // 7
    {PageId::Progress, 168, 4, false},             // 8
    {PageId::AppListSelect, 169, 4, true},         // 9
    {PageId::ConfigMeridel, 238, 4, true},         // 10
    {PageId::ConfigAuth, 176, 4, false},           // 11
    {PageId::ConfigSandbox, 209, 4, true},         // 12
    {PageId::ConfigIsolationMode, 177, 4, false},  // 13
    {PageId::ConfigQualityAgent, 220, 4, false},   // 14
    {PageId::ConfigRoutelle, 236, 4, true},        // 15
    {PageId::ConfigLocation, 215, 4, true},        // 16
    {PageId::ConfigMSI, 178, 4, true},             // 17
    {PageId::ConfigAppSync, 170, 4, false},        // 18
    {PageId::Progress, 171, 4, false},             // 19
    {PageId::Warnings, 172, 4, false},             // 20
    {PageId::ReadyToBuild, 179, 5, false},         // 21
    {PageId::Finished, 187, 5, true},              // 22
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
  if (step == StepBuild) return buildSkipped ? 188 : 187;
  return GetStepInfo(step).titleString;
}

bool IsToolStep(int step) {
  return step == StepPrescan || step == StepPostscan || step == StepCompare || step == StepSaveProject;
}

bool GetProgressSetup(int step, ProgressSetup& s) {
  switch (step) {
    case StepPrescan: s = {152, 152, 162, 135}; return true;
    case StepPostscan: s = {152, 152, 164, 138}; return true;
    case StepCompare: s = {174, 152, 164, 138}; return true;
    case StepSaveProject: s = {173, 195, 165, 147}; return true;
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

ToolJudgement JudgeToolStep(int step, std::u16string errorText, bool resultFileExists, const std::u16string& resultPath,
                            uint32_t exitCode, bool warningsCollected) {
  ToolJudgement j;
  const char16_t* kAborted = u"\u53d1\u751f\u9519\u8bef\u6216\u64cd\u4f5c\u4e2d\u6b62";  // "发生错误或操作中止"
  if (errorText.empty()) {
    if (step != StepSaveProject && !resultFileExists) {
      errorText = kAborted;
      errorText += u"\n";
      errorText += resultPath;
      errorText += u"\u4e0d\u5b58\u5728";  // "不存在"
    } else if (exitCode != 0) {
      errorText = kAborted;
    }
  }
  j.success = errorText.empty();
  j.errorText = errorText;
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
