// A tiny wizard look-alike that the driver's self-test drives: a main dialog
// with two child pages. Page 170: Next asks a Yes/No question (owned box);
// Yes shows page 103 and starts snapshot.exe beside this program. When the
// tool ends, exit code 0 sets the title "Loomwise - 完成" and shows page 170;
// another code shows an unowned "Error" box first. Back on page 170 writes
// "已返回" into edit 1050; Stop on page 103 terminates the tool. Cancel ends
// the program with exit code 7, closing the window with exit code 3.
#include <windows.h>

#include <string>

namespace {

HWND g_main, g_setup, g_progress;
HANDLE g_tool;

void Show(HWND page, const wchar_t* title) {
  ShowWindow(page == g_setup ? g_progress : g_setup, SW_HIDE);
  ShowWindow(page, SW_SHOW);
  SetWindowTextW(g_main, title);
}

void StartTool() {
  wchar_t self[MAX_PATH], temp[MAX_PATH];
  std::wstring folder(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  folder = folder.substr(0, folder.find_last_of(L'\\'));
  GetTempPathW(MAX_PATH, temp);
  std::wstring cmd = L"\"" + folder + L"\\snapshot.exe\" \"" + temp + L"fake.snapshot\" C:\\ -Loomwise";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    g_tool = pi.hProcess;
  }
}

INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wp, LPARAM) {
  if (msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wp)) {
    case IDOK:
      if (MessageBoxW(g_main, L"开始预扫描吗？", L"Loomwise", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        Show(g_progress, L"Loomwise - 预扫描");
        StartTool();
      }
      return TRUE;
    case 1086:
      if (page == g_setup) {
        SetDlgItemTextW(page, 1050, L"已返回");
      } else if (g_tool) {
        TerminateProcess(g_tool, 0);
        WaitForSingleObject(g_tool, 5000);
        CloseHandle(g_tool);
        g_tool = nullptr;
        Show(g_setup, L"Loomwise - 准备预扫描");
      }
      return TRUE;
    case IDCANCEL:
      EndDialog(g_main, 7);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK MainProc(HWND dlg, UINT msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      g_main = dlg;
      for (HWND* page : {&g_setup, &g_progress}) {
        *page = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(page == &g_setup ? 170 : 103), dlg, PageProc, 0);
        SetWindowPos(*page, nullptr, 0, 85, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      Show(g_setup, L"Loomwise - 准备预扫描");
      SetTimer(dlg, 1, 100, nullptr);
      return TRUE;
    case WM_TIMER: {
      DWORD code = 0;
      if (!g_tool || WaitForSingleObject(g_tool, 0) != WAIT_OBJECT_0) return TRUE;
      GetExitCodeProcess(g_tool, &code);
      CloseHandle(g_tool);
      g_tool = nullptr;
      if (code != 0) {
        Show(g_setup, L"Loomwise - 准备预扫描");
        MessageBoxW(nullptr, L"发生错误或操作中止", L"Error", MB_OK);
      } else {
        Show(g_setup, L"Loomwise - 完成");
      }
      return TRUE;
    }
    case WM_CLOSE:
      EndDialog(dlg, 3);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return static_cast<int>(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(102), nullptr, MainProc, 0));
}
