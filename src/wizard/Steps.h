// The wizard's step sequence as data and pure functions: which page and title
// each step shows, and where Next, Back and the end of a tool run lead, given
// the few switches the pages decide. The main window only executes these.
#pragma once

#include <cstdint>
#include <string>

namespace loom {

enum Step : int {
  StepWelcome = 0,
  StepResume = 1,
  StepReadyToPrescan = 2,
  StepPrescan = 3,
  StepPrescanWarnings = 4,
  StepInstall = 5,
  StepPostscan = 6,
  StepPostscanWarnings = 7,
  StepCompare = 8,
  StepEntryPoints = 9,
  StepPortal = 10,
  StepGroups = 11,
  StepSandbox = 12,
  StepIsolation = 13,
  StepQualityReporting = 14,
  StepBrowserRedirection = 15,
  StepProjectLocation = 16,
  StepPackageSettings = 17,
  StepAppSync = 18,
  StepSaveProject = 19,
  StepSaveWarnings = 20,
  StepReadyToBuild = 21,
  StepBuild = 22,
  StepCount = 23,
};

enum class PageId {
  Welcome,
  Continue,
  CleanPC,
  Progress,
  Warnings,
  Post,
  AppListSelect,
  ConfigMeridel,
  ConfigAuth,
  ConfigSandbox,
  ConfigIsolationMode,
  ConfigQualityAgent,
  ConfigRoutelle,
  ConfigLocation,
  ConfigMSI,
  ConfigAppSync,
  ReadyToBuild,
  Finished,  // the last: kPageCount follows it
};
constexpr int kPageCount = int(PageId::Finished) + 1;  // the main window's table of pages has one row each

struct StepInfo {
  PageId page;
  int titleString;  // string-table number of the step title (build step: see StepTitleString)
  int bannerIndex;  // 0 = branding banner, 1..5 = bitmaps 187..191
  bool hasPrepare;  // the page's prepare operation runs each time the step is entered
};

const StepInfo& GetStepInfo(int step);
int StepTitleString(int step, bool buildSkipped);

// Progress page set-up for the four tool steps.
struct ProgressSetup {
  int groupCaption;  // string
  int sideBitmap;    // bitmap
  int helpText;      // RTFTEXT
  int backTooltip;   // string
};
bool GetProgressSetup(int step, ProgressSetup& setup);
bool IsToolStep(int step);

// What the pages decide about the road through the configuration steps.
struct StepSwitches {
  bool portalIntegration = false;  // portal page: managed by the portal (groups page skipped)
  bool qualityReporting = false;   // branding enables the quality-reporting page
  bool browserEntryPoint = false;  // a checked browser entry point exists
  bool appSyncPageEnabled = false;
};

// Temporary files a transition deletes before it moves.
enum DeleteMask : unsigned {
  DeleteNone = 0,
  DeletePrescan = 1,
  DeletePostscan = 2,
  DeleteWorkingProject = 4,
};

struct Transition {
  enum Kind { None, GoTo, ResumeChoice, Finish } kind = None;
  int target = -1;
  bool checkPage = false;  // run the page's data exchange first; stay when it fails
  unsigned deletes = DeleteNone;
  bool leaveBuildPage = false;  // the build page's leave operation runs first
};

Transition NextTransition(int step, const StepSwitches& sw);
Transition BackTransition(int step, const StepSwitches& sw);

// The resume entry is switched off when a move goes from step 4 or later to
// below 4, or to the build step.
bool TurnsResumeOff(int currentStep, int newStep);

// The end of a tool step, judged on the error text collected from the tool,
// the result file and the exit code.
struct ToolJudgement {
  bool success = false;
  std::u16string errorText;  // for the message box on failure
  int target = -1;           // the step to go to
  bool resumeOn = false;     // success of the postscan: the resume entry is set
  bool resumeOff = false;    // success of the project generation
};
ToolJudgement JudgeToolStep(int step, std::u16string errorText, bool resultFileExists, const std::u16string& resultPath,
                            uint32_t exitCode, bool warningsCollected);

}  // namespace loom
