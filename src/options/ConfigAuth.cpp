#include "options/ConfigAuth.h"

#include <objsel.h>

#include "app/SystemLibrary.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "options/OptionDialogs_win32.h"
#include "options/OptionEdits.h"

namespace loom {
namespace {

// The directory object picker, for the local computer, several groups at a
// time. Returns false when it cannot be created, initialised or shown; a
// cancelled picker returns true with no names.
bool PickWithObjectPicker(HWND owner, std::vector<std::wstring>& names) {
  IDsObjectPicker* picker = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_DsObjectPicker, nullptr, CLSCTX_INPROC_SERVER, IID_IDsObjectPicker,
                                reinterpret_cast<void**>(&picker))))
    return false;
  DSOP_SCOPE_INIT_INFO scope = {};
  scope.cbSize = sizeof scope;
  scope.flType = DSOP_SCOPE_TYPE_TARGET_COMPUTER | DSOP_SCOPE_TYPE_UPLEVEL_JOINED_DOMAIN |
                 DSOP_SCOPE_TYPE_DOWNLEVEL_JOINED_DOMAIN | DSOP_SCOPE_TYPE_ENTERPRISE_DOMAIN |
                 DSOP_SCOPE_TYPE_GLOBAL_CATALOG | DSOP_SCOPE_TYPE_EXTERNAL_UPLEVEL_DOMAIN |
                 DSOP_SCOPE_TYPE_EXTERNAL_DOWNLEVEL_DOMAIN | DSOP_SCOPE_TYPE_USER_ENTERED_UPLEVEL_SCOPE |
                 DSOP_SCOPE_TYPE_USER_ENTERED_DOWNLEVEL_SCOPE;
  scope.flScope = DSOP_SCOPE_FLAG_STARTING_SCOPE | DSOP_SCOPE_FLAG_DEFAULT_FILTER_GROUPS;
  const ULONG uplevel = DSOP_FILTER_BUILTIN_GROUPS | DSOP_FILTER_UNIVERSAL_GROUPS_SE | DSOP_FILTER_GLOBAL_GROUPS_SE |
                        DSOP_FILTER_DOMAIN_LOCAL_GROUPS_SE;
  scope.FilterFlags.Uplevel.flBothModes = uplevel;
  scope.FilterFlags.flDownlevel =
      DSOP_DOWNLEVEL_FILTER_LOCAL_GROUPS | DSOP_DOWNLEVEL_FILTER_GLOBAL_GROUPS | DSOP_DOWNLEVEL_FILTER_WORLD;
  DSOP_INIT_INFO init = {};
  init.cbSize = sizeof init;
  init.pwzTargetComputer = nullptr;  // the local computer
  init.cDsScopeInfos = 1;
  init.aDsScopeInfos = &scope;
  init.flOptions = DSOP_FLAG_MULTISELECT;
  bool shown = false;
  IDataObject* data = nullptr;
  if (SUCCEEDED(picker->Initialize(&init))) {
    HRESULT hr = picker->InvokeDialog(owner, &data);
    shown = SUCCEEDED(hr);
    if (hr == S_OK && data) {
      FORMATETC format = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_DSOP_DS_SELECTION_LIST)), nullptr,
                          DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
      STGMEDIUM medium = {};
      if (SUCCEEDED(data->GetData(&format, &medium))) {
        if (auto* list = static_cast<const DS_SELECTION_LIST*>(::GlobalLock(medium.hGlobal))) {
          for (ULONG i = 0; i < list->cItems; ++i)
            if (list->aDsSelection[i].pwzName) names.emplace_back(list->aDsSelection[i].pwzName);
          ::GlobalUnlock(medium.hGlobal);
        }
        ::ReleaseStgMedium(&medium);
      }
    }
    if (data) data->Release();
  }
  picker->Release();
  return shown;
}

// The older user browser of the system's NetUI2.dll, with the layout its
// interface declares.
struct UserBrowserInfo {
  ULONG structSize;
  ULONG userCancelled;
  ULONG expandNames;
  HWND owner;
  const wchar_t* title;
  const wchar_t* initialDomain;
  DWORD flags;
  ULONG helpContext;
  const wchar_t* helpFile;
};
struct UserDetails {
  int userType;
  PSID userSid;
  PSID domainSid;
  wchar_t* accountName;
  wchar_t* fullName;
  wchar_t* domainName;
  wchar_t* comment;
};
using OpenUserBrowserFn = HANDLE(WINAPI*)(UserBrowserInfo*);
using EnumUserBrowserSelectionFn = BOOL(WINAPI*)(HANDLE, UserDetails*, DWORD*);
using CloseUserBrowserFn = BOOL(WINAPI*)(HANDLE);

struct UserBrowserLibrary {
  HMODULE module = nullptr;
  OpenUserBrowserFn open = nullptr;
  EnumUserBrowserSelectionFn enumerate = nullptr;
  CloseUserBrowserFn close = nullptr;
};

// Loaded on first use from the system folder; unavailable when any of the
// three functions is missing (the library is released again then).
const UserBrowserLibrary& UserBrowser() {
  static UserBrowserLibrary lib = [] {
    UserBrowserLibrary l;
    l.module = LoadSystemLibrary(L"NetUI2.dll");
    if (!l.module) return l;
    l.open =
        reinterpret_cast<OpenUserBrowserFn>(reinterpret_cast<void*>(::GetProcAddress(l.module, "OpenUserBrowser")));
    l.enumerate = reinterpret_cast<EnumUserBrowserSelectionFn>(
        reinterpret_cast<void*>(::GetProcAddress(l.module, "EnumUserBrowserSelection")));
    l.close =
        reinterpret_cast<CloseUserBrowserFn>(reinterpret_cast<void*>(::GetProcAddress(l.module, "CloseUserBrowser")));
    if (!l.open || !l.enumerate || !l.close) {
      ::FreeLibrary(l.module);
      l = UserBrowserLibrary();
    }
    return l;
  }();
  return lib;
}

bool PickWithUserBrowser(HWND owner, std::vector<std::wstring>& names) {
  const UserBrowserLibrary& lib = UserBrowser();
  if (!lib.module) return false;
  std::wstring title = LoadResString(111);
  UserBrowserInfo info = {};
  info.structSize = sizeof info;
  info.owner = owner;
  info.title = title.c_str();
  HANDLE browser = lib.open(&info);
  if (!browser) return false;
  // Each selected entry comes as one record with its texts after it.
  alignas(UserDetails) unsigned char block[1024];
  for (;;) {
    DWORD size = sizeof block;
    auto* details = reinterpret_cast<UserDetails*>(block);
    if (!lib.enumerate(browser, details, &size)) break;
    if (details->accountName) names.emplace_back(details->accountName);
  }
  lib.close(browser);
  return true;
}

}  // namespace

BOOL ConfigAuth::OnInitDialog() {
  permittedGroups.clear();
  accessDeniedMsg = LoadResString(110);
  // The one column, before the base's exchange fills the list.
  list_.Attach(Item(IDC_AUTH_GROUPS));
  RECT rc = {};
  ::GetClientRect(list_.hwnd(), &rc);
  list_.InsertColumn(0, L"", rc.right - rc.left - 50);
  BOOL result = ProjectPage::OnInitDialog();
  UpdateAuthControls();
  return result;
}

void ConfigAuth::FillGroupList() {
  list_.DeleteAll();
  if (permittedGroups.empty()) {
    groupChoice = 0;
    return;
  }
  int row = 0;
  for (const std::u16string& g : SplitGroups(ToU16(permittedGroups))) list_.InsertItem(row++, ToWide(g));
  ListView_SetItemState(list_.hwnd(), 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  groupChoice = 1;
}

std::vector<std::u16string> ConfigAuth::ListedGroups() const {
  std::vector<std::u16string> groups;
  for (int i = 0; i < list_.Count(); ++i) groups.push_back(ToU16(list_.ItemText(i, 0)));
  return groups;
}

void ConfigAuth::ExchangeControls(DataExchange& dx) {
  dx.Bind(IDC_AUTH_GROUPS, list_);
  dx.Text(IDC_AUTH_MESSAGE, accessDeniedMsg);
  if (!dx.saving()) {
    FillGroupList();
    dx.Radio(IDC_AUTH_EVERYONE, IDC_AUTH_GROUPS_ONLY, groupChoice);
    return;
  }
  dx.Radio(IDC_AUTH_EVERYONE, IDC_AUTH_GROUPS_ONLY, groupChoice);
  permittedGroups = groupChoice == 1 ? ToWide(JoinGroups(ListedGroups())) : std::wstring();
}

void ConfigAuth::ApplyToProject(IniDocument& doc) {
  ApplyAuthSettings(doc, groupChoice == 1, ListedGroups(), ToU16(accessDeniedMsg));
}

void ConfigAuth::UpdateAuthControls() {
  groupChoice = ItemCheck(IDC_AUTH_GROUPS_ONLY) == BST_CHECKED ? 1 : 0;
  const bool only = groupChoice == 1;
  for (int id : {IDC_AUTH_GROUPS, IDC_AUTH_ADD, IDC_AUTH_MESSAGE_LABEL, IDC_AUTH_MESSAGE}) EnableItem(id, only);
  const bool selected = ListView_GetNextItem(list_.hwnd(), -1, LVNI_SELECTED) >= 0;
  EnableItem(IDC_AUTH_REMOVE, only && selected);
  EnableItem(IDOK, !only || list_.Count() > 0);
}

void ConfigAuth::AddGroups(const std::vector<std::wstring>& names) {
  std::vector<std::u16string> groups = ListedGroups();
  for (const std::wstring& name : names)
    if (AddGroup(groups, ToU16(name))) list_.InsertItem(list_.Count(), name);
}

void ConfigAuth::PickGroups() {
  std::vector<std::wstring> names;
  if (PickWithObjectPicker(hwnd_, names) || PickWithUserBrowser(hwnd_, names))
    AddGroups(names);
  else
    ShowPlainMessage(hwnd_, 112);
  UpdateAuthControls();
}

bool ConfigAuth::OnClicked(int id) {
  switch (id) {
    case IDC_AUTH_EVERYONE:
    case IDC_AUTH_GROUPS_ONLY: UpdateAuthControls(); return true;
    case IDC_AUTH_ADD: PickGroups(); return true;
    case IDC_AUTH_REMOVE: {
      int selected = ListView_GetNextItem(list_.hwnd(), -1, LVNI_SELECTED);
      if (selected >= 0) ListView_DeleteItem(list_.hwnd(), selected);
      UpdateAuthControls();
      return true;
    }
  }
  return ProjectPage::OnClicked(id);
}

bool ConfigAuth::OnNotify(WPARAM wParam, NMHDR* header, LRESULT& result) {
  if (header->idFrom == IDC_AUTH_GROUPS) {
    if (header->code == NM_DBLCLK)
      PickGroups();
    else if (header->code == NM_CLICK || header->code == LVN_ITEMCHANGED)
      UpdateAuthControls();
    result = 0;
    return header->code == NM_DBLCLK || header->code == NM_CLICK || header->code == LVN_ITEMCHANGED;
  }
  return ProjectPage::OnNotify(wParam, header, result);
}

}  // namespace loom
