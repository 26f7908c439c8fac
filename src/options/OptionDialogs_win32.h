// The shell's folder-selection dialog, as the option pages use it.
#pragma once

#include <windows.h>

#include <string>

namespace loom {

struct FolderDialogOptions {
  UINT titleString = 0;
  std::wstring initialFolder;  // preselected when the dialog opens (when it exists)
  bool validateTyped = false;  // a typed folder that does not exist is refused ("Bad folder path")
  bool newFolderButton = true;
};
// The folder the user confirmed; empty when cancelled or when the shell gives no path.
std::wstring BrowseForFolder(HWND owner, const FolderDialogOptions& options);

}  // namespace loom
