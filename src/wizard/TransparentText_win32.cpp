#include "wizard/TransparentText.h"

#include <commctrl.h>

#include "framework/Resources.h"

namespace loom {

bool CTransparentText::Create(HWND parent, const RECT& r, int id) {
  hwnd_ = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, parent, reinterpret_cast<HMENU>(INT_PTR(id)), AppInstance(), nullptr);
  return hwnd_ && ::SetWindowSubclass(hwnd_, WndProc, 1, 0);
}

LRESULT CALLBACK CTransparentText::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    ::BeginPaint(hwnd, &ps);
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, WndProc, 1);
  return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace loom
