#include "framework/Dialog.h"

#include <exception>
#include <unordered_map>

#include "framework/DataExchange.h"
#include "framework/Resources.h"

namespace loom {
namespace {

// Live dialogs of the user-interface thread, for PreTranslateMessage routing.
std::unordered_map<HWND, Dialog*>& LiveDialogs() {
  static std::unordered_map<HWND, Dialog*> map;
  return map;
}

}  // namespace

Dialog::~Dialog() {
  if (hwnd_) {
    LiveDialogs().erase(hwnd_);
    ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
}

Dialog* Dialog::FromHandle(HWND hwnd) {
  auto it = LiveDialogs().find(hwnd);
  return it == LiveDialogs().end() ? nullptr : it->second;
}

bool Dialog::Create(HWND parent) {
  modal_ = false;
  return ::CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR Dialog::DoModal(HWND owner) {
  modal_ = true;
  result_ = -1;
  loopRunning_ = true;  // before creation: the dialog may end itself while it initialises
  HWND dlg = ::CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                                  reinterpret_cast<LPARAM>(this));
  if (!dlg) {
    loopRunning_ = false;
    return -1;
  }
  bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  if (loopRunning_) ::ShowWindow(dlg, SW_SHOW);
  MSG msg;
  bool quit = false;
  while (loopRunning_) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      break;
    }
    if (got < 0) break;
    if (RouteToDialogs(&msg)) continue;
    if (hwnd_ && ::IsDialogMessageW(hwnd_, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
  if (hwnd_) {
    if (owner) ::SetActiveWindow(owner);
    HWND h = hwnd_;
    ::DestroyWindow(h);
  }
  if (quit && owner) ::PostQuitMessage(int(msg.wParam));  // the outer loop ends too
  return result_;
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  loopRunning_ = false;
  if (hwnd_) ::PostMessageW(hwnd_, WM_NULL, 0, 0);  // wake the loop
}

bool Dialog::RouteToDialogs(MSG* msg) {
  for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
    if (Dialog* d = FromHandle(h)) {
      if (d->PreTranslateMessage(msg)) return true;
    }
  }
  return false;
}

bool Dialog::UpdateData(bool save) {
  DataExchange dx(*this, save);
  DoDataExchange(dx);
  if (dx.failed()) {
    if (HWND failed = Item(dx.failedId())) {
      ::SetFocus(failed);
      wchar_t cls[16] = {};
      ::GetClassNameW(failed, cls, 16);
      if (lstrcmpiW(cls, L"Edit") == 0) ::SendMessageW(failed, EM_SETSEL, 0, -1);
    }
    return false;
  }
  return true;
}

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

bool Dialog::OnClicked(int id) {
  switch (id) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
  }
  return false;
}

bool Dialog::OnEditChange(int) { return false; }
bool Dialog::OnCommand(WPARAM, LPARAM) { return false; }

bool Dialog::OnNotify(WPARAM, NMHDR*, LRESULT&) { return false; }
void Dialog::OnTimer(UINT_PTR) {}

void Dialog::OnOK() {
  if (!UpdateData(true)) return;
  if (modal_) EndDialog(IDOK);
}

void Dialog::OnCancel() {
  if (modal_) EndDialog(IDCANCEL);
}

void Dialog::DoDataExchange(DataExchange&) {}
bool Dialog::PreTranslateMessage(MSG*) { return false; }
bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Dialog* self;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    LiveDialogs()[hwnd] = self;
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  try {
    return self->Dispatch(msg, wParam, lParam);
  } catch (const std::exception&) {
    // No exception may unwind through the window procedure.
  } catch (...) {}
  return FALSE;
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND:
      if (OnMessage(msg, wParam, lParam, result)) break;
      if (HIWORD(wParam) == BN_CLICKED && OnClicked(LOWORD(wParam))) return TRUE;
      if (HIWORD(wParam) == EN_CHANGE && OnEditChange(LOWORD(wParam))) return TRUE;
      return OnCommand(wParam, lParam) ? TRUE : FALSE;
    case WM_NOTIFY:
      if (OnNotify(wParam, reinterpret_cast<NMHDR*>(lParam), result)) break;
      return FALSE;
    case WM_TIMER: OnTimer(UINT_PTR(wParam)); return TRUE;
    case WM_DESTROY: {
      OnMessage(msg, wParam, lParam, result);
      OnDestroy();
      LiveDialogs().erase(hwnd_);
      ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
      hwnd_ = nullptr;
      if (modal_) loopRunning_ = false;
      return TRUE;
    }
    default:
      if (!OnMessage(msg, wParam, lParam, result)) return FALSE;
      break;
  }
  // A handled message: hand back its result as a dialog procedure must.
  switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_QUERYDRAGICON: return INT_PTR(result);
  }
  ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace loom
