// The one way the program tells the user something: a message box owned by
// the top-level window that holds the caller's window (the main window for a
// page, a modal dialog or a folder picker for itself), so that the window
// behind it waits; with no window (start-up) it has no owner. The caption is
// the program's title unless another is named.
#pragma once

#include <windows.h>

#include <string>

#include "resources/ResourceIds.h"

namespace loom {

// MB_* flags as for MessageBoxW; returns the button pressed (IDOK, IDYES...).
int ShowMessage(HWND from, const std::wstring& text, UINT type = MB_OK, UINT captionId = IDS_APP_TITLE);
int ShowMessage(HWND from, UINT textId, UINT type = MB_OK, UINT captionId = IDS_APP_TITLE);
// A caption that is no string of the table (a path).
int ShowMessageCaptioned(HWND from, const std::wstring& text, const std::wstring& caption, UINT type = MB_OK);

}  // namespace loom
