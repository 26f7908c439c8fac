#include "wizard/LoomwiseDlg.h"

#include <objbase.h>

#include "app/Branding.h"
#include "app/CommandLine.h"
#include "app/Settings.h"
#include "app/Version.h"
#include "capture/CaptureState.h"
#include "capture/ScanCommands.h"
#include "capture/ScanLocations.h"
#include "capture/ScanTool.h"
#include "capture/TempFiles_win32.h"
#include "capture/ToolRunner.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "macros/FolderMacros.h"
#include "resources/ResourceIds.h"
#include "util/PathRules.h"
#include "wizard/AboutDlg.h"
#include "wizard/Resume_win32.h"

namespace loom {
namespace {

constexpr UINT_PTR kStepTimer = 1;
constexpr UINT kStepTimerPeriod = 500;
constexpr UINT kTitleString = 57344;
constexpr UINT kCancelQuestion = 151;
constexpr UINT kFirstBannerBitmap = 187;  // 187..191 follow the branding banner
constexpr wchar_t kAppSyncPage[] = L"AppSyncPage";  // 1: the application-sync step is on the road

}  // namespace

CLoomwiseDlg::CLoomwiseDlg() : Dialog(IDD_MAIN, nullptr) {
  icon_ = static_cast<HICON>(
      ::LoadImageW(AppInstance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  InitFolderMacros();
  values_.appSyncPageEnabled = ReadSettingNumber(kSettingsSection, kAppSyncPage, 0) == 1;
}

CLoomwiseDlg::~CLoomwiseDlg() {
  for (HBITMAP& b : State().banners) {
    if (b) ::DeleteObject(b);
    b = nullptr;
  }
}

BOOL CLoomwiseDlg::OnInitDialog() {
  CaptureState& st = State();
  st.banners[0] = BrandingBitmap(kBrandBannerBitmap);
  for (int i = 1; i < 6; ++i)
    st.banners[i] = ::LoadBitmapW(AppInstance(), MAKEINTRESOURCEW(kFirstBannerBitmap + i - 1));
  SendItem(IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(st.banners[0]));

  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Dialog::OnInitDialog();

  FindScanTool();
  SetText(FormatW(LoadResString(102).c_str(), BrandingString(kBrandProductName).c_str(), LOOMWISE_VERSION));

  // Default scan locations: the drive of the program files, and two hives.
  st.scanLocations = ToWide(DefaultScanLocations(ExpandFolderMacros(u"%ProgramFilesDir%", false)));

  bannerText_.Create(hwnd_, RECT{40, 29, 500, 70}, 0xFFFF);

  for (const PageRow& row : pages_)
    if (row.id != PageId::ConfigAppSync || values_.appSyncPageEnabled) row.page->CreatePage(hwnd_);

  ShowStepPage();
  continue_.SetItemCheck(IDC_CONTINUE_RADIO, true);
  ListView entries(appList_.Item(IDC_ENTRY_LIST));
  entries.InsertColumn(0, L"\u540d\u79f0", 150);  // "名称"
  entries.InsertColumn(1, L"\u76ee\u6807", 300);  // "目标"

  DecideResumeAtStartup();

  std::wstring about = LoadResString(101);
  if (!about.empty()) {
    HMENU menu = ::GetSystemMenu(hwnd_, FALSE);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
  }
  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  ::SetTimer(hwnd_, kStepTimer, kStepTimerPeriod, nullptr);
  return FALSE;  // the shown page has set the focus
}

InnerDialog* CLoomwiseDlg::PageFor(PageId id) {
  for (const PageRow& row : pages_)
    if (row.id == id) return row.page;
  return &welcome_;
}

StepSwitches CLoomwiseDlg::Switches() const {
  StepSwitches sw;
  sw.portalIntegration = values_.managedByPortal;
  sw.qualityReporting = QualityReportingEnabled();
  sw.browserEntryPoint = !values_.firstChosenBrowser.empty();
  sw.appSyncPageEnabled = values_.appSyncPageEnabled;
  return sw;
}

void CLoomwiseDlg::GoToStep(int step) {
  StopTool();
  CaptureState& st = State();
  if (TurnsResumeOff(st.step, step)) SetResumeEntry(false);
  st.step = step;
  RunStepAction();
  if (State().step == step) ShowStepPage();
}

void CLoomwiseDlg::RunStepAction() {
  CaptureState& st = State();
  HWND me = hwnd_;
  switch (st.step) {
    case StepPrescan: {
      warnings_.ClearWarnings();
      const std::wstring& path = StartSnapshotPath();
      if (!DeleteExistingFile(path)) {
        ::MessageBoxW(nullptr, L"\u65e0\u6cd5\u5220\u9664\u6587\u4ef6\u3002", path.c_str(), MB_OK);  // "无法删除文件。"
        // A stale snapshot must never be taken for this run's result.
        GoToStep(StepReadyToPrescan);
        return;
      }
      SetResumeEntry(true);
      RunTool(ToWide(ScanCommand(ToU16(st.toolFolder), ToU16(st.toolName), ToU16(path), ToU16(st.scanLocations))), me);
      break;
    }
    case StepPostscan: {
      warnings_.ClearWarnings();
      const std::wstring& path = EndSnapshotPath();
      if (!DeleteExistingFile(path)) {
        ::MessageBoxW(nullptr, L"Could not delete end.snapshot.", L"Error", MB_OK);
        GoToStep(StepInstall);
        return;
      }
      RunTool(ToWide(ScanCommand(ToU16(st.toolFolder), ToU16(st.toolName), ToU16(path), ToU16(st.scanLocations))), me);
      break;
    }
    case StepCompare:
      RunTool(ToWide(SuggestProjectCommand(
                  ToU16(st.toolFolder), ToU16(st.toolName), ToU16(ShortPathOf(StartSnapshotPath())),
                  ToU16(ShortPathOf(EndSnapshotPath())), ToU16(WorkingProjectPath()), post_.ieSelection)),
              me);
      break;
    case StepSaveProject:
      routelle_.SaveRedirectionList(MakeTempPath(L"txt"));
      warnings_.ClearWarnings();
      RunTool(ToWide(GenerateProjectCommand(ToU16(st.toolFolder), ToU16(st.toolName), ToU16(WorkingProjectPath()),
                                            ToU16(values_.projectFolder))),
              me);
      break;
    default:
      if (GetStepInfo(st.step).hasPrepare) PageFor(GetStepInfo(st.step).page)->Prepare();
      break;
  }
}

void CLoomwiseDlg::ShowStepPage() {
  int step = State().step;
  InnerDialog* page = PageFor(GetStepInfo(step).page);
  ProgressSetup setup;
  if (GetProgressSetup(step, setup)) {
    progress_.SetGroupCaption(setup.groupCaption);
    progress_.SetProgressText(L"");
    progress_.SetSideBitmap(setup.sideBitmap);
    progress_.SetHelpText(setup.helpText);
    progress_.SetBackTooltip(setup.backTooltip);
  }
  if (step == StepEntryPoints) {
    StartSnapshotPath();
    EndSnapshotPath();
  }
  page->Show(SW_SHOW);
  for (const PageRow& row : pages_)
    if (row.page != page && row.page->hwnd()) row.page->Show(SW_HIDE);
  currentPage_ = page;
  page->FocusItem(page->ItemWindow(IDOK).IsEnabled() ? IDOK : IDC_BACK);
  UpdateBanner();
  UpdateTitle();
}

void CLoomwiseDlg::UpdateBanner() {
  SendItem(IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP,
           reinterpret_cast<LPARAM>(State().banners[GetStepInfo(State().step).bannerIndex]));
}

void CLoomwiseDlg::UpdateTitle() {
  std::wstring title = LoadResString(kTitleString);
  std::wstring stepTitle = LoadResString(UINT(StepTitleString(State().step, values_.buildSkipped)));
  if (!stepTitle.empty()) title += L" - " + stepTitle;
  SetText(title);
}

void CLoomwiseDlg::DeleteTemporaryFiles(unsigned mask) {
  loom::DeleteTemporaryFiles(mask);
  if (mask & DeleteWorkingProject) routelle_.DeleteListFile();  // recorded in the working project only
}

void CLoomwiseDlg::SetResumeEntry(bool on) { loom::SetResumeEntry(on, post_.ieSelection); }

void CLoomwiseDlg::DecideResumeAtStartup() {
  std::optional<PendingResume> pending = FindPendingResume();
  if (!pending) return;
  GoToStep(StepResume);
  continue_.SetItemText(IDC_CONTINUE_STATIC, pending->prescanFileName);
  KeepResumeEntry(*pending);
}

void CLoomwiseDlg::ResumeChoice() {
  const int target = ApplyResumeChoice(continue_.ItemCheck(IDC_CONTINUE_RADIO) == BST_CHECKED, post_.ieSelection);
  if (target == StepReadyToPrescan) SetResumeEntry(false);  // a new capture
  GoToStep(target);
  if (target != StepReadyToPrescan) SetResumeEntry(true);
}

void CLoomwiseDlg::OnNext() {
  Transition t = NextTransition(State().step, Switches());
  switch (t.kind) {
    case Transition::None: return;
    case Transition::ResumeChoice: ResumeChoice(); return;
    case Transition::Finish:
      DeleteTemporaryFiles(t.deletes);
      ::PostQuitMessage(0);
      return;
    case Transition::GoTo:
      if (t.checkPage) {
        if (currentPage_ && !currentPage_->UpdateData(true)) return;
        t = NextTransition(State().step, Switches());  // with what the page has just handed on
      }
      DeleteTemporaryFiles(t.deletes);
      GoToStep(t.target);
      return;
  }
}

void CLoomwiseDlg::OnBack() {
  if (State().closing) return;
  Transition t = BackTransition(State().step, Switches());
  if (t.kind != Transition::GoTo) return;
  if (t.leaveBuildPage) finished_.LeaveBuildPage();
  DeleteTemporaryFiles(t.deletes);
  GoToStep(t.target);
}

void CLoomwiseDlg::OnOK() {
  // Enter presses the visible page's Next button when it is enabled.
  if (currentPage_ && currentPage_->ItemWindow(IDOK).IsEnabled())
    currentPage_->Post(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(currentPage_->Item(IDOK)));
}

void CLoomwiseDlg::OnCancel() {
  if (::MessageBoxW(hwnd_, LoadResString(kCancelQuestion).c_str(), LoadResString(kTitleString).c_str(),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  StopTool();  // a scan still running must not write files after they are deleted
  SetResumeEntry(false);
  DeleteTemporaryFiles(DeletePrescan | DeletePostscan | DeleteWorkingProject);
  Send(WM_CLOSE);
}

void CLoomwiseDlg::ShowError(const std::wstring& text, HWND owner) {
  ::MessageBoxW(owner, text.c_str(), L"Error", MB_OK);
}

void CLoomwiseDlg::OnTimer(UINT_PTR id) {
  if (id != kStepTimer || !IsToolStep(State().step)) return;
  DWORD exitCode = 0;
  if (IsToolRunning(&exitCode)) return;
  JudgeToolStep(exitCode);
}

void CLoomwiseDlg::JudgeToolStep(DWORD exitCode) {
  CaptureState& st = State();
  const int step = st.step;
  std::wstring resultPath;
  if (step == StepPrescan) resultPath = st.startSnapshotPath;
  if (step == StepPostscan) resultPath = st.endSnapshotPath;
  if (step == StepCompare) resultPath = st.workingProjectPath;
  bool exists = !resultPath.empty() && IsExistingFile(resultPath);
  ToolJudgement j = loom::JudgeToolStep(step, ToU16(errorText_), exists, ToU16(resultPath), exitCode,
                                        !warnings_.warningsText().empty());
  errorText_ = ToWide(j.errorText);
  if (j.success) {
    if (j.resumeOn) SetResumeEntry(true);
    if (j.resumeOff) SetResumeEntry(false);
    GoToStep(j.target);
    return;
  }
  std::wstring text = errorText_;
  switch (step) {
    case StepPrescan:
    case StepCompare:
      GoToStep(j.target);
      ShowError(text, nullptr);
      break;
    case StepPostscan:
      ::KillTimer(hwnd_, kStepTimer);
      GoToStep(j.target);
      ShowError(text, nullptr);
      ::SetTimer(hwnd_, kStepTimer, kStepTimerPeriod, nullptr);
      break;
    case StepSaveProject:
      ::KillTimer(hwnd_, kStepTimer);
      ShowError(text, hwnd_);
      ::SetTimer(hwnd_, kStepTimer, kStepTimerPeriod, nullptr);
      GoToStep(j.target);
      break;
  }
}

bool CLoomwiseDlg::OnClicked(int id) {
  switch (id) {
    case IDCANCEL:
      // Escape: the shown page's Cancel decides (the build page ignores it).
      if (currentPage_)
        currentPage_->Post(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(currentPage_->Item(IDCANCEL)));
      return true;
    case 57670 /* help */:
      if (currentPage_) currentPage_->OpenHelp();
      return true;
  }
  return Dialog::OnClicked(id);
}

bool CLoomwiseDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_TOOL_INFO: {
      const wchar_t* text = reinterpret_cast<const wchar_t*>(lParam);
      if (text[0] == L'>' && text[1] == L' ') text += 2;
      progress_.SetProgressText(text);
      result = 0;
      return true;
    }
    case WM_TOOL_WARNING:
      warnings_.AddWarning(reinterpret_cast<const wchar_t*>(lParam));
      result = 0;
      return true;
    case WM_TOOL_ERROR:
      if (!errorText_.empty()) errorText_ += L"\r\n";
      errorText_ += reinterpret_cast<const wchar_t*>(lParam);
      result = 0;
      return true;
    case WM_TOOL_STARTING:
      errorText_.clear();
      result = 0;
      return true;
    case WM_CLOSE: {
      CaptureState& st = State();
      st.closing = true;
      // A scan still running would go on writing files nobody collects.
      StopTool();
      if (!st.workingProjectPath.empty()) DeleteExistingFile(st.workingProjectPath);
      routelle_.DeleteListFile();
      ::PostQuitMessage(0);
      result = 0;
      return true;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal(hwnd_);
        result = 0;
        return true;
      }
      return false;
    case WM_PAINT:
      if (::IsIconic(hwnd_)) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd_, &ps);
        Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT rc;
        ::GetClientRect(hwnd_, &rc);
        int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
        ::DrawIcon(dc, (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2, icon_);
        ::EndPaint(hwnd_, &ps);
        result = 0;
        return true;
      }
      return false;
    case WM_QUERYDRAGICON: result = reinterpret_cast<LRESULT>(icon_); return true;
  }
  return false;
}

}  // namespace loom
