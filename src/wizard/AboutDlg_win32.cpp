#include "wizard/AboutDlg.h"

#include <shellapi.h>

#include "app/Version.h"
#include "framework/Resources.h"
#include "framework/WinText.h"

namespace loom {

BOOL CAboutDlg::OnInitDialog() {
  SetItemText(IDC_ABOUT_VERSION, FormatW(LoadResString(IDS_VERSION_FORMAT).c_str(), LOOMWISE_VERSION));
  std::wstring caption;
  SplitLink(LoadResString(IDS_ABOUT_LINK), caption, url_);
  if (!caption.empty()) SetItemText(IDC_ABOUT_LINK, caption);
  return Dialog::OnInitDialog();
}

bool CAboutDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_ABOUT_LINK && HIWORD(wParam) == STN_CLICKED) {
    if (!url_.empty()) ::ShellExecuteW(nullptr, L"open", url_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
  }
  return Dialog::OnCommand(wParam, lParam);
}

bool CAboutDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // The link reads as one: blue text and a hand cursor.
  if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == Item(IDC_ABOUT_LINK)) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, RGB(0, 0, 204));
    ::SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    return true;
  }
  if (msg == WM_SETCURSOR && reinterpret_cast<HWND>(wParam) == Item(IDC_ABOUT_LINK)) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    result = TRUE;
    return true;
  }
  return false;
}

}  // namespace loom
