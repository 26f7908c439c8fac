// The base of the pages that edit the working project file.
//
// Prepare (each time the step is entered): the file is loaded into a fresh
// IniDocument and the page shows what it holds. Next (data exchange in the
// saving direction): the page reads its controls and validates them; then
// the file is loaded again, the page applies its edit and the file is saved
// (written beside and renamed over the old one).
//  - A load that fails writes nothing back: the exchange still succeeds, and
//    the project generation reports the missing file.
//  - A save that fails tells the user ("无法创建文件%ls", caption "Error") and
//    keeps the wizard on the page, the user's choices intact.
#pragma once

#include "project/IniDocument.h"
#include "wizard/InnerDialog.h"

namespace loom {

// Loads the working project file; false when it cannot be read.
bool LoadWorkingProject(IniDocument& doc);
// Saves it; on failure shows the cannot-create-file message (owned by
// `owner`) and returns false.
bool SaveWorkingProject(const IniDocument& doc, HWND owner);

class ProjectPage : public InnerDialog {
 public:
  using InnerDialog::InnerDialog;

  void Prepare() override;

 protected:
  // Prepare: `doc` is empty when the file could not be read (the page then
  // shows an empty or default state).
  virtual void LoadFromProject(const IniDocument& doc) = 0;
  // Both directions of the page's own controls; in the saving direction this
  // also validates (dx.Fail after telling the user why).
  virtual void ExchangeControls(DataExchange& dx) = 0;
  // The page's edit of the freshly loaded file (saving direction only, after
  // a successful exchange).
  virtual void ApplyToProject(IniDocument& doc) = 0;

  void DoDataExchange(DataExchange& dx) final;
};

}  // namespace loom
