#include "wizard/LoomwiseDlg.h"

#include <objbase.h>

#include <iterator>
#include <utility>

#include "app/Branding.h"
#include "app/CommandLine.h"
#include "app/StartupTimes.h"
#include "app/Settings.h"
#include "app/Version.h"
#include "capture/CaptureState.h"
#include "capture/ScanCommands.h"
#include "capture/ScanLocations.h"
#include "capture/ScanTool.h"
#include "capture/TempFiles_win32.h"
#include "capture/ToolRunner.h"
#include "framework/Messages.h"
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
constexpr UINT_PTR kStartupTimer = 2;  // its turn comes after the first paint
constexpr UINT kCreateNextPage = WM_APP + 0x40;  // posted: the next page window after the first paint
constexpr UINT kStepTimerPeriod = 500;
constexpr wchar_t kAppSyncPage[] = L"AppSyncPage";  // 1: the application-sync step is on the road

}  // namespace

CLoomwiseDlg::CLoomwiseDlg(Origin origin) : Dialog(IDD_MAIN, nullptr), origin_(std::move(origin)) {
  icon_ = static_cast<HICON>(
      ::LoadImageW(AppInstance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
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
  st.banners[0] = BrandingBitmap(kBrandBannerBitmap);  // the others when their step first shows
  SendItem(IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(st.banners[0]));
  MarkStartup("main window template, branding module, banners");

  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Dialog::OnInitDialog();

  MarkStartup("main window controls");
  FindScanTool();
  MarkStartup("scan tool");
  SetText(FormatW(LoadResString(IDS_FIRST_TITLE).c_str(), BrandingString(kBrandProductName).c_str(), LOOMWISE_VERSION));

  bannerText_.Create(hwnd_, RECT{40, 29, 500, 70}, 0xFFFF);
  MarkStartup("title");

  // The shown page's window now, the others after the first paint (CreateNextPage).
  const PageId firstPage = GetStepInfo(State().step).page;
  for (const PageRow& row : pages_)
    if (row.id == firstPage) CreatePageWindow(row);
  MarkStartup("shown page's window");
  ShowStepPage();
  MarkStartup("first page shown");

  DecideResumeAtStartup();
  MarkStartup("resume, settings");

  std::wstring about = LoadResString(IDS_ABOUT_MENU);
  if (!about.empty()) {
    HMENU menu = ::GetSystemMenu(hwnd_, FALSE);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
  }
  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  ::SetTimer(hwnd_, kStepTimer, kStepTimerPeriod, nullptr);
  ::SetTimer(hwnd_, kStartupTimer, USER_TIMER_MINIMUM, nullptr);
  MarkStartup("menu, icon");
  return FALSE;  // the shown page has set the focus
}

void CLoomwiseDlg::FinishStartup() {
  if (startupFinished_) return;
  startupFinished_ = true;
  ::KillTimer(hwnd_, kStartupTimer);
  InitFolderMacros();
  // Default scan locations: the drive of the program files, and two hives.
  State().scanLocations = ToWide(DefaultScanLocations(ExpandFolderMacros(u"%ProgramFilesDir%", false)));
  MarkStartup("folder macros, scan locations");
  if (nextPage_ < kPageCount) Post(kCreateNextPage);
}

void CLoomwiseDlg::CreatePageWindow(const PageRow& row) {
  if (row.page->hwnd() || (row.id == PageId::ConfigAppSync && !values_.appSyncPageEnabled)) return;
  if (!row.page->CreatePage(hwnd_)) return;
  if (startupFinished_) row.page->FinishPage();  // the first paint is past
  // Among its siblings where the table puts it: before the first later page already made.
  for (const PageRow* later = &row + 1; later != std::end(pages_); ++later) {
    if (!later->page->hwnd()) continue;
    HWND above = ::GetWindow(later->page->hwnd(), GW_HWNDPREV);
    ::SetWindowPos(row.page->hwnd(), above ? above : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    break;
  }
}

void CLoomwiseDlg::CreateNextPage() {
  if (nextPage_ == kPageCount) return;
  CreatePageWindow(pages_[nextPage_++]);
  if (nextPage_ < kPageCount) return;
  continue_.SetItemCheck(IDC_CONTINUE_RADIO, true);
  ListView entries(appList_.Item(IDC_ENTRY_LIST));
  entries.InsertColumn(0, LoadResString(IDS_COLUMN_NAME), 150);
  entries.InsertColumn(1, LoadResString(IDS_COLUMN_TARGET), 300);
  MarkStartup(startupFinished_ ? "other page windows, after the first paint" : "other page windows");
  WriteStartupMarks();
}

void CLoomwiseDlg::CreatePages() {
  while (nextPage_ < kPageCount) CreateNextPage();
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
  CreatePages();
  FinishStartup();
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
        ShowMessageCaptioned(me, LoadResString(IDS_CANNOT_DELETE_FILE), path);
        // A stale snapshot must never be taken for this run's result.
        GoToStep(StepReadyToPrescan);
        return;
      }
      SetResumeEntry(true);
      RunStepTool(ToWide(ScanCommand(ToU16(st.toolFolder), ToU16(st.toolName), ToU16(path), ToU16(st.scanLocations))));
      break;
    }
    case StepPostscan: {
      warnings_.ClearWarnings();
      const std::wstring& path = EndSnapshotPath();
      if (!DeleteExistingFile(path)) {
        ShowMessage(me, IDS_CANNOT_DELETE_END_SNAPSHOT, MB_OK, IDS_CAPTION_ERROR);
        GoToStep(StepInstall);
        return;
      }
      RunStepTool(ToWide(ScanCommand(ToU16(st.toolFolder), ToU16(st.toolName), ToU16(path), ToU16(st.scanLocations))));
      break;
    }
    case StepCompare:
      RunStepTool(ToWide(SuggestProjectCommand(
          ToU16(st.toolFolder), ToU16(st.toolName), ToU16(ShortPathOf(StartSnapshotPath())),
          ToU16(ShortPathOf(EndSnapshotPath())), ToU16(WorkingProjectPath()), post_.ieSelection)));
      break;
    case StepSaveProject:
      routelle_.SaveRedirectionList(MakeTempPath(L"txt"));
      warnings_.ClearWarnings();
      RunStepTool(ToWide(GenerateProjectCommand(ToU16(st.toolFolder), ToU16(st.toolName), ToU16(WorkingProjectPath()),
                                                ToU16(values_.projectFolder))));
      break;
    default:
      if (GetStepInfo(st.step).hasPrepare) PageFor(GetStepInfo(st.step).page)->Prepare();
      break;
  }
}

void CLoomwiseDlg::RunStepTool(const std::wstring& commandLine) {
  // A tool that cannot start is told here; the timer then judges the step
  // by the missing result as for any failed run.
  if (!RunTool(commandLine, hwnd_)) ShowMessage(hwnd_, commandLine, MB_OK, IDS_CANNOT_RUN);
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
  CaptureState& st = State();
  const int i = GetStepInfo(st.step).bannerIndex;
  if (i > 0 && !st.banners[i])
    st.banners[i] = ::LoadBitmapW(AppInstance(), MAKEINTRESOURCEW(IDB_BANNER_PRESCAN + i - 1));
  SendItem(IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(st.banners[i]));
}

void CLoomwiseDlg::UpdateTitle() {
  std::wstring title = LoadResString(IDS_APP_TITLE);
  std::wstring stepTitle = LoadResString(UINT(StepTitleString(State().step, values_.buildSkipped)));
  if (!stepTitle.empty()) title += L" - " + stepTitle;
  SetText(title);
}

void CLoomwiseDlg::DeleteTemporaryFiles(unsigned mask) {
  loom::DeleteTemporaryFiles(mask);
  if (mask & DeleteWorkingProject) routelle_.DeleteListFile();  // recorded in the working project only
}

void CLoomwiseDlg::SetResumeEntry(bool on) { loom::SetResumeEntry(origin_, on, post_.ieSelection); }

void CLoomwiseDlg::DecideResumeAtStartup() {
  std::optional<PendingResume> pending = FindPendingResume(origin_);
  if (!pending) return;
  GoToStep(StepResume);
  continue_.SetItemText(IDC_CONTINUE_STATIC, pending->prescanFileName);
  KeepResumeEntry(origin_, *pending);
}

void CLoomwiseDlg::ResumeChoice() {
  const int target = ApplyResumeChoice(continue_.ItemCheck(IDC_CONTINUE_RADIO) == BST_CHECKED, post_.ieSelection);
  if (target == StepReadyToPrescan) SetResumeEntry(false);  // a new capture
  GoToStep(target);
  if (target != StepReadyToPrescan) SetResumeEntry(true);
}

void CLoomwiseDlg::OnNext() {
  CreatePages();  // pages hand on what they read when made
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
  CreatePages();
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
  if (ShowMessage(hwnd_, IDS_QUIT_QUESTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  StopTool();  // a scan still running must not write files after they are deleted
  SetResumeEntry(false);
  DeleteTemporaryFiles(DeletePrescan | DeletePostscan | DeleteWorkingProject);
  Send(WM_CLOSE);
}

void CLoomwiseDlg::ShowError(const std::wstring& text) { ShowMessage(hwnd_, text, MB_OK, IDS_CAPTION_ERROR); }

void CLoomwiseDlg::OnTimer(UINT_PTR id) {
  if (id == kStartupTimer) {
    MarkStartup("window shown, first paint");
    FinishStartup();
  }
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
  ToolJudgement j = loom::JudgeToolStep(step, !errorText_.empty(), exists, exitCode, !warnings_.warningsText().empty());
  errorText_ = ToolFailureText(j.failure, errorText_, resultPath);
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
      ShowError(text);
      break;
    case StepPostscan:
      ::KillTimer(hwnd_, kStepTimer);
      GoToStep(j.target);
      ShowError(text);
      ::SetTimer(hwnd_, kStepTimer, kStepTimerPeriod, nullptr);
      break;
    case StepSaveProject:
      ::KillTimer(hwnd_, kStepTimer);
      ShowError(text);
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
    case IDM_HELP:
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
    case WM_TOOL_ENDED:
      if (ToolEndUncollected()) OnTimer(kStepTimer);
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
    case kCreateNextPage:
      if (State().closing) return true;
      CreateNextPage();
      if (nextPage_ < kPageCount) Post(kCreateNextPage);  // one a message: the window keeps answering
      result = 0;
      return true;
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
