#include "wizard/ProjectPage.h"

#include "capture/ScanTool.h"
#include "framework/DataExchange.h"
#include "framework/WinText.h"

namespace loom {

bool LoadWorkingProject(IniDocument& doc) { return doc.Load(ToU16(WorkingProjectPath())); }

bool SaveWorkingProject(const IniDocument& doc, HWND owner) {
  const std::wstring& path = WorkingProjectPath();
  if (doc.Save(ToU16(path))) return true;
  // "无法创建文件%ls"
  ::MessageBoxW(owner, FormatW(L"\u65e0\u6cd5\u521b\u5efa\u6587\u4ef6%ls", path.c_str()).c_str(), L"Error", MB_OK);
  return false;
}

void ProjectPage::Prepare() {
  IniDocument doc;
  LoadWorkingProject(doc);  // when it fails, the page shows what an empty document gives
  LoadFromProject(doc);
  UpdateData(false);
}

void ProjectPage::DoDataExchange(DataExchange& dx) {
  InnerDialog::DoDataExchange(dx);
  ExchangeControls(dx);
  if (!dx.saving() || dx.failed()) return;
  IniDocument doc;
  if (!LoadWorkingProject(doc)) return;
  ApplyToProject(doc);
  if (!SaveWorkingProject(doc, hwnd())) dx.Fail(IDOK);
}

}  // namespace loom
