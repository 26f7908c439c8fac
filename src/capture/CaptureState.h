// The one record the main window, the pages and the tool runner share for
// the whole run. Lives on the user-interface thread (the output reader only
// holds the pipe and the window it sends to).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "project/EntryPoints.h"

namespace loom {

struct CaptureState {
  int step = 0;
  bool closing = false;

  // The running child: process handle null when none is watched.
  PROCESS_INFORMATION child = {};
  DWORD lastExitCode = 0;
  HANDLE readerThread = nullptr;

  // The scan tool and its files.
  std::wstring toolFolder;
  std::wstring toolName;
  std::wstring scanLocations;
  std::wstring startSnapshotPath;  // made on first use
  std::wstring endSnapshotPath;
  std::wstring workingProjectPath;

  // Command-line tokens (or those of a pending resume value).
  std::vector<std::wstring> tokens;

  // Banner bitmaps: the branding banner, then 187..191.
  HBITMAP banners[6] = {};
  HMODULE brandingModule = nullptr;
  bool brandingLoadAttempted = false;

  // The entry points of the working project file, in the entry-point page's
  // row order; replaced each time that page is prepared.
  std::vector<EntryPoint> entryPoints;
};

// The process-wide instance.
CaptureState& State();

}  // namespace loom
