#include "build/FinishedView.h"

#include "app/Settings.h"
#include "build/BuildPlan.h"
#include "build/BuildRun_win32.h"
#include "build/BuildScript_win32.h"
#include "capture/ScanTool.h"
#include "capture/ToolRunner.h"
#include "framework/DataExchange.h"
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
constexpr UINT kAppTitle = 57344;
constexpr UINT kCannotBuildNow = 121;
constexpr UINT kBuildFailed = 122;
constexpr UINT kBuildComplete = 123;
constexpr UINT kBuildStopped = 126;
constexpr UINT kOpenOutputFolder = 185;
constexpr UINT kOpenProjectFolder = 186;
constexpr UINT kStopCaption = 182;
constexpr UINT kBackCaption = 183;
constexpr UINT kMissingBuildTool = 256;   // the tool's path, the folder, where the folder came from
constexpr UINT kToolsFromProgram = 257;   // the folder of Loomwise.exe
constexpr UINT kToolsFromVariable = 258;  // QUILLMARK_BIN
constexpr wchar_t kOpenFolderOnFinish[] = L"OpenFolderOnFinish";
// "无法创建目录。检查Package.ini - outdir"
constexpr wchar_t kCannotCreateFolder[] = L"\u65e0\u6cd5\u521b\u5efa\u76ee\u5f55\u3002\u68c0\u67e5Package.ini - outdir";

}  // namespace

FinishedView::FinishedView(WizardHost* wizard) : InnerDialog(IDD_FINISHED, 192, wizard) {}

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
  SetItemText(IDC_BUILD_OPEN_FOLDER, LoadResString(skipped_ ? kOpenProjectFolder : kOpenOutputFolder));
  SetItemText(IDC_BACK, LoadResString(skipped_ ? kBackCaption : kStopCaption));
  EnableItem(IDC_BACK, true);
  EnableItem(IDOK, true);
  if (!skipped_) StartBuild();
}

void FinishedView::StartBuild() {
  UpdateBuildScript(ProjectFolder(), Values().packageIniOpened);
  SetItemText(IDC_BACK, LoadResString(kStopCaption));
  EnableItem(IDOK, false);
  ::KillTimer(hwnd_, kCatchUpTimer);
  output_.Clear(Item(IDC_BUILD_OUTPUT));
  buildStage_ = 0;
  outputFolder_ = ToWide(NormalOutDir(ToU16(ReadOutDir(ProjectFolder()))));
  std::wstring project = ProjectFolder();
  ::SetCurrentDirectoryW(project.c_str());              // a relative OutDir is below the project
  ::SetTimer(hwnd_, kPollTimer, kPollPeriod, nullptr);  // ticks wait while the stage is 0

  const std::wstring title = LoadResString(kAppTitle);
  if (!IsUsablePath(ToU16(outputFolder_))) {
    // No tool can be given such a folder.
    ::KillTimer(hwnd_, kPollTimer);
    ::MessageBoxW(hwnd_, kCannotCreateFolder, title.c_str(), MB_OK);
    buildStage_ = 4;
    EndBuild(kBuildFailed);
    return;
  }
  if (!CreateBuildOutputFolder(ProjectFolder(), outputFolder_))
    ::MessageBoxW(hwnd_, kCannotCreateFolder, title.c_str(), MB_OK);
  AdvanceBuild(0);
}

void FinishedView::AdvanceBuild(DWORD exitCode) {
  buildStage_ += 1;
  if (exitCode != 0) buildStage_ = 4;
  if (buildStage_ >= 4) {
    buildStage_ = 4;
    EndBuild(exitCode != 0 ? kBuildFailed : kBuildComplete);
    return;
  }
  std::u16string program = ToU16(ProgramFolder());
  std::u16string tools = ToU16(BuildToolsFolder());
  std::wstring toolPath = ToWide(BuildToolPath(buildStage_, tools));
  if (::GetFileAttributesW(toolPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // Which file is missing and where the wizard looked, instead of a command line that cannot start.
    ::KillTimer(hwnd_, kPollTimer);
    std::wstring from = LoadResString(tools == program ? kToolsFromProgram : kToolsFromVariable);
    std::wstring text =
        FormatW(LoadResString(kMissingBuildTool).c_str(), toolPath.c_str(), ToWide(tools).c_str(), from.c_str());
    ::MessageBoxW(hwnd_, text.c_str(), LoadResString(kAppTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
    buildStage_ = 4;
    EndBuild(kBuildFailed);
    return;
  }
  std::wstring command = ToWide(BuildToolCommand(buildStage_, tools, ToU16(outputFolder_), ToU16(ProjectFolder())));
  // The runner tells the user itself when the tool cannot start; no tick may
  // act while its message is open.
  ::KillTimer(hwnd_, kPollTimer);
  SetBuildOutputTarget(&output_);
  if (!RunTool(command, hwnd_, BuildOutputPump)) {
    ::MessageBoxW(hwnd_, LoadResString(kCannotBuildNow).c_str(), LoadResString(kAppTitle).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
    buildStage_ = 4;
    EndBuild(kBuildFailed);
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
  RefreshOutput();
  DWORD exitCode = 0;
  if (IsToolRunning(&exitCode)) return;
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
  SetItemText(IDC_BACK, LoadResString(kBackCaption));
  EnableItem(IDC_BACK, true);
  EnableItem(IDOK, true);
}

void FinishedView::StopBuild() {
  HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  bool running = buildStage_ < 4;
  ::KillTimer(hwnd_, kPollTimer);
  StopTool();  // joins the reader: the tool's last lines are in before the closing message
  buildStage_ = 4;
  if (running) EndBuild(kBuildStopped);
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
