#include "options/OptionDialogs_win32.h"

#include <shlobj.h>

#include "app/SystemLibrary.h"
#include "framework/Messages.h"
#include "framework/Resources.h"

namespace loom {
namespace {

struct BrowseContext {
  const FolderDialogOptions* options;
};

int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM param, LPARAM data) {
  auto* context = reinterpret_cast<BrowseContext*>(data);
  switch (msg) {
    case BFFM_INITIALIZED:
      if (!context->options->initialFolder.empty())
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, LPARAM(context->options->initialFolder.c_str()));
      return 0;
    case BFFM_VALIDATEFAILEDW:
      // The typed text names no folder: say so and keep the dialog open.
      ShowMessage(dialog, reinterpret_cast<const wchar_t*>(param), MB_OK | MB_ICONSTOP, IDS_BAD_FOLDER_PATH);
      return 1;
  }
  return 0;
}

}  // namespace

std::wstring BrowseForFolder(HWND owner, const FolderDialogOptions& options) {
  std::wstring title = LoadResString(options.titleString);
  BrowseContext context{&options};
  BROWSEINFOW bi = {};
  bi.hwndOwner = owner;
  bi.lpszTitle = title.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  if (options.validateTyped) bi.ulFlags |= BIF_VALIDATE;
  if (!options.newFolderButton) bi.ulFlags |= BIF_NONEWFOLDERBUTTON;
  bi.lpfn = BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(&context);
  auto browse = OnDemand<decltype(&::SHBrowseForFolderW)>(kShellLibrary, "SHBrowseForFolderW");
  auto pathOf = OnDemand<decltype(&::SHGetPathFromIDListEx)>(kShellLibrary, "SHGetPathFromIDListEx");
  PIDLIST_ABSOLUTE item = browse && pathOf ? browse(&bi) : nullptr;
  if (!item) return {};
  // A path may be longer than MAX_PATH: ask with growing buffers.
  std::wstring path;
  for (DWORD size = MAX_PATH; size <= 32768; size *= 4) {
    path.assign(size, L'\0');
    if (pathOf(item, &path[0], size, GPFIDL_DEFAULT)) {
      path.resize(wcslen(path.c_str()));
      break;
    }
    path.clear();
  }
  ::CoTaskMemFree(item);
  return path;
}

}  // namespace loom
