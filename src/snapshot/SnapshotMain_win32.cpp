// snapshot.exe / snapshot64.exe: the capture tool's entry point.
#include <objbase.h>

#include <vector>

#include "app/CommandLine.h"
#include "snapshot/CaptureTool_win32.h"
#include "util/Text.h"

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
  std::vector<std::u16string> args = loom::SplitCommandLine(U(GetCommandLineW()));
  if (!args.empty()) args.erase(args.begin());
  while (!args.empty() && args.back().empty()) args.pop_back();
  // The wizard ends its command lines with -Loomwise and reads the line
  // protocol; anyone else gets text for people.
  ToolOutput out(!args.empty() && loom::EqualsNoCaseAscii(args.back(), u"-Loomwise"));
  const size_t protocolSwitch = out.forWizard() ? 1 : 0;
  bool help = args.size() == 1 + protocolSwitch &&
              (args[0] == u"/?" || args[0] == u"-?" || args[0] == u"-h" || args[0] == u"--help");
  if (args.size() == protocolSwitch || help) {
    out.Info(ToolUsage().substr(0, ToolUsage().size() - 2));
    return help ? 0 : 2;
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
