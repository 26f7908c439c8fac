// The start-up benchmark's baseline: a bare dialog program, built like the
// wizard (same compiler, runtime and linking), that shows one dialog made
// from an in-memory template with one button and runs its message loop.
#include <windows.h>

namespace {

INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    ::DestroyWindow(hwnd);
    ::PostQuitMessage(0);
    return TRUE;
  }
  return msg == WM_INITDIALOG;
}

// DLGTEMPLATE + menu, class, title; one DLGITEMTEMPLATE (a button).
struct alignas(4) Template {
  DLGTEMPLATE dialog;
  WORD menu, cls;
  wchar_t title[12];
  alignas(4) DLGITEMTEMPLATE button;
  WORD buttonClass[2];
  wchar_t caption[6];
  WORD extra;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  Template t = {};
  t.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.dialog.cdit = 1;
  t.dialog.cx = 200;
  t.dialog.cy = 80;
  lstrcpyW(t.title, L"Bare dialog");
  t.button.style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
  t.button.x = 70;
  t.button.y = 30;
  t.button.cx = 60;
  t.button.cy = 14;
  t.button.id = IDCANCEL;
  t.buttonClass[0] = 0xFFFF;
  t.buttonClass[1] = 0x0080;  // BUTTON
  lstrcpyW(t.caption, L"Close");
  HWND dlg = ::CreateDialogIndirectParamW(instance, &t.dialog, nullptr, Proc, 0);
  if (!dlg) return 1;
  ::ShowWindow(dlg, SW_SHOW);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageW(dlg, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
