#include "build/FinishedView.h"

#include "app/Origin.h"
#include "app/Settings.h"
#include "build/BuildPlan.h"
#include "build/BuildRun_win32.h"
#include "build/BuildScript_win32.h"
#include "capture/ScanTool.h"
#include "capture/ToolRunner.h"
#include "framework/DataExchange.h"
#include "framework/Messages.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "util/PathRules.h"
#include "wizard/PageValues.h"

namespace loom {
namespace {

constexpr UINT_PTR kPollTimer = 2;
constexpr UINT kPollPeriod = 250;
constexpr UINT_PTR kCatchUpTimer = 3;  // runs while more output waits than one refresh shows
constexpr UINT kCatchUpPeriod = 15;
constexpr wchar_t kOpenFolderOnFinish[] = L"OpenFolderOnFinish";

}  // namespace

FinishedView::FinishedView(WizardHost* wizard) : InnerDialog(IDD_FINISHED, IDS_HELP_BUILD, wizard) {}

FinishedView::~FinishedView() { SetBuildOutputTarget(nullptr); }

std::wstring FinishedView::ProjectFolder() const { return Values().projectFolder; }

BOOL FinishedView::OnInitDialog() {
  openFolderOnFinish_ = ReadSetting(kSettingsSection, kOpenFolderOnFinish, L"1") == L"1";
  SetRichText(IDC_BUILD_HELP, IDR_HELP_BUILDING);
  Edit(Item(IDC_BUILD_OUTPUT)).SetLimit(0);  // as much as the tools write
  return InnerDialog::OnInitDialog();
}

void FinishedView::DoDataExchange(DataExchange& dx) {
  InnerDialog::DoDataExchange(dx);
  dx.Check(IDC_BUILD_OPEN_FOLDER, openFolderOnFinish_);
  if (dx.saving() && !dx.failed())
    WriteSetting(kSettingsSection, kOpenFolderOnFinish, openFolderOnFinish_ ? L"1" : L"0");
}

bool FinishedView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_TOOL_ENDED) {
    // Only while a tick would act: a stage runs and its timer is set.
    if (ToolEndUncollected() && ::KillTimer(hwnd_, kPollTimer)) {
      ::SetTimer(hwnd_, kPollTimer, kPollPeriod, nullptr);
      OnTimer(kPollTimer);
    }
    result = 0;
    return true;
  }
  // The read-only output is drawn on the window colour, not the dialog's.
  if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == Item(IDC_BUILD_OUTPUT)) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    return true;
  }
  return InnerDialog::OnMessage(msg, wParam, lParam, result);
}

void FinishedView::SetupBuildPage() {
  ::KillTimer(hwnd_, kCatchUpTimer);
  output_.Clear(Item(IDC_BUILD_OUTPUT));
  outputFolder_.clear();
  skipped_ = Values().buildSkipped;
  SetRichText(IDC_BUILD_HELP, skipped_ ? IDR_HELP_BUILD_SKIPPED : IDR_HELP_BUILDING);
  ShowItem(IDC_BUILD_GROUP, !skipped_);
  ShowItem(IDC_BUILD_OUTPUT, !skipped_);
  SetItemText(IDC_BUILD_OPEN_FOLDER, LoadResString(skipped_ ? IDS_OPEN_PROJECT_FOLDER : IDS_OPEN_OUTPUT_FOLDER));
  SetItemText(IDC_BACK, LoadResString(skipped_ ? IDS_BACK : IDS_STOP));
  EnableItem(IDC_BACK, true);
  EnableItem(IDOK, true);
  if (!skipped_) StartBuild();
}

void FinishedView::StartBuild() {
  if (unsigned warning = UpdateBuildScript(ProjectFolder(), Values().packageIniOpened,
                                          GetWizard()->GetOrigin().OriginOrProgramFolder()))
    ShowMessage(hwnd_, warning, MB_OK, IDS_CAPTION_WARNING);
  SetItemText(IDC_BACK, LoadResString(IDS_STOP));
  EnableItem(IDOK, false);
  ::KillTimer(hwnd_, kCatchUpTimer);
  output_.Clear(Item(IDC_BUILD_OUTPUT));
  buildStage_ = 0;
  outputFolder_ = ToWide(NormalOutDir(ToU16(ReadOutDir(ProjectFolder()))));
  std::wstring project = ProjectFolder();
  ::SetCurrentDirectoryW(project.c_str());              // a relative OutDir is below the project
  ::SetTimer(hwnd_, kPollTimer, kPollPeriod, nullptr);  // ticks wait while the stage is 0

  if (!IsUsablePath(ToU16(outputFolder_))) {
    // No tool can be given such a folder.
    ::KillTimer(hwnd_, kPollTimer);
    ShowMessage(hwnd_, IDS_CANNOT_CREATE_OUTDIR);
    buildStage_ = 4;
    EndBuild(IDS_BUILD_FAILED);
    return;
  }
  if (!CreateBuildOutputFolder(ProjectFolder(), outputFolder_)) ShowMessage(hwnd_, IDS_CANNOT_CREATE_OUTDIR);
  AdvanceBuild(0);
}

void FinishedView::AdvanceBuild(DWORD exitCode) {
  buildStage_ += 1;
  if (exitCode != 0) buildStage_ = 4;
  if (buildStage_ >= 4) {
    buildStage_ = 4;
    EndBuild(exitCode != 0 ? IDS_BUILD_FAILED : IDS_BUILD_COMPLETE);
    return;
  }
  RefreshOutput();  // the last output of the tool before, shown before the next one starts or a message opens
  const Origin& origin = GetWizard()->GetOrigin();
  std::u16string program = origin.ProgramFolder();
  std::u16string tools = BuildToolFolder(origin);
  std::wstring toolPath = ToWide(BuildToolPath(buildStage_, tools));
  if (::GetFileAttributesW(toolPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // Which file is missing and where the wizard looked, instead of a command line that cannot start.
    ::KillTimer(hwnd_, kPollTimer);
    std::wstring from = LoadResString(tools == program ? IDS_TOOLS_FROM_PROGRAM : IDS_TOOLS_FROM_VARIABLE);
    std::wstring text =
        FormatW(LoadResString(IDS_BUILD_TOOL_MISSING).c_str(), toolPath.c_str(), ToWide(tools).c_str(), from.c_str());
    ShowMessage(hwnd_, text, MB_OK | MB_ICONEXCLAMATION);
    buildStage_ = 4;
    EndBuild(IDS_BUILD_FAILED);
    return;
  }
  std::wstring command = ToWide(BuildToolCommand(buildStage_, tools, ToU16(outputFolder_), ToU16(ProjectFolder())));
  // The runner tells the user itself when the tool cannot start; no tick may
  // act while its message is open.
  ::KillTimer(hwnd_, kPollTimer);
  SetBuildOutputTarget(&output_);
  if (!RunTool(command, hwnd_, BuildOutputPump)) {
    ShowMessage(hwnd_, command, MB_OK, IDS_CANNOT_RUN);  // what could not start, then what it means here
    ShowMessage(hwnd_, IDS_CANNOT_BUILD_NOW, MB_OK | MB_ICONEXCLAMATION);
    buildStage_ = 4;
    EndBuild(IDS_BUILD_FAILED);
    return;
  }
  ::SetTimer(hwnd_, kPollTimer, kPollPeriod, nullptr);
}

void FinishedView::OnTimer(UINT_PTR id) {
  if (id == kCatchUpTimer) {
    RefreshOutput();
    return;
  }
  if (id != kPollTimer) return;
  if (buildStage_ < 1 || buildStage_ > 3) return;  // starting (a message may be open) or ended
  // One refresh a tick: while the tool runs, here; once it has ended (its
  // reader has read the last byte), by the next step, which shows the tool's
  // last output before the next tool starts or with the build's closing message.
  DWORD exitCode = 0;
  if (IsToolRunning(&exitCode)) {
    RefreshOutput();
    return;
  }
  AdvanceBuild(exitCode);
}

void FinishedView::RefreshOutput() {
  if (output_.Refresh(Item(IDC_BUILD_OUTPUT)))
    ::SetTimer(hwnd_, kCatchUpTimer, kCatchUpPeriod, nullptr);
  else
    ::KillTimer(hwnd_, kCatchUpTimer);
}

void FinishedView::EndBuild(UINT messageId) {
  ::KillTimer(hwnd_, kPollTimer);
  output_.AppendClosingMessage(LoadResString(messageId));
  RefreshOutput();
  DeleteIntermediateBuildFiles(ProjectFolder(), outputFolder_);
  SetItemText(IDC_BACK, LoadResString(IDS_BACK));
  EnableItem(IDC_BACK, true);
  EnableItem(IDOK, true);
}

void FinishedView::StopBuild() {
  HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  bool running = buildStage_ < 4;
  ::KillTimer(hwnd_, kPollTimer);
  StopTool();  // joins the reader: the tool's last lines are in before the closing message
  buildStage_ = 4;
  if (running) EndBuild(IDS_BUILD_STOPPED);
  ::SetCursor(previous);
  GetWizard()->OnBack();
}

void FinishedView::LeaveBuildPage() {
  ::KillTimer(hwnd_, kPollTimer);
  StopTool();
  buildStage_ = 4;
  EnableItem(IDC_BACK, true);
  EnableItem(IDOK, true);
}

void FinishedView::OnFinishClicked() {
  if (!UpdateData(true)) return;
  if (openFolderOnFinish_) {
    std::u16string project = ToU16(ProjectFolder());
    OpenUrl(ToWide(skipped_ ? project : OutputFolderPath(project, ToU16(outputFolder_))));
  }
  GetWizard()->OnNext();
}

}  // namespace loom
