#include "app/LoomwiseApp.h"

#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <utility>

#include "app/Origin.h"
#include "app/Settings.h"
#include "app/StartupTimes.h"
#include "app/SystemLibrary.h"
#include "capture/ScanTool.h"
#include "framework/WinText.h"
#include "macros/FolderPlatform.h"
#include "wizard/LoomwiseDlg.h"

namespace loom {

BOOL CLoomwiseApp::InitInstance() {
  HardenDllSearch();
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  MarkStartup("COM");
  static HMODULE richEdit = LoadSystemLibrary(L"RICHED32.DLL");  // once for the process
  (void)richEdit;
  MarkStartup("RICHED32.DLL");
  INITCOMMONCONTROLSEX icc = {8, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&icc);
  MarkStartup("common controls");

  // The environment is read once, here, and passed down.
  Origin origin = ReadOrigin(SystemFolderPlatform(), ToU16(ProgramPath()));
  UseSettingsOrigin(origin);
  auto dlg = std::make_unique<CLoomwiseDlg>(std::move(origin));
  MarkStartup("main window object");
  dlg->DoModal();
  dlg.reset();
  return FALSE;
}

int CLoomwiseApp::ExitInstance() {
  ::CoUninitialize();
  return 0;
}

}  // namespace loom
