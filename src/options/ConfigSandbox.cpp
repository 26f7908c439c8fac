#include "options/ConfigSandbox.h"

#include "framework/DataExchange.h"
#include "framework/WinText.h"
#include "macros/FolderMacros.h"
#include "options/OptionDialogs_win32.h"
#include "options/OptionEdits.h"

namespace loom {

BOOL ConfigSandbox::OnInitDialog() {
  SetRichTextWithLink(IDC_SANDBOX_HELP, IDR_HELP_SANDBOX, 210);
  BOOL result = ProjectPage::OnInitDialog();
  UpdateSandboxControls();
  return result;
}

void ConfigSandbox::Prepare() {
  if (sandboxChoice == -1) ProjectPage::Prepare();
  UpdateSandboxControls();
}

void ConfigSandbox::LoadFromProject(const IniDocument& doc) {
  SandboxState s = SandboxFromProject(doc);
  sandboxChoice = s.choice;
  sandboxPath = ToWide(s.path);
}

bool ConfigSandbox::OnClicked(int id) {
  switch (id) {
    case IDC_SANDBOX_PROFILE:
    case IDC_SANDBOX_APP_FOLDER:
    case IDC_SANDBOX_CUSTOM: UpdateSandboxControls(); return true;
    case IDC_SANDBOX_BROWSE: Browse(); return true;
  }
  return ProjectPage::OnClicked(id);
}

bool ConfigSandbox::OnEditChange(int id) {
  if (id != IDC_SANDBOX_PATH) return false;
  UpdateSandboxControls();
  return true;
}

void ConfigSandbox::UpdateSandboxControls() {
  const bool custom = ItemCheck(IDC_SANDBOX_CUSTOM) == BST_CHECKED;
  EnableItem(IDC_SANDBOX_PATH, custom);
  EnableItem(IDC_SANDBOX_BROWSE, custom);
  EnableItem(IDOK, !custom || !ItemText(IDC_SANDBOX_PATH).empty());
}

void ConfigSandbox::Browse() {
  FolderDialogOptions o;
  o.titleString = 113;
  std::wstring typed = ItemText(IDC_SANDBOX_PATH);
  // Only a macro at the very beginning is expanded; "#" escapes stay.
  if (!typed.empty()) o.initialFolder = ToWide(ExpandFolderMacros(ToU16(typed), true));
  std::wstring chosen = BrowseForFolder(hwnd_, o);
  if (chosen.empty()) return;
  SetItemText(IDC_SANDBOX_PATH, ToWide(SandboxBrowseText(ToU16(chosen))));
}

void ConfigSandbox::ExchangeControls(DataExchange& dx) {
  dx.Text(IDC_SANDBOX_PATH, sandboxPath);
  dx.Radio(IDC_SANDBOX_PROFILE, IDC_SANDBOX_CUSTOM, sandboxChoice);
  if (!dx.saving()) {
    UpdateSandboxControls();
    return;
  }
  if (sandboxChoice == kSandboxCustom && !IsSandboxPathValid(ToU16(sandboxPath))) {
    FocusItem(IDC_SANDBOX_PATH);
    ShowPlainMessage(hwnd_, 127);
    dx.Fail(IDC_SANDBOX_PATH);
  }
}

void ConfigSandbox::ApplyToProject(IniDocument& doc) { ApplySandbox(doc, sandboxChoice, ToU16(sandboxPath)); }

}  // namespace loom
