#include "project/ConfigMSI.h"

#include "app/Settings.h"
#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "macros/FolderMacros.h"
#include "project/EntryPoints.h"
#include "project/PackageSettings.h"
#include "wizard/PageValues.h"

namespace loom {
namespace {

constexpr UINT kTitleString = 57344;
constexpr UINT kNonDataFileQuestion = 156;
constexpr UINT kHelpLink = 217;

}  // namespace

UINT ConfigMSI::GetNextTooltipId() { return Values().appSyncPageEnabled ? 144 : 146; }

BOOL ConfigMSI::OnInitDialog() {
  compress = false;
  SetRichTextWithLink(IDC_MSI_HELP, IDR_HELP_CONTAINER, kHelpLink);
  BOOL r = ProjectPage::OnInitDialog();
  Refresh();
  return r;
}

void ConfigMSI::LoadFromProject(const IniDocument& doc) {
  // What the user set on an earlier visit stays, saved or not.
  if (visited_) {
    containerChoice = ItemCheck(IDC_MSI_USE_DATA_FILE) == BST_CHECKED ? kUseDataFile : kUseEntryPoint;
    dataFileName = ItemText(IDC_MSI_DATA_FILE);
    buildMsi = ItemCheck(IDC_MSI_BUILD) == BST_CHECKED;
    msiFileName = ItemText(IDC_MSI_FILE_NAME);
    compress = ItemCheck(IDC_MSI_COMPRESS) == BST_CHECKED;
  }
  visited_ = true;
  long previous = estimatedSize;
  estimatedSize = ProfileInteger(doc.GetValue(u"BuildOptions", u"EstimatedDataContainerSize"));
  if (SelectsDataFile(previous, estimatedSize)) containerChoice = kUseDataFile;

  ComboBox combo(Item(IDC_MSI_ENTRY));
  std::wstring remembered = combo.Selection() >= 0 ? ItemText(IDC_MSI_ENTRY) : L"";
  combo.Clear();
  int select = 0;
  for (const std::wstring& name : Values().chosenEntries) {
    int at = combo.Add(name);
    if (name == remembered) select = at;
  }
  combo.Send(CB_SETCURSEL, WPARAM(combo.Count() > 0 ? select : -1));

  if (dataFileName.empty()) {
    const PackageChoices proposed = ProposedPackageChoices(ToU16(Values().inventoryName), u"", estimatedSize);
    dataFileName = ToWide(proposed.dataFileName);
    msiFileName = ToWide(proposed.msiFileName);
  }
}

void ConfigMSI::ExchangeControls(DataExchange& dx) {
  dx.Radio(IDC_MSI_USE_ENTRY, IDC_MSI_USE_DATA_FILE, containerChoice);
  dx.Text(IDC_MSI_DATA_FILE, dataFileName);
  dx.Check(IDC_MSI_BUILD, buildMsi);
  dx.Text(IDC_MSI_FILE_NAME, msiFileName);
  dx.Check(IDC_MSI_COMPRESS, compress);
  if (!dx.saving()) {
    Refresh();
    return;
  }
  entryName_ = ItemText(IDC_MSI_ENTRY);
  PackageChoices choices = Choices();
  PackageVerdict v = CheckPackageChoices(choices, estimatedSize);
  std::wstring title = LoadResString(kTitleString);
  if (v.askNonDataFile && ::MessageBoxW(GetWizard()->hwnd(), LoadResString(kNonDataFileQuestion).c_str(), title.c_str(),
                                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    containerChoice = kUseDataFile;
    CheckRadioButton(hwnd_, IDC_MSI_USE_ENTRY, IDC_MSI_USE_DATA_FILE, IDC_MSI_USE_DATA_FILE);
    Refresh();
    dx.Fail(IDC_MSI_DATA_FILE);
    return;
  }
  if (!v.ok()) {
    ::MessageBoxW(GetWizard()->hwnd(), LoadResString(UINT(v.message)).c_str(), title.c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
    dx.Fail(v.focus);
  }
}

PackageChoices ConfigMSI::Choices() const {
  PackageChoices choices;
  choices.containerChoice = containerChoice;
  choices.entryName = ToU16(entryName_);
  choices.dataFileName = ToU16(dataFileName);
  choices.buildMsi = buildMsi;
  choices.msiFileName = ToU16(msiFileName);
  choices.compress = compress;
  return choices;
}

void ConfigMSI::ApplyToProject(IniDocument& doc) {
  PackageChoices choices = Choices();
  choices.inventoryName = ToU16(Values().inventoryName);
  std::u16string primary = PrimaryName(choices);
  ApplyContainerChoice(doc, containerChoice, primary, EscapeIniValue(primary));
  ApplyMsiChoice(doc, choices, ToU16(RegisteredOrganization()), ToU16(RegisteredOwner()));
  ApplyCompression(doc, compress);
}

bool ConfigMSI::OnClicked(int id) {
  switch (id) {
    case IDC_MSI_BUILD:
    case IDC_MSI_USE_ENTRY:
    case IDC_MSI_USE_DATA_FILE: Refresh(); return true;
  }
  return ProjectPage::OnClicked(id);
}

void ConfigMSI::Refresh() {
  EnableItem(IDC_MSI_USE_ENTRY, estimatedSize < kDataFileRequiredFrom);
  bool dataFile = ItemCheck(IDC_MSI_USE_DATA_FILE) == BST_CHECKED;
  EnableItem(IDC_MSI_ENTRY, !dataFile);
  EnableItem(IDC_MSI_DATA_FILE, dataFile);
  EnableItem(IDC_MSI_FILE_NAME, ItemCheck(IDC_MSI_BUILD) == BST_CHECKED);
}

}  // namespace loom
