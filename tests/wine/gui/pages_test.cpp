// Black-box tests of the capture-phase pages: the welcome picture and its
// links, the scan-locations dialog, the installation confirmation, the
// browser entry-point choice and the warnings page.
#include "WizardDriver.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#include <initializer_list>
#include <tuple>

using namespace loomtest;

namespace {

const std::wstring kSkipConfirmation = L"SkipInstallationConfirmation";
const wchar_t kIeKey[] = L"SOFTWARE\\Microsoft\\Internet Explorer";
const wchar_t kHttpsCommand[] = L"SOFTWARE\\Classes\\https\\shell\\open\\command";

LRESULT Send(HWND h, UINT msg, WPARAM wp = 0, LPARAM lp = 0, bool ansi = false) {
  DWORD_PTR r = 0;
  if (ansi)
    SendMessageTimeoutA(h, msg, wp, lp, SMTO_ABORTIFHUNG, 3000, &r);
  else
    SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 3000, &r);
  return static_cast<LRESULT>(r);
}

bool Checked(HWND dialog, int id) { return Send(GetDlgItem(dialog, id), BM_GETCHECK) == BST_CHECKED; }

// Clicks a check box or radio button and waits until it shows `checked`.
bool Toggle(HWND dialog, int id, bool checked) {
  return Wizard::ClickIn(dialog, id) && WaitUntil([&] { return Checked(dialog, id) == checked; });
}

// A real mouse click at a point of the screen.
void ClickAt(POINT pt) {
  SetCursorPos(pt.x, pt.y);
  Sleep(150);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

class PagesTest : public WizardTest {
 protected:
  void Start(const std::string& scenario) {
    InstallOptions o;
    o.scenario = scenario;
    ASSERT_NO_FATAL_FAILURE(StartWizard(o));
  }

  // Opens a modal dialog with a button of the page and waits for it.
  HWND Open(int button, const std::wstring& caption) {
    Popup p;
    if (!w_.Click(button) || !WaitUntil([&] { return (p = w_.FindPopup()).caption == caption; })) {
      ADD_FAILURE() << "no dialog \"" << Narrow(caption) << "\"; " << w_.Describe();
      return nullptr;
    }
    return p.hwnd;
  }

  // The URLs the stand-in received as the https handler, in order.
  std::vector<std::wstring> OpenedUrls() {
    std::vector<std::wstring> urls;
    for (const std::wstring& line : w_.ToolLog()) {
      std::vector<std::wstring> args = SplitCommandLine(line);
      if (args.size() == 2 && args[1].rfind(L"https://", 0) == 0) urls.push_back(args[1]);
    }
    return urls;
  }
};

TEST_F(PagesTest, ScanLocationsChoicesReachThePrescan) {
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\n"));
  ASSERT_TRUE(w_.Next(kReady));
  const DWORD pid = w_.ProcessId();
  HWND dlg = Open(IDC_CLEANPC_LOCATIONS, L"高级扫描位置");
  ASSERT_TRUE(dlg);
  EXPECT_FALSE(IsWindowEnabled(w_.MainWindow())) << "the wizard waits for the dialog";
  HWND list = GetDlgItem(dlg, IDC_SCAN_DRIVES);
  int c = ListViewFindRow(pid, list, L"c:\\"), z = ListViewFindRow(pid, list, L"z:\\");
  ASSERT_GE(c, 0);
  ASSERT_GE(z, 0);
  EXPECT_TRUE(ListViewRowChecked(list, c));
  EXPECT_FALSE(ListViewRowChecked(list, z));
  EXPECT_TRUE(Checked(dlg, IDC_SCAN_HKLM) && Checked(dlg, IDC_SCAN_HKU) && Checked(dlg, IDC_SCAN_HKCU));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_SCAN_HKCU))) << "HKEY_USERS covers the current user";

  // Nothing chosen: the dialog says so and stays.
  ASSERT_TRUE(Toggle(dlg, IDC_SCAN_HKLM, false));
  ASSERT_TRUE(Toggle(dlg, IDC_SCAN_HKU, false));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_SCAN_HKCU)));
  ASSERT_TRUE(Toggle(dlg, IDC_SCAN_HKCU, false));
  ListViewSetRowChecked(pid, list, c, false);
  ASSERT_TRUE(Wizard::ClickIn(dlg, IDOK));
  Popup box;
  WaitUntil([&] { return (box = w_.FindPopup()).hwnd != dlg; });  // the message box over the dialog
  EXPECT_EQ(box.text, L"请选择至少一个注册表或文件系统根目录，以继续。");
  ASSERT_TRUE(w_.Answer(box, IDOK));
  EXPECT_TRUE(IsWindowVisible(dlg));

  // HKEY_USERS checks HKEY_CURRENT_USER, which then stays out of the text.
  ASSERT_TRUE(Toggle(dlg, IDC_SCAN_HKU, true));
  EXPECT_TRUE(Checked(dlg, IDC_SCAN_HKCU));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_SCAN_HKCU)));
  ListViewSetRowChecked(pid, list, z, true);
  ASSERT_TRUE(w_.Answer(Popup{dlg, L"", L""}, IDOK));

  // The new selection is read back (its root in upper case); Cancel keeps it.
  dlg = Open(IDC_CLEANPC_LOCATIONS, L"高级扫描位置");
  ASSERT_TRUE(dlg);
  list = GetDlgItem(dlg, IDC_SCAN_DRIVES);
  EXPECT_TRUE(ListViewRowChecked(list, z));
  EXPECT_FALSE(ListViewRowChecked(list, c));
  EXPECT_FALSE(Checked(dlg, IDC_SCAN_HKLM));
  ASSERT_TRUE(Toggle(dlg, IDC_SCAN_HKLM, true));
  ListViewSetRowChecked(pid, list, c, true);
  ASSERT_TRUE(w_.Answer(Popup{dlg, L"", L""}, IDCANCEL));

  ASSERT_TRUE(w_.Next(kInstall));
  std::vector<std::wstring> log = w_.ToolLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(EndsWith(log[0], L" Z:\\ HKEY_USERS -Loomwise")) << Narrow(log[0]);
  std::wstring value = reg::ReadString(reg::kRunOnceKey, reg::kResumeValue).value_or(L"");
  EXPECT_NE(value.find(L" \"Z:\\ HKEY_USERS\" 0"), std::wstring::npos) << Narrow(value);
}

TEST_F(PagesTest, ConfirmationUnlessTheSettingIsExactlyOne) {
  reg::WriteString(reg::kSettingsKey, kSkipConfirmation, L"1 ");
  ASSERT_NO_FATAL_FAILURE(Start("[any]\n"));
  ASSERT_TRUE(w_.NextUntil(kInstall));
  HWND confirm = Open(IDOK, L"Loomwise");
  ASSERT_TRUE(confirm);
  EXPECT_TRUE(Checked(confirm, IDC_CONFIRM_SKIP));
  ASSERT_TRUE(Toggle(confirm, IDC_CONFIRM_SKIP, false));
  ASSERT_TRUE(w_.Answer(Popup{confirm, L"", L""}, IDOK));
  EXPECT_TRUE(w_.WaitForTitle(kEntryPoints, 20000));
  EXPECT_EQ(reg::ReadString(reg::kSettingsKey, kSkipConfirmation), L"1 ") << "an unchecked box writes nothing";
}

TEST_F(PagesTest, BrowserChoiceReachesTheComparisonAndTheResumeValue) {
  MachineValue version(kIeKey, L"Version");
  version.Set(L"8.0.7601.17514");
  reg::WriteString(reg::kSettingsKey, kSkipConfirmation, L"1");
  ASSERT_NO_FATAL_FAILURE(Start("[any]\n"));
  ASSERT_TRUE(w_.NextUntil(kInstall));
  const std::wstring before = reg::ReadString(reg::kRunOnceKey, reg::kResumeValue).value_or(L"");
  ASSERT_TRUE(EndsWith(before, L" 0")) << Narrow(before);

  // Cancel keeps the choice and the resume value.
  HWND dlg = Open(IDC_POST_IE, L"Internet Explorer入口点");
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(Checked(dlg, IDC_IE_NONE));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_IE_VIRTUAL)) ||
               IsWindowEnabled(GetDlgItem(dlg, IDC_IE_VIRTUAL_NOTE)));
  ASSERT_TRUE(Toggle(dlg, IDC_IE_SYSTEM, true));
  ASSERT_TRUE(w_.Answer(Popup{dlg, L"", L""}, IDCANCEL));
  EXPECT_EQ(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue), before);

  dlg = Open(IDC_POST_IE, L"Internet Explorer入口点");
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(Checked(dlg, IDC_IE_NONE));
  ASSERT_TRUE(Toggle(dlg, IDC_IE_SYSTEM, true));
  ASSERT_TRUE(w_.Answer(Popup{dlg, L"", L""}, IDOK));
  // Rewritten once the dialog has gone, so waited for.
  const std::wstring chosen = before.substr(0, before.size() - 1) + L"1";
  EXPECT_TRUE(WaitUntil([&] { return reg::ReadString(reg::kRunOnceKey, reg::kResumeValue) == chosen; }))
      << Narrow(reg::ReadString(reg::kRunOnceKey, reg::kResumeValue).value_or(L""));

  // The fully virtualised form needs a "6." version of at most 64 bytes.
  using Case = std::pair<std::wstring, bool>;
  for (const auto& [value, offered] :
       std::initializer_list<Case>{{L"6.0.2900.5512", true}, {L"6." + std::wstring(40, L'0'), false}}) {
    version.Set(value);
    dlg = Open(IDC_POST_IE, L"Internet Explorer入口点");
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(Checked(dlg, IDC_IE_SYSTEM));
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dlg, IDC_IE_VIRTUAL)) != 0, offered) << Narrow(value);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dlg, IDC_IE_VIRTUAL_NOTE)) != 0, offered) << Narrow(value);
    ASSERT_TRUE(w_.Answer(Popup{dlg, L"", L""}, IDCANCEL));
  }

  ASSERT_TRUE(w_.Next(kEntryPoints));
  std::vector<std::wstring> cmp = SplitCommandLine(w_.ToolLog().back());
  ASSERT_EQ(cmp.size(), 8u);
  EXPECT_EQ(cmp[5] + L" " + cmp[6], L"-IESelection 1");
  std::wstring value = reg::ReadString(reg::kRunOnceKey, reg::kResumeValue).value_or(L"");
  EXPECT_EQ(SplitCommandLine(value).size(), 5u) << Narrow(value);
  EXPECT_TRUE(EndsWith(value, L" 1")) << Narrow(value);
}

TEST_F(PagesTest, WarningsOnePerLineAndOnlyThoseOfTheLastScan) {
  reg::WriteString(reg::kSettingsKey, kSkipConfirmation, L"1");
  // Information lines are left out; an unprefixed line keeps the kind of the line before it.
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\nout I 进度\nout W 第一个警告\nout second warning\n"));
  ASSERT_TRUE(w_.Next(kReady));
  ASSERT_TRUE(w_.Next(kPrescanWarnings));
  EXPECT_EQ(w_.Text(IDC_WARNINGS_TEXT), L"第一个警告\r\nsecond warning");
  ASSERT_TRUE(w_.Next(kInstall));
  install_->WriteScenario("[scan]\nout W 第三个\n");
  ASSERT_TRUE(w_.Next(kPostscanWarnings));
  EXPECT_EQ(w_.Text(IDC_WARNINGS_TEXT), L"第三个");
}

// Links open through the shell; the stand-in, registered as the https
// handler, records the URL it was given.
TEST_F(PagesTest, WelcomeHotSpotsHelpAndHelpTextLinksOpenTheirUrls) {
  MachineValue https(kHttpsCommand, nullptr);
  ASSERT_NO_FATAL_FAILURE(Start("[scan]\n"));
  https.Set(L"\"" + install_->ProgramFolder() + L"\\snapshot.exe\" \"%1\"");
  const std::wstring site = L"https://support.corvel.example/info?id=";

  HWND picture = w_.Control(IDC_WELCOME_PICTURE);
  ASSERT_TRUE(picture);
  RECT r;
  GetWindowRect(picture, &r);
  auto spot = [&](int x, int y) { return POINT{r.left + x, r.top + y}; };
  // Hovering over the community banner lights it; leaving it restores it.
  HDC screen = GetDC(nullptr);
  POINT corner = spot(382, 38);  // the top edge of the banner: framed when lit
  COLORREF normal = GetPixel(screen, corner.x, corner.y);
  SetCursorPos(spot(380, 80).x, spot(380, 80).y);
  EXPECT_TRUE(WaitUntil([&] { return GetPixel(screen, corner.x, corner.y) != normal; }, 3000));
  SetCursorPos(spot(200, 100).x, spot(200, 100).y);
  EXPECT_TRUE(WaitUntil([&] { return GetPixel(screen, corner.x, corner.y) == normal; }, 3000));
  ReleaseDC(nullptr, screen);

  std::vector<std::wstring> want;
  using Spot = std::tuple<int, int, const wchar_t*>;  // a point of the picture and the page id it opens
  for (auto [x, y, id] :
       std::initializer_list<Spot>{{60, 234, L"905"}, {380, 80, L"933"}, {390, 194, L"1201"}, {380, 210, L"1202"}}) {
    ClickAt(spot(x, y));
    want.push_back(site + id);
    EXPECT_TRUE(WaitUntil([&] { return OpenedUrls().size() >= want.size(); })) << Narrow(want.back());
  }
  ClickAt(spot(200, 100));  // no hot spot
  ASSERT_TRUE(w_.Click(IDC_HELP_BUTTON));
  want.push_back(site + L"932");
  EXPECT_TRUE(WaitUntil([&] { return OpenedUrls().size() >= want.size(); }));
  EXPECT_EQ(OpenedUrls(), want);

  // The install page's help text: its two captions are links.
  ASSERT_TRUE(w_.NextUntil(kInstall));
  HWND help = w_.Control(IDC_POST_HELP);
  ProcessMemory mem(w_.ProcessId(), 256);
  using Link = std::pair<const char*, const wchar_t*>;
  for (auto [caption, id] :
       std::initializer_list<Link>{{"Learn more.", L"1123"}, {"Corvel Wrenlow Community", L"937"}}) {
    FINDTEXTA find{{0, -1}, reinterpret_cast<LPCSTR>(mem.At(64))};
    mem.Write(&find, sizeof find);
    mem.Write(caption, strlen(caption) + 1, 64);
    LRESULT at = Send(help, EM_FINDTEXT, FR_DOWN, mem.Param(), true);
    ASSERT_GE(at, 0) << caption;
    Send(help, EM_POSFROMCHAR, static_cast<WPARAM>(mem.Param(128)), at + 2);
    POINTL pt{};
    mem.Read(&pt, sizeof pt, 128);
    POINT onScreen{pt.x + 1, pt.y + 4};
    ClientToScreen(help, &onScreen);
    ClickAt(onScreen);
    want.push_back(site + id);
    EXPECT_TRUE(WaitUntil([&] { return OpenedUrls().size() >= want.size(); })) << caption;
  }
  EXPECT_EQ(OpenedUrls(), want);
}

}  // namespace

// Tooltips: each page registers its Back and Next tips, and Cancel's only
// when Cancel was enabled as the page started; a page with none has no
// tooltip control at all.
TEST_F(PagesTest, ButtonTooltipsPerPage) {
  Start("");
  const DWORD pid = w_.ProcessId();
  HWND main = w_.MainWindow();
  ASSERT_TRUE(main);
  // The page that holds a control, found among the main window's children.
  auto pageWith = [&](int id) -> HWND {
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (GetDlgItem(child, id)) return child;
    return nullptr;
  };
  // The buttons (by control ID) that carry a tip on `page`; {-1} when the page has no tooltip control.
  ProcessMemory mem(pid, sizeof(TTTOOLINFOW) + 1024);
  auto tipped = [&](HWND page) {
    std::vector<int> ids;
    bool control = false;
    for (HWND tip = FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); tip;
         tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(tip, &owner);
      if (owner != pid) continue;
      for (int i = 0; i < int(Send(tip, TTM_GETTOOLCOUNT)); ++i) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.lpszText = reinterpret_cast<LPWSTR>(mem.At(sizeof info));
        mem.Write(&info, sizeof info);
        if (!Send(tip, TTM_ENUMTOOLSW, i, mem.Param())) continue;
        mem.Read(&info, sizeof info);
        if (info.hwnd != page) break;
        control = true;
        ids.push_back(GetDlgCtrlID(reinterpret_cast<HWND>(info.uId)));
      }
    }
    return control ? ids : std::vector<int>{-1};
  };
  EXPECT_EQ(tipped(pageWith(IDC_WELCOME_PICTURE)), (std::vector<int>{IDOK, IDCANCEL})) << "welcome";
  EXPECT_EQ(tipped(pageWith(IDC_CLEANPC_LOCATIONS)), (std::vector<int>{IDC_BACK, IDOK, IDCANCEL}))
      << "ready to prescan";
  EXPECT_EQ(tipped(pageWith(IDC_PROGRESS_GROUP)), (std::vector<int>{IDC_BACK, IDCANCEL})) << "progress: Stop";
  EXPECT_EQ(tipped(pageWith(IDC_POST_IE)), (std::vector<int>{IDC_BACK, IDOK, IDCANCEL})) << "install";
  EXPECT_EQ(tipped(pageWith(IDC_CONTINUE_RADIO)), (std::vector<int>{IDCANCEL})) << "resume: Cancel only";
  EXPECT_EQ(tipped(pageWith(IDC_WARNINGS_TEXT)), (std::vector<int>{-1})) << "warnings: no tips and Cancel disabled";
}
