#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resources/ResourceIds.h"
#include "wizard/Steps.h"

using namespace loom;

namespace {

StepSwitches Switches(int bits) {
  StepSwitches sw;
  sw.portalIntegration = bits & 1;
  sw.qualityReporting = bits & 2;
  sw.browserEntryPoint = bits & 4;
  sw.appSyncPageEnabled = bits & 8;
  return sw;
}

std::vector<int> WalkNext(int from, int to, const StepSwitches& sw) {
  std::vector<int> road{from};
  for (int step = from; step != to && road.size() < 40;) {
    Transition t = NextTransition(step, sw);
    if (t.kind != Transition::GoTo) break;
    road.push_back(step = t.target);
  }
  return road;
}

}  // namespace

TEST(Steps, ConfigurationRoadForEverySwitchCombination) {
  for (int bits = 0; bits < 16; ++bits) {
    StepSwitches sw = Switches(bits);
    std::vector<int> expected{StepEntryPoints, StepPortal};
    if (!sw.portalIntegration) expected.push_back(StepGroups);
    expected.insert(expected.end(), {StepIsolation, StepSandbox});
    if (sw.qualityReporting) expected.push_back(StepQualityReporting);
    if (sw.browserEntryPoint) expected.push_back(StepBrowserRedirection);
    expected.insert(expected.end(), {StepProjectLocation, StepPackageSettings});
    if (sw.appSyncPageEnabled) expected.push_back(StepAppSync);
    expected.push_back(StepSaveProject);
    EXPECT_EQ(WalkNext(StepEntryPoints, StepSaveProject, sw), expected) << "switches " << bits;
  }
}

TEST(Steps, BackRetracesTheForwardRoad) {
  for (int bits = 0; bits < 16; ++bits) {
    StepSwitches sw = Switches(bits);
    std::vector<int> road = WalkNext(StepEntryPoints, StepSaveProject, sw);
    for (size_t i = road.size() - 1; i > 0; --i) {
      Transition back = BackTransition(road[i], sw);
      ASSERT_EQ(back.kind, Transition::GoTo);
      EXPECT_EQ(back.target, road[i - 1]) << "back from " << road[i] << ", switches " << bits;
    }
    // The warnings and ready-to-build steps return to the last configuration page too.
    for (int step : {StepSaveWarnings, StepReadyToBuild})
      EXPECT_EQ(BackTransition(step, sw).target, road[road.size() - 2]);
  }
}

TEST(Steps, WhichStepsCheckTheirPage) {
  StepSwitches sw;
  for (int step = 0; step < StepCount; ++step) {
    // The isolation page checks too: otherwise its choice would never reach the file.
    bool checks = step >= StepEntryPoints && step <= StepAppSync;
    EXPECT_EQ(NextTransition(step, sw).checkPage, checks) << step;
    EXPECT_FALSE(BackTransition(step, sw).checkPage) << step;
  }
}

TEST(Steps, CaptureStepsAndTheirDeletions) {
  StepSwitches sw;
  EXPECT_EQ(NextTransition(StepWelcome, sw).target, StepReadyToPrescan);
  EXPECT_EQ(NextTransition(StepReadyToPrescan, sw).target, StepPrescan);
  EXPECT_EQ(NextTransition(StepInstall, sw).target, StepPostscan);
  EXPECT_EQ(NextTransition(StepResume, sw).kind, Transition::ResumeChoice);
  for (int step : {StepPrescan, StepPostscan, StepCompare, StepSaveProject})
    EXPECT_EQ(NextTransition(step, sw).kind, Transition::None) << "tool steps end by the timer";
  EXPECT_EQ(BackTransition(StepCompare, sw).kind, Transition::None) << "Stop does nothing in the comparison";
  EXPECT_EQ(BackTransition(StepWelcome, sw).kind, Transition::None);

  for (int step : {StepPrescan, StepPrescanWarnings, StepInstall}) {
    Transition t = BackTransition(step, sw);
    EXPECT_EQ(t.target, StepReadyToPrescan);
    EXPECT_EQ(t.deletes, unsigned(DeletePrescan));
  }
  for (int step : {StepPostscan, StepPostscanWarnings, StepEntryPoints}) {
    Transition t = BackTransition(step, sw);
    EXPECT_EQ(t.target, StepInstall);
    EXPECT_EQ(t.deletes, unsigned(DeletePostscan | DeleteWorkingProject)) << "the prescan is kept";
  }
  Transition finish = NextTransition(StepBuild, sw);
  EXPECT_EQ(finish.kind, Transition::Finish);
  EXPECT_EQ(finish.deletes, unsigned(DeletePrescan | DeletePostscan | DeleteWorkingProject));
  Transition leave = BackTransition(StepBuild, sw);
  EXPECT_TRUE(leave.leaveBuildPage);
  EXPECT_EQ(leave.target, StepReadyToBuild);
}

TEST(Steps, ResumeEntryIsTurnedOffLeavingTheCaptureOrReachingTheBuild) {
  EXPECT_TRUE(TurnsResumeOff(StepPrescanWarnings, StepReadyToPrescan));
  EXPECT_TRUE(TurnsResumeOff(StepInstall, StepReadyToPrescan));
  EXPECT_FALSE(TurnsResumeOff(StepPrescan, StepReadyToPrescan));
  EXPECT_FALSE(TurnsResumeOff(StepInstall, StepPostscan));
  EXPECT_TRUE(TurnsResumeOff(StepReadyToBuild, StepBuild));
}

TEST(Steps, PagesTitlesAndProgressSetup) {
  EXPECT_EQ(StepTitleString(StepBuild, true), IDS_TITLE_FINISHED);
  EXPECT_EQ(StepTitleString(StepBuild, false), IDS_TITLE_BUILD);
  EXPECT_EQ(GetStepInfo(StepIsolation).page, PageId::ConfigIsolationMode);
  int progressSteps = 0;
  for (int step = 0; step < StepCount; ++step) {
    ProgressSetup setup;
    bool isProgress = GetStepInfo(step).page == PageId::Progress;
    EXPECT_EQ(GetProgressSetup(step, setup), isProgress) << step;
    EXPECT_EQ(IsToolStep(step), isProgress) << step;
    progressSteps += isProgress;
  }
  EXPECT_EQ(progressSteps, 4);
  ProgressSetup save;
  GetProgressSetup(StepSaveProject, save);
  EXPECT_EQ(save.sideBitmap, IDB_SIDE_SAVE);
  EXPECT_EQ(save.backTooltip, IDS_TIP_STOP_SAVE);
}

TEST(Steps, ToolStepJudgement) {
  // Success needs no error line, the result file, and exit code 0.
  ToolJudgement ok = JudgeToolStep(StepPrescan, false, true, 0, false);
  EXPECT_TRUE(ok.success);
  EXPECT_EQ(ok.target, StepInstall);
  EXPECT_EQ(JudgeToolStep(StepPrescan, false, true, 0, true).target, StepPrescanWarnings);

  // An error line fails the step whatever the exit code and file say.
  ToolJudgement err = JudgeToolStep(StepPrescan, true, true, 0, false);
  EXPECT_FALSE(err.success);
  EXPECT_EQ(err.failure, ToolFailure::ErrorLines);
  EXPECT_EQ(err.target, StepReadyToPrescan);

  // A missing result file fails it even with exit code 0.
  ToolJudgement missing = JudgeToolStep(StepPostscan, false, false, 0, false);
  EXPECT_FALSE(missing.success);
  EXPECT_EQ(missing.failure, ToolFailure::ResultMissing);
  EXPECT_EQ(missing.target, StepInstall);
  EXPECT_FALSE(missing.resumeOn);

  ToolJudgement code = JudgeToolStep(StepCompare, false, true, 3, false);
  EXPECT_EQ(code.failure, ToolFailure::ExitCode);
  EXPECT_EQ(code.target, StepInstall);

  EXPECT_TRUE(JudgeToolStep(StepPostscan, false, true, 0, false).resumeOn);
  EXPECT_EQ(JudgeToolStep(StepPostscan, false, true, 0, false).target, StepCompare);
  EXPECT_EQ(JudgeToolStep(StepCompare, false, true, 0, false).target, StepEntryPoints);

  // The generation has no result file; it fails back to the comparison.
  ToolJudgement gen = JudgeToolStep(StepSaveProject, false, false, 0, true);
  EXPECT_TRUE(gen.success);
  EXPECT_TRUE(gen.resumeOff);
  EXPECT_EQ(gen.target, StepSaveWarnings);
  EXPECT_EQ(JudgeToolStep(StepSaveProject, false, false, 1, false).target, StepCompare);
}

#include "capture/ScanCommands.h"

TEST(ScanCommands, TheFourCommandLinesCharacterForCharacter) {
  EXPECT_EQ(ScanCommand(u"C:\\W", u"snapshot.exe", u"C:\\T\\{1}.snapshot", u"C:\\ HKEY_LOCAL_MACHINE HKEY_USERS"),
            u"\"C:\\W\\snapshot.exe\" \"C:\\T\\{1}.snapshot\" C:\\ HKEY_LOCAL_MACHINE HKEY_USERS -Loomwise");
  EXPECT_EQ(
      SuggestProjectCommand(u"C:\\W", u"snapshot64.exe", u"C:\\T\\A~1.SNA", u"C:\\T\\B~1.SNA", u"C:\\T\\{3}.ini", 2),
      u"\"C:\\W\\snapshot64.exe\" \"C:\\T\\A~1.SNA\" -SuggestProject \"C:\\T\\B~1.SNA\" \"C:\\T\\{3}.ini\" "
      u"-IESelection 2 -Loomwise");
  EXPECT_EQ(GenerateProjectCommand(u"C:\\W", u"snapshot.exe", u"C:\\T\\{3}.ini", u"C:\\Projects\\App\\"),
            u"\"C:\\W\\snapshot.exe\" \"C:\\T\\{3}.ini\" -GenerateProject \"C:\\Projects\\App\" -Loomwise");
  // Every trailing separator goes; a root keeps its backslash, doubled inside the quotes.
  EXPECT_EQ(GenerateProjectCommand(u"C:\\W", u"snapshot.exe", u"C:\\T\\{3}.ini", u"D:\\Out//\\"),
            u"\"C:\\W\\snapshot.exe\" \"C:\\T\\{3}.ini\" -GenerateProject \"D:\\Out\" -Loomwise");
  EXPECT_EQ(GenerateProjectCommand(u"C:\\W", u"snapshot.exe", u"C:\\T\\{3}.ini", u"C:\\"),
            u"\"C:\\W\\snapshot.exe\" \"C:\\T\\{3}.ini\" -GenerateProject \"C:\\\\\" -Loomwise");
  EXPECT_EQ(DropTrailingSlash(u"D:/x//"), u"D:/x/") << "only one slash is dropped";
  EXPECT_EQ(TempFileName(u"", u"{G}", u"ini"), u"{G}.ini");
  EXPECT_EQ(FolderOf(u"C:\\a\\b.exe"), u"C:\\a");
}
