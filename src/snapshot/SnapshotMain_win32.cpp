// snapshot.exe / snapshot64.exe: the capture tool's entry point.
#include <objbase.h>

#include <vector>

#include "app/CommandLine.h"
#include "snapshot/CaptureTool_win32.h"

namespace {

// A 32-bit build on 64-bit Windows sees the real folders (System32, not its
// redirected twin), so that scans, copies and folder macros agree.
void SeeRealFolders() {
#ifndef _WIN64
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  auto fn = reinterpret_cast<DisableFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "Wow64DisableWow64FsRedirection")));
  PVOID old = nullptr;
  if (fn) fn(&old);
#endif
}

}  // namespace

int wmain() {
  using namespace loom::snap;
  ToolOutput out;
  std::vector<std::u16string> args = loom::SplitCommandLine(U(GetCommandLineW()));
  if (!args.empty()) args.erase(args.begin());
  while (!args.empty() && args.back().empty()) args.pop_back();
  if (args.empty()) {
    out.Info(ToolUsage().substr(0, ToolUsage().size() - 2));
    return 2;
  }
  ToolCommand command = ParseToolCommand(args);
  SeeRealFolders();
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int rc = 2;
  switch (command.mode) {
    case ToolMode::kScan: rc = RunScan(command, out); break;
    case ToolMode::kSuggest: rc = RunSuggest(command, out); break;
    case ToolMode::kGenerate: rc = RunGenerate(command, out); break;
    case ToolMode::kInvalid: out.Error(command.error); break;
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return rc;
}
