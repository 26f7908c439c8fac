// SampleApp.exe: the application the sample installer installs. One window
// that shows the greeting of sample.dll and the settings file's title.
#include <windows.h>

#include <string>

namespace {

std::wstring Greeting() {
  HMODULE lib = LoadLibraryW(L"sample.dll");
  using Fn = const wchar_t* (*)();
  auto fn = lib ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, "SampleGreeting"))) : nullptr;
  return fn ? fn() : L"sample.dll is missing.";
}

std::wstring SettingsTitle() {
  wchar_t exe[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring ini(exe, n);
  ini = ini.substr(0, ini.rfind(L'\\')) + L"\\Sample.ini";
  wchar_t title[256];
  GetPrivateProfileStringW(L"Window", L"Title", L"Sample App", title, 256, ini.c_str());
  return title;
}

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT r;
    GetClientRect(w, &r);
    std::wstring text = Greeting();
    DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(w, &ps);
    return 0;
  }
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(w, m, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"LoomwiseSampleApp";
  RegisterClassW(&wc);
  HWND w = CreateWindowW(wc.lpszClassName, SettingsTitle().c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         480, 200, nullptr, nullptr, instance, nullptr);
  ShowWindow(w, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
