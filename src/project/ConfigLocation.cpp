#include "project/ConfigLocation.h"

#include "capture/ScanTool.h"

namespace loom {

void ConfigLocation::Prepare() {
  if (!inventoryName.empty()) return;
  inventoryName = L"Project";  // the entry-point page suggests a better name
  wchar_t origin[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableW(L"QM_ORIGIN", origin, MAX_PATH);
  std::wstring base = (n > 0 && n < MAX_PATH) ? std::wstring(origin, n) : ProgramPath();
  base.resize(base.rfind(L'\\') == std::wstring::npos ? 0 : base.rfind(L'\\') + 1);
  projectLocation = base + L"Captures\\" + inventoryName;
  lastInventoryName = inventoryName;
}

}  // namespace loom
