// Black-box: how the main window wires keys and settings to the pages. Enter
// presses the shown page's Next, Escape on the build page leaves a running
// build alone, and the AppSyncPage setting puts the application-sync step on
// the road.
#include "WizardDriver.h"

using namespace loomtest;

namespace {

const std::wstring kAppSync = kTitle + L"配置项目";

class WiringTest : public WizardTest {
 protected:
  void Start(const std::string& buildScenario) {
    reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
    InstallOptions o;
    o.scenario = "[scan]\n[suggest]\n[generate]\n" + buildScenario;
    o.buildTools = Place::Beside;
    ASSERT_NO_FATAL_FAILURE(StartWizard(o));
  }

  // Next on every page until the shown page holds `controlId`.
  testing::AssertionResult NextUntil(int controlId) {
    return w_.NextUntil([&] { return w_.CurrentPage() && GetDlgItem(w_.CurrentPage(), controlId); });
  }

  // A key pressed where the wizard has the keyboard focus (through its
  // message loop, as a user's key arrives).
  void PressKey(WORD key) {
    HWND target = w_.FocusedId() ? w_.Control(w_.FocusedId()) : w_.MainWindow();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  }
};

}  // namespace

TEST_F(WiringTest, EnterPressesNext) {
  ASSERT_NO_FATAL_FAILURE(Start(""));
  ASSERT_TRUE(w_.WaitForTitle(kWelcome));
  PressKey(VK_RETURN);
  EXPECT_TRUE(w_.WaitForTitle(kReady));
}

TEST_F(WiringTest, EscapeOnTheBuildPageLeavesTheBuildRunning) {
  ASSERT_NO_FATAL_FAILURE(Start("[vregtool]\npidfile vregtool.pid\nhang\n"));
  ASSERT_TRUE(NextUntil(IDC_READY_HELP));
  ASSERT_TRUE(w_.Next(kBuilding));
  std::optional<DWORD> pid;
  ASSERT_TRUE(WaitUntil([&] { return (pid = ReadPidFile(install_->Path(L"vregtool.pid"))).has_value(); }));
  PressKey(VK_ESCAPE);
  Popup box = w_.WaitMessageBox(2000);
  EXPECT_FALSE(box) << "asked: " << Narrow(box.text);
  if (box) w_.Answer(box, IDNO);
  EXPECT_TRUE(IsProcessRunning(*pid));
  EXPECT_EQ(w_.Title(), kBuilding);
  ASSERT_TRUE(w_.Back(kReadyToBuild));  // Stop
  EXPECT_TRUE(WaitProcessGone(*pid));
}

TEST_F(WiringTest, AppSyncPageSettingPutsItsStepOnTheRoad) {
  DWORD on = 1;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, reg::kSettingsKey, L"AppSyncPage", REG_DWORD, &on, sizeof on),
            ERROR_SUCCESS);
  ASSERT_NO_FATAL_FAILURE(Start(""));
  ASSERT_TRUE(NextUntil(IDC_SYNC_ENABLE));
  EXPECT_EQ(w_.Title(), kAppSync);
  ASSERT_TRUE(NextUntil(IDC_READY_HELP));
  EXPECT_TRUE(w_.Back(kAppSync));
  EXPECT_TRUE(w_.IsVisible(IDC_SYNC_ENABLE));
}
