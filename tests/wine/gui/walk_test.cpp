// Black-box: the whole road from the welcome page to Finish, with the exact
// command line of every tool run, the configuration road as branding
// decides it, and what is left on disk and in the registry at the end.
#include "WizardDriver.h"

using namespace loomtest;

namespace {

const std::wstring kTool = L"snapshot64.exe";
const std::wstring kLocations = L"C:\\ HKEY_LOCAL_MACHINE HKEY_USERS";

class WalkTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
    reg::WriteString(reg::kSettingsKey, L"OpenFolderOnFinish", L"0");
  }

  // Installs the wizard (every tool run a quiet success, its result file
  // written) and starts it.
  void Start(Place branding, Place buildTools) {
    InstallOptions o;
    o.scenario = "[any]\n";
    o.branding = branding;
    o.buildTools = buildTools;
    ASSERT_NO_FATAL_FAILURE(StartWizard(o));
  }

  // Presses Next on every page until the wizard ends; returns the titles seen.
  std::vector<std::wstring> WalkToTheEnd() {
    std::vector<std::wstring> titles;
    DWORD start = GetTickCount();
    while (w_.Running() && GetTickCount() - start < 60000) {
      if (Popup box = w_.FindPopup()) {
        ADD_FAILURE() << "unexpected message box: " << Narrow(box.caption) << ": " << Narrow(box.text);
        w_.Answer(box, IDOK);
        continue;
      }
      std::wstring title = w_.Title();
      if (!title.empty() && (titles.empty() || titles.back() != title)) titles.push_back(title);
      if (w_.IsEnabled(IDOK) && w_.Title() == title) {
        w_.Click(IDOK);
        WaitUntil([&] { return !w_.Running() || w_.Title() != title; }, 3000);
      } else {
        Sleep(20);
      }
    }
    return titles;
  }
};

}  // namespace

TEST_F(WalkTest, WholeCaptureWithEveryCommandLine) {
  ASSERT_NO_FATAL_FAILURE(Start(Place::Absent, Place::Beside));
  std::vector<std::wstring> titles = WalkToTheEnd();
  DWORD code = 1;
  ASSERT_TRUE(w_.WaitExit(kWaitMs, &code));
  EXPECT_EQ(code, 0u);

  // Without branding the quality-reporting page is not on the road; the
  // entry-point list has no browser, so no redirection page either.
  const wchar_t* expected[] = {L"欢迎",     L"准备预扫描",       L"预扫描",   L"安装应用程序", L"扫描后",
                               L"入口点",   L"管理Corvel工作区", L"组",       L"隔离",         L"沙箱",
                               L"项目设置", L"包设置",           L"保存项目", L"准备生成",     L"生成项目"};
  // Tool steps may pass faster than a look; compare the pages that wait for the user.
  auto waited = [](const std::vector<std::wstring>& seen) {
    std::vector<std::wstring> pages;
    for (const std::wstring& t : seen)
      if (t != kPrescan && t != kPostscan && t != kTitle + L"保存项目") pages.push_back(t);
    return pages;
  };
  std::vector<std::wstring> road;
  for (const wchar_t* t : expected) road.push_back(kTitle + t);
  EXPECT_EQ(waited(titles), waited(road));

  std::vector<std::wstring> log = w_.ToolLog();
  ASSERT_EQ(log.size(), 7u);  // four scan-tool runs, then the three build tools
  const std::wstring tool = Quoted(install_->ProgramFolder() + L"\\" + kTool);
  std::vector<std::wstring> pre = SplitCommandLine(log[0]), post = SplitCommandLine(log[1]);
  std::vector<std::wstring> cmp = SplitCommandLine(log[2]);
  ASSERT_GE(pre.size(), 2u);
  ASSERT_GE(post.size(), 2u);
  ASSERT_GE(cmp.size(), 5u);
  const std::wstring prescan = pre[1], postscan = post[1], working = cmp[4];
  EXPECT_EQ(log[0], tool + L" " + Quoted(prescan) + L" " + kLocations + L" -Loomwise");
  EXPECT_EQ(log[1], tool + L" " + Quoted(postscan) + L" " + kLocations + L" -Loomwise");
  EXPECT_EQ(log[2], tool + L" " + Quoted(cmp[1]) + L" -SuggestProject " + Quoted(cmp[3]) + L" " + Quoted(working) +
                        L" -IESelection 0 -Loomwise");
  // (The short forms name the snapshots: checked while they exist, in the capture tests.)
  EXPECT_EQ(log[3], tool + L" " + Quoted(working) + L" -GenerateProject " +
                        Quoted(install_->ProgramFolder() + L"\\Captures\\Demo App") + L" -Loomwise");

  // Finish removes the temporary files and the resume value.
  EXPECT_FALSE(FileExists(prescan));
  EXPECT_FALSE(FileExists(postscan));
  EXPECT_FALSE(FileExists(working));
  EXPECT_FALSE(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue).has_value());
  EXPECT_TRUE(FolderExists(install_->ProgramFolder() + L"\\Captures\\Demo App")) << "the generation ran";
}

TEST_F(WalkTest, BrandingThreeLevelsUpEnablesTheQualityReportingPage) {
  ASSERT_NO_FATAL_FAILURE(Start(Place::Modules3, Place::Beside));
  std::vector<std::wstring> titles = WalkToTheEnd();
  auto at = std::find(titles.begin(), titles.end(), kQuality);
  ASSERT_NE(at, titles.end()) << "the branding switch shows the page";
  EXPECT_EQ(*(at - 1), kSandbox);
  EXPECT_EQ(*(at + 1), kLocation);
}

TEST_F(WalkTest, BackThroughTheConfigurationRetracesTheRoad) {
  ASSERT_NO_FATAL_FAILURE(Start(Place::Absent, Place::Absent));
  // Forward to the package settings page.
  const wchar_t* forward[] = {L"准备预扫描", L"安装应用程序", L"入口点", L"管理Corvel工作区", L"组", L"隔离",
                              L"沙箱",       L"项目设置",     L"包设置"};
  for (const wchar_t* t : forward) { ASSERT_TRUE(w_.Next(kTitle + t, 15000)); }
  // Back, page by page, to the entry points.
  const wchar_t* back[] = {L"项目设置", L"沙箱", L"隔离", L"组", L"管理Corvel工作区", L"入口点"};
  for (const wchar_t* t : back) {
    ASSERT_TRUE(w_.Click(IDC_BACK));
    ASSERT_TRUE(w_.WaitForTitle(kTitle + t)) << "back towards " << Narrow(t);
  }
  // Back from the entry points deletes the postscan and the working project,
  // and keeps the prescan for the next postscan.
  std::vector<std::wstring> log = w_.ToolLog();
  ASSERT_EQ(log.size(), 3u);
  std::wstring prescan = SplitCommandLine(log[0])[1], postscan = SplitCommandLine(log[1])[1];
  std::wstring working = SplitCommandLine(log[2])[4];
  ASSERT_TRUE(w_.Back(kInstall));
  EXPECT_TRUE(FileExists(prescan));
  EXPECT_FALSE(FileExists(postscan));
  EXPECT_FALSE(FileExists(working));
  // The next postscan writes the same postscan path again.
  ASSERT_TRUE(w_.Next(kEntryPoints, 15000));
  log = w_.ToolLog();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(SplitCommandLine(log[3])[1], postscan);
}
