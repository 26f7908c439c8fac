#include "capture/ProgressView.h"

#include "framework/Resources.h"

namespace loom {

BOOL ProgressView::OnInitDialog() {
  // The text is drawn inside the group box, inset from its frame.
  RECT group;
  ::GetWindowRect(Item(IDC_PROGRESS_GROUP), &group);
  ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&group), 2);
  textRect_ = {group.left + 6, group.top + 21, group.right - 6, group.bottom - 15};
  HDC screen = ::GetDC(nullptr);
  memDc_ = ::CreateCompatibleDC(screen);
  memBitmap_ = ::CreateCompatibleBitmap(screen, textRect_.right - textRect_.left, textRect_.bottom - textRect_.top);
  oldBitmap_ = ::SelectObject(memDc_, memBitmap_);
  ::ReleaseDC(nullptr, screen);
  return InnerDialog::OnInitDialog();
}

void ProgressView::SetGroupCaption(UINT stringId) { SetItemText(IDC_PROGRESS_GROUP, LoadResString(stringId)); }

void ProgressView::SetProgressText(const std::wstring& text) {
  if (text == text_) return;  // no repaint for an unchanged text
  text_ = text;
  ::InvalidateRect(hwnd_, &textRect_, FALSE);
}

void ProgressView::SetSideBitmap(UINT bitmapId) {
  HBITMAP bmp = ::LoadBitmapW(AppInstance(), MAKEINTRESOURCEW(bitmapId));
  HBITMAP old = reinterpret_cast<HBITMAP>(
      SendItem(IDC_PROGRESS_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)));
  if (old && old != bmp) ::DeleteObject(old);
  if (sideBitmap_ && sideBitmap_ != old) ::DeleteObject(sideBitmap_);
  sideBitmap_ = bmp;
}

void ProgressView::SetHelpText(UINT helpTextId) { SetRichText(IDC_PROGRESS_HELP, helpTextId); }

void ProgressView::OnBackButton() {
  // "将取消当前操作。\r\n它可以重新启动没有问题。\r\n停止吗？"
  if (::MessageBoxW(hwnd_, LoadResString(150).c_str(), LoadResString(57344).c_str(), MB_YESNO | MB_ICONQUESTION) ==
      IDYES)
    InnerDialog::OnBackButton();
}

void ProgressView::Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd_, &ps);
  RECT overlap;
  // Edges count as touching, so widen the test by one pixel.
  RECT widened = {textRect_.left - 1, textRect_.top - 1, textRect_.right + 1, textRect_.bottom + 1};
  if (memDc_ && ::IntersectRect(&overlap, &widened, &ps.rcPaint)) {
    int w = textRect_.right - textRect_.left, h = textRect_.bottom - textRect_.top;
    RECT surface = {0, 0, w, h};
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    ::FillRect(memDc_, &surface, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkColor(memDc_, face);
    ::SetTextColor(memDc_, ::GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldFont = ::SelectObject(memDc_, reinterpret_cast<HFONT>(Send(WM_GETFONT)));
    ::DrawTextW(memDc_, text_.c_str(), int(text_.size()), &surface,
                DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    ::SelectObject(memDc_, oldFont);
    ::BitBlt(dc, textRect_.left, textRect_.top, w, h, memDc_, 0, 0, SRCCOPY);
  }
  ::EndPaint(hwnd_, &ps);
}

bool ProgressView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_PAINT) {
    Paint();
    result = 0;
    return true;
  }
  return InnerDialog::OnMessage(msg, wParam, lParam, result);
}

void ProgressView::OnDestroy() {
  if (memDc_) {
    ::SelectObject(memDc_, oldBitmap_);
    ::DeleteDC(memDc_);
    memDc_ = nullptr;
  }
  if (memBitmap_) ::DeleteObject(memBitmap_);
  memBitmap_ = nullptr;
  if (sideBitmap_) ::DeleteObject(sideBitmap_);
  sideBitmap_ = nullptr;
  InnerDialog::OnDestroy();
}

}  // namespace loom
