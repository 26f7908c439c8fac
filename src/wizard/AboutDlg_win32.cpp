#include "wizard/AboutDlg.h"

#include <shellapi.h>

#include "app/SystemLibrary.h"
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

bool CAboutDlg::OnClicked(int id) {
  if (id != IDC_ABOUT_LINK) return Dialog::OnClicked(id);
  auto execute = OnDemand<decltype(&::ShellExecuteW)>(kShellLibrary, "ShellExecuteW");
  if (!url_.empty() && execute) execute(nullptr, L"open", url_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return true;
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
