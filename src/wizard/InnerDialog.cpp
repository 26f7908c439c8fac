#include "wizard/InnerDialog.h"

#include <shellapi.h>

#include "app/SystemLibrary.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "resources/ResourceIds.h"

namespace loom {
namespace {

constexpr UINT kFocusNext = WM_APP + 0x101;
constexpr UINT_PTR kFinishPageTimer = 0x4C46;  // a page not shown yet: its tooltips and help text
constexpr UINT_PTR kHelpTextTimer = 0x4C48;    // the help text of a page not shown yet

}  // namespace

InnerDialog::InnerDialog(UINT templateId, int helpString, WizardHost* wizard)
    : Dialog(templateId, nullptr), wizard_(wizard), helpString_(helpString) {
  arrow_ = ::LoadCursorW(nullptr, IDC_ARROW);
  hand_ = ::LoadCursorW(nullptr, IDC_HAND);
  busyCursor_ = ::LoadCursorW(nullptr, IDC_APPSTARTING);
}

bool InnerDialog::CreatePage(HWND mainWindow) {
  if (!Create(mainWindow)) return false;
  ::SetWindowPos(hwnd_, nullptr, 0, 85, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void InnerDialog::SetRichText(int richEditId, UINT helpTextId) {
  richEditId_ = richEditId;
  helpTextId_ = helpTextId;
  helpPending_ = true;
  if (helpShown_) LoadHelpText();
}

void InnerDialog::SetRichTextWithLink(int richEditId, UINT helpTextId, UINT linkString) {
  linkStrings_[0] = linkString;
  SetRichText(richEditId, helpTextId);
}

void InnerDialog::SetRichTextWithLinks(int richEditId, UINT helpTextId, UINT linkString0, UINT linkString1) {
  linkStrings_[0] = linkString0;
  linkStrings_[1] = linkString1;
  SetRichText(richEditId, helpTextId);
}

void InnerDialog::LoadHelpText() {
  if (!helpPending_ || !hwnd_) return;
  helpPending_ = false;
  std::string_view rtf = LoadResBytes(helpTextId_, RTFTEXT_TYPE);
  if (!rtf.empty()) {
    RichEdit edit(Item(richEditId_));
    edit.StreamRtf(rtf);
    edit.SetBackground(::GetSysColor(COLOR_BTNFACE));
  }
  if (helpShown_) return;
  helpShown_ = true;
  for (int i : {1, 0})
    if (linkStrings_[i]) FillLink(links_[i], linkStrings_[i]);
  for (const PageLink& link : links_) {
    if (link.length == 0) continue;
    richEdit_.SetSel(link.start, link.start + link.length);
    richEdit_.SetLinkFormat();
    richEdit_.SetSel(0, 0);
    richEdit_.SetEventMask(ENM_LINK);
  }
}

void InnerDialog::FinishPage() {
  if (!hwnd_) return;
  ::KillTimer(hwnd_, kFinishPageTimer);
  if (tooltipsPending_) {
    tooltipsPending_ = false;
    UINT backId = GetBackTooltipId();
    UINT nextId = GetNextTooltipId();
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, AppInstance(), nullptr);
    if (tooltip_) {
      if (backId) AddTool(IDC_BACK, LoadResString(backId));
      if (nextId) AddTool(IDOK, LoadResString(nextId));
      if (cancelTip_) AddTool(IDCANCEL, LoadResString(IDS_TIP_CANCEL));
      ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 200);
      ::SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
    }
  }
  LoadHelpText();
}

void CALLBACK InnerDialog::FinishPageLater(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(hwnd, id);
  if (auto* page = dynamic_cast<InnerDialog*>(Dialog::FromHandle(hwnd))) page->FinishPage();
}

void InnerDialog::FillLink(PageLink& link, UINT stringId) {
  std::wstring caption;
  SplitLink(LoadResString(stringId), caption, link.url);
  RichEdit edit(Item(richEditId_));
  edit.SetSel(0, 0);
  LONG found = caption.empty() ? -1 : edit.Find(caption);
  // A caption that is not in the text is left unformatted and not clickable.
  link.start = found;
  link.length = found < 0 ? 0 : LONG(caption.size());
}

void InnerDialog::AddTool(int buttonId, const std::wstring& text) {
  HWND button = Item(buttonId);
  if (!button || text.empty()) return;
  TTTOOLINFOW ti = {};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND;  // messages reach it through PreTranslateMessage
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(button);
  ti.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void InnerDialog::SetBackTooltip(UINT stringId) {
  FinishPage();
  if (!tooltip_ || GetBackTooltipId() == 0) return;
  std::wstring text = LoadResString(stringId);
  TTTOOLINFOW ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(Item(IDC_BACK));
  ti.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

BOOL InnerDialog::OnInitDialog() {
  HWND cancel = Item(IDCANCEL);
  cancelTip_ = cancel && ::IsWindowEnabled(cancel);
  tooltipsPending_ = GetBackTooltipId() || GetNextTooltipId() || cancelTip_;
  Dialog::OnInitDialog();
  // A timer's turn comes once nothing else waits: after the first paint.
  if (tooltipsPending_ || helpPending_) ::SetTimer(hwnd_, kFinishPageTimer, USER_TIMER_MINIMUM, FinishPageLater);
  return FALSE;  // made hidden: the focus stays where it is until the main window shows the page
}

void InnerDialog::DoDataExchange(DataExchange& dx) {
  if (richEditId_ != 0) dx.Bind(richEditId_, richEdit_);
}

bool InnerDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (richEditId_ == 0 || LOWORD(wParam) != richEditId_ || HIWORD(wParam) != EN_SETFOCUS) return false;
  Post(kFocusNext, wParam, lParam);  // the help text never keeps the focus
  return true;
}

bool InnerDialog::OnClicked(int id) {
  switch (id) {
    case IDC_BACK: OnBackButton(); return true;
    case IDC_HELP_BUTTON:
    case IDM_HELP: OpenHelp(); return true;
  }
  return Dialog::OnClicked(id);
}

void InnerDialog::OnOK() { wizard_->OnNext(); }
void InnerDialog::OnBackButton() { wizard_->OnBack(); }
void InnerDialog::OnCancel() { wizard_->OnCancel(); }

void InnerDialog::OpenHelp() {
  if (helpString_ == -1) return;
  std::wstring url = LoadResString(UINT(helpString_));
  if (!url.empty()) OpenUrl(url);
}

void InnerDialog::OpenUrl(const std::wstring& url) {
  HCURSOR previous = ::SetCursor(busyCursor_);
  busy_ = true;
  SHELLEXECUTEINFOW sei = {};
  sei.cbSize = sizeof sei;
  sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT;
  sei.lpFile = url.c_str();
  sei.nShow = SW_SHOWNORMAL;
  auto execute = OnDemand<decltype(&::ShellExecuteExW)>(kShellLibrary, "ShellExecuteExW");
  if (execute && execute(&sei) && sei.hProcess) {
    ::WaitForInputIdle(sei.hProcess, 2500);
    ::CloseHandle(sei.hProcess);
  }
  busy_ = false;
  ::SetCursor(previous);
}

bool InnerDialog::OnNotify(WPARAM, NMHDR* header, LRESULT& result) {
  if (richEditId_ == 0 || int(header->idFrom) != richEditId_ || header->code != EN_LINK) return false;
  auto* link = reinterpret_cast<ENLINK*>(header);
  if (link->msg != WM_LBUTTONUP) {
    result = -1;  // acted on only when the button is released
    return true;
  }
  OpenUrl(link->chrg.cpMin == links_[0].start ? links_[0].url : links_[1].url);
  result = 0;
  return true;
}

bool InnerDialog::PreTranslateMessage(MSG* msg) {
  if (tooltip_) {
    MSG copy = *msg;
    ::SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
  }
  return false;
}

bool InnerDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case kFocusNext: FocusItem(IDOK); return true;
    case WM_SHOWWINDOW:
      if (wParam) FinishPage();
      return false;
    case WM_SYSCOLORCHANGE:
      if (richEditId_ != 0) RichEdit(Item(richEditId_)).SetBackground(::GetSysColor(COLOR_BTNFACE));
      return true;
    case WM_SETCURSOR: {
      if (busy_) {
        ::SetCursor(busyCursor_);
        result = TRUE;
        return true;
      }
      HWND edit = richEditId_ ? Item(richEditId_) : nullptr;
      if (!edit || reinterpret_cast<HWND>(wParam) != edit) return false;
      POINT pt;
      ::GetCursorPos(&pt);
      ::ScreenToClient(edit, &pt);
      LONG ch = RichEdit(edit).CharFromPos(pt);
      bool overLink = false;
      for (const PageLink& link : links_)
        if (link.length && ch >= link.start && ch < link.start + link.length) overLink = true;
      ::SetCursor(overLink ? hand_ : arrow_);
      result = TRUE;
      return true;
    }
  }
  (void)lParam;
  return false;
}

void InnerDialog::OnDestroy() {
  if (tooltip_) {
    ::DestroyWindow(tooltip_);
    tooltip_ = nullptr;
  }
}

}  // namespace loom
