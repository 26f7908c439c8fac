#include "project/AppListSelect.h"

#include <vector>

#include "capture/CaptureState.h"
#include "capture/ScanTool.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "macros/FolderMacros.h"
#include "project/EntryIcons.h"
#include "wizard/PageValues.h"

namespace loom {
namespace {

constexpr UINT kCannotDeselect = 117;
constexpr UINT kHelpLink = 218;

// The working project file through the profile API, every value whole.
class FileProfile : public ProfileReader {
 public:
  explicit FileProfile(std::wstring path) : path_(std::move(path)) {}

  std::vector<std::u16string> SectionNames() override {
    std::vector<std::u16string> names;
    std::vector<wchar_t> buf(4096);
    DWORD n;
    // The buffer is doubled until the names fit (a cut list ends size - 2).
    while ((n = ::GetPrivateProfileSectionNamesW(buf.data(), DWORD(buf.size()), path_.c_str())) >= buf.size() - 2)
      buf.resize(buf.size() * 2);
    for (const wchar_t* s = buf.data(); s < buf.data() + n && *s; s += wcslen(s) + 1) names.push_back(ToU16(s));
    return names;
  }

  std::u16string Value(const std::u16string& section, const std::u16string& key) override {
    return ToU16(ProfileString(ToWide(section), ToWide(key), path_));
  }

  // A value is read into a buffer that grows until the whole value fits.
  static std::wstring ProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& path) {
    std::vector<wchar_t> buf(1024);
    DWORD n;
    while ((n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buf.data(), DWORD(buf.size()),
                                           path.c_str())) >= buf.size() - 1)
      buf.resize(buf.size() * 2);
    return std::wstring(buf.data(), n);
  }

 private:
  std::wstring path_;
};

std::vector<EntryPoint>& Entries() { return State().entryPoints; }

}  // namespace

AppListSelect::~AppListSelect() {
  if (images_) ImageList_Destroy(images_);
}

BOOL AppListSelect::OnInitDialog() {
  SetRichTextWithLink(IDC_ENTRY_HELP, IDR_HELP_ENTRY_POINTS, kHelpLink);
  // The page owns its image lists: each fill replaces the one before.
  HWND list = Item(IDC_ENTRY_LIST);
  ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
  return ProjectPage::OnInitDialog();
}

// --- Loading and showing ----------------------------------------------------------

void AppListSelect::LoadFromProject(const IniDocument&) {
  FileProfile profile(WorkingProjectPath());
  Entries() = LoadEntryPoints(profile);
}

void AppListSelect::ExchangeControls(DataExchange& dx) {
  if (!dx.saving()) {
    Fill();
    return;
  }
  PageValues& values = Values();
  values.chosenEntries = ChosenNames();
  values.firstChosenBrowser = FirstChosenBrowser();
  values.suggestedInventoryName = SuggestedInventoryName();
}

void AppListSelect::ApplyToProject(IniDocument& doc) { ApplyEntryChoices(doc, Entries(), Checks()); }

void AppListSelect::Fill() {
  ListView list(Item(IDC_ENTRY_LIST));
  const std::vector<EntryPoint>& entries = Entries();
  ownChange_ = true;
  HIMAGELIST old = images_;
  images_ = ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, int(entries.size()), 1);
  list.DeleteAll();
  bool anyForUse = false;
  for (const EntryPoint& e : entries) anyForUse |= !e.forDebugOnly;
  if (!anyForUse && !entries.empty()) SetItemCheck(IDC_ENTRY_SHOW_DEBUG, true);
  bool showDebug = ItemCheck(IDC_ENTRY_SHOW_DEBUG) == BST_CHECKED;
  for (size_t i = 0; i < entries.size(); ++i)
    if (!entries[i].forDebugOnly || showDebug) AppendRow(int(i));
  list.SetExtendedStyle(LVS_EX_CHECKBOXES);
  ShowChecks(InitialChecks(entries, size_t(list.Count())));
  list.Send(LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(images_));
  if (old) ImageList_Destroy(old);
  ownChange_ = false;
  Refresh();
}

void AppListSelect::AppendRow(int i) {
  const EntryPoint& e = Entries()[size_t(i)];
  std::u16string location = ExpandFolderMacros(e.icon.empty() ? e.source : e.icon, false);
  HICON icon = LoadEntryIcon(ToWide(location));
  int image = ImageList_AddIcon(images_, icon);
  ::DestroyIcon(icon);
  ListView list(Item(IDC_ENTRY_LIST));
  list.InsertItem(i, ToWide(DisplayName(e)), image);
  list.SetItemText(i, 1, ToWide(e.commandLine.empty() ? e.source : e.commandLine));
  if (i == 0) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    list.Send(LVM_SETITEMSTATE, 0, LPARAM(&state));
  }
}

void AppListSelect::ShowDebugRows(bool show) {
  ListView list(Item(IDC_ENTRY_LIST));
  const std::vector<EntryPoint>& entries = Entries();
  ownChange_ = true;
  if (show && size_t(list.Count()) < entries.size()) {
    for (size_t i = size_t(list.Count()); i < entries.size(); ++i) {
      AppendRow(int(i));
      list.SetChecked(int(i), false);
    }
  } else if (!show && size_t(list.Count()) == entries.size()) {
    for (int i = int(entries.size()) - 1; i >= 0 && entries[size_t(i)].forDebugOnly; --i) {
      list.Send(LVM_DELETEITEM, WPARAM(i));
      ImageList_Remove(images_, i);
    }
  }
  ownChange_ = false;
  Refresh();
}

// --- Check boxes ---------------------------------------------------------------------

RowChecks AppListSelect::Checks() const {
  ListView list(Item(IDC_ENTRY_LIST));
  RowChecks checks(hwnd_ ? size_t(list.Count()) : 0);
  for (size_t i = 0; i < checks.size(); ++i) checks[i] = list.Checked(int(i));
  return checks;
}

void AppListSelect::ShowChecks(const RowChecks& checks) {
  ListView list(Item(IDC_ENTRY_LIST));
  bool wasOwn = ownChange_;
  ownChange_ = true;
  for (size_t i = 0; i < checks.size(); ++i)
    if (list.Checked(int(i)) != checks[i]) list.SetChecked(int(i), checks[i]);
  ownChange_ = wasOwn;
}

void AppListSelect::UserChangedRow(int row) {
  RowChecks checks = Checks();
  bool refused = ApplyUserCheck(Entries(), checks, size_t(row));
  ShowChecks(checks);
  if (refused)
    ::MessageBoxW(hwnd_, LoadResString(kCannotDeselect).c_str(), LoadResString(57344).c_str(),
                  MB_OK | MB_ICONINFORMATION);
  Refresh();
}

void AppListSelect::SetAllByUser(bool on) {
  ListView list(Item(IDC_ENTRY_LIST));
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Checked(i) == on) continue;
    ownChange_ = true;
    list.SetChecked(i, on);
    ownChange_ = false;
    UserChangedRow(i);
  }
  Refresh();
}

void AppListSelect::Refresh() {
  ListView list(Item(IDC_ENTRY_LIST));
  RowChecks checks = Checks();
  bool anyChecked = false;
  for (bool c : checks) anyChecked |= c;
  EnableItem(IDOK, anyChecked);
  list.Enable(list.Count() > 0);
  bool anyForUse = false;
  for (const EntryPoint& e : Entries()) anyForUse |= !e.forDebugOnly;
  EnableItem(IDC_ENTRY_SHOW_DEBUG, anyForUse);
}

bool AppListSelect::OnClicked(int id) {
  switch (id) {
    case IDC_ENTRY_SHOW_DEBUG: ShowDebugRows(ItemCheck(IDC_ENTRY_SHOW_DEBUG) == BST_CHECKED); return true;
    case IDC_ENTRY_SELECT_ALL: SetAllByUser(true); return true;
    case IDC_ENTRY_SELECT_NONE: SetAllByUser(false); return true;
  }
  return ProjectPage::OnClicked(id);
}

bool AppListSelect::OnNotify(WPARAM wParam, NMHDR* header, LRESULT& result) {
  if (int(header->idFrom) != IDC_ENTRY_LIST) return ProjectPage::OnNotify(wParam, header, result);
  if (header->code == LVN_ITEMCHANGED) {
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    bool checkChanged = change->iItem >= 0 && (change->uChanged & LVIF_STATE) &&
                        ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) &&
                        (change->uOldState & LVIS_STATEIMAGEMASK) != 0;
    if (checkChanged && !ownChange_)
      UserChangedRow(change->iItem);
    else if (!ownChange_)
      Refresh();
  } else if (header->code == HDN_ITEMCHANGEDW || header->code == LVN_ODSTATECHANGED) {
    Refresh();
  }
  return false;
}

// --- What the later pages read -------------------------------------------------------

std::vector<std::wstring> AppListSelect::ChosenNames() const {
  std::vector<std::wstring> names;
  for (const std::u16string& n : loom::ChosenNames(Entries(), Checks())) names.push_back(ToWide(n));
  return names;
}

std::wstring AppListSelect::FirstChosenBrowser() const { return ToWide(loom::FirstChosenBrowser(Entries(), Checks())); }

std::wstring AppListSelect::SuggestedInventoryName() const {
  std::wstring suggested = FileProfile::ProfileString(L"BuildOptions", L"SuggestedName", WorkingProjectPath());
  std::vector<std::wstring> chosen = ChosenNames();
  return ToWide(SuggestInventoryName(ToU16(suggested), chosen.empty() ? u"" : ToU16(chosen.front())));
}

}  // namespace loom
