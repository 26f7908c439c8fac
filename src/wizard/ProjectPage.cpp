#include "wizard/ProjectPage.h"

#include "capture/ScanTool.h"
#include "framework/DataExchange.h"
#include "framework/Messages.h"
#include "framework/Resources.h"
#include "framework/WinText.h"

namespace loom {

bool LoadWorkingProject(IniDocument& doc) { return doc.Load(ToU16(WorkingProjectPath())); }

bool SaveWorkingProject(const IniDocument& doc) { return doc.Save(ToU16(WorkingProjectPath())); }

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
  if (SaveWorkingProject(doc)) return;
  ShowMessage(hwnd(), FormatW(LoadResString(IDS_CANNOT_CREATE_FILE).c_str(), WorkingProjectPath().c_str()), MB_OK,
              IDS_CAPTION_ERROR);
  dx.Fail(IDOK);
}

}  // namespace loom
