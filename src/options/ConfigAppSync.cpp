#include "options/ConfigAppSync.h"

#include <wininet.h>

#include "app/SystemLibrary.h"
#include "framework/DataExchange.h"
#include "framework/WinText.h"
#include "options/OptionDialogs_win32.h"

namespace loom {

bool IsAcceptedSyncUrl(const std::wstring& url) {
  HMODULE wininet = LoadSystemLibrary(L"wininet.dll");
  if (!wininet) return true;
  using CrackFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPURL_COMPONENTSW);
  auto crack = reinterpret_cast<CrackFn>(reinterpret_cast<void*>(::GetProcAddress(wininet, "InternetCrackUrlW")));
  bool accepted = true;
  if (crack) {
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    accepted = crack(url.c_str(), DWORD(url.size()), 0, &parts) &&
               (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS ||
                parts.nScheme == INTERNET_SCHEME_FILE);
  }
  ::FreeLibrary(wininet);
  return accepted;
}

BOOL ConfigAppSync::OnInitDialog() {
  settings = AppSyncSettings();
  BOOL result = ProjectPage::OnInitDialog();
  UpdateSyncControls();
  return result;
}

void ConfigAppSync::UpdateSyncControls() {
  const bool on = ItemCheck(IDC_SYNC_ENABLE) == BST_CHECKED;
  for (int id : {IDC_SYNC_URL_LABEL, IDC_SYNC_URL, IDC_SYNC_UPDATE_LABEL, IDC_SYNC_UPDATE, IDC_SYNC_UPDATE_UNIT,
                 IDC_SYNC_EXPIRE_LABEL, IDC_SYNC_EXPIRE, IDC_SYNC_EXPIRE_UNIT, IDC_SYNC_WARN_LABEL, IDC_SYNC_WARN,
                 IDC_SYNC_WARN_UNIT, IDC_SYNC_WARN_FREQ_LABEL, IDC_SYNC_WARN_FREQ, IDC_SYNC_WARN_FREQ_UNIT,
                 IDC_SYNC_CLEAR_SANDBOX})
    EnableItem(id, on);
  if (!on) return;
  const char16_t expiry = SyncUnitAt(ComboBox(Item(IDC_SYNC_EXPIRE_UNIT)).Selection(), true);
  const char16_t warning = SyncUnitAt(ComboBox(Item(IDC_SYNC_WARN_UNIT)).Selection(), true);
  EnableItem(IDC_SYNC_EXPIRE, expiry != u'n');
  EnableItem(IDC_SYNC_WARN_UNIT, expiry != u'n');
  for (int id : {IDC_SYNC_WARN, IDC_SYNC_WARN_FREQ, IDC_SYNC_WARN_FREQ_UNIT})
    EnableItem(id, expiry != u'n' && warning != u'n');
}

bool ConfigAppSync::OnClicked(int id) {
  if (id != IDC_SYNC_ENABLE) return ProjectPage::OnClicked(id);
  UpdateSyncControls();
  return true;
}

bool ConfigAppSync::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (HIWORD(wParam) == CBN_SELCHANGE && (id == IDC_SYNC_EXPIRE_UNIT || id == IDC_SYNC_WARN_UNIT)) {
    UpdateSyncControls();
    return true;
  }
  return ProjectPage::OnCommand(wParam, lParam);
}

void ConfigAppSync::ExchangePeriod(DataExchange& dx, int editId, int comboId, bool withNever, SyncPeriod& period) {
  if (dx.failed()) return;
  ComboBox combo(Item(comboId));
  if (!dx.saving()) {
    SetItemText(editId, FormatW(L"%u", period.number));
    combo.Select(SyncUnitIndex(period.unit, withNever));
    return;
  }
  std::optional<uint32_t> number = ParseSyncNumber(ToU16(ItemText(editId)));
  if (!number) {
    ShowPlainMessage(hwnd_, 61719);
    dx.Fail(editId);
    return;
  }
  period.number = *number;
  period.unit = SyncUnitAt(combo.Selection(), withNever);
}

void ConfigAppSync::ExchangeControls(DataExchange& dx) {
  dx.Check(IDC_SYNC_ENABLE, settings.enabled);
  if (dx.saving() && !settings.enabled) return;
  std::wstring url = ToWide(settings.url);
  dx.Text(IDC_SYNC_URL, url);
  settings.url = ToU16(url);
  ExchangePeriod(dx, IDC_SYNC_UPDATE, IDC_SYNC_UPDATE_UNIT, false, settings.updateFrequency);
  ExchangePeriod(dx, IDC_SYNC_EXPIRE, IDC_SYNC_EXPIRE_UNIT, true, settings.expirePeriod);
  ExchangePeriod(dx, IDC_SYNC_WARN, IDC_SYNC_WARN_UNIT, true, settings.warningPeriod);
  ExchangePeriod(dx, IDC_SYNC_WARN_FREQ, IDC_SYNC_WARN_FREQ_UNIT, false, settings.warningFrequency);
  dx.Check(IDC_SYNC_CLEAR_SANDBOX, settings.clearSandboxOnUpdate);
  if (!dx.saving() || dx.failed()) return;
  const bool urlAccepted = settings.url.empty() || IsAcceptedSyncUrl(url);
  if (int message = ValidateAppSync(settings, urlAccepted)) {
    const int focus = message == 116 ? IDC_SYNC_WARN : IDC_SYNC_URL;
    FocusItem(focus);
    ShowPlainMessage(hwnd_, UINT(message));
    dx.Fail(focus);
  }
}

void ConfigAppSync::ApplyToProject(IniDocument& doc) { ApplyAppSync(doc, settings); }

}  // namespace loom
