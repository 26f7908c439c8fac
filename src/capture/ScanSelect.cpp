#include "capture/ScanSelect.h"

#include "app/SystemLibrary.h"
#include "capture/ScanLocations.h"
#include "framework/DataExchange.h"
#include "framework/Messages.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "resources/ResourceIds.h"
#include "util/Text.h"

namespace loom {
namespace {

constexpr DWORD kEnumBufferBytes = 16384;
constexpr size_t kVolumeText = 261;

std::wstring Copy(const wchar_t* s) { return s ? std::wstring(s) : std::wstring(); }
wchar_t* Pointer(std::wstring& s) { return s.empty() ? nullptr : s.data(); }

// Label and file-system name of a drive root; false when they cannot be read.
bool ReadVolume(const std::wstring& root, std::wstring* label, std::wstring* fileSystem) {
  wchar_t name[kVolumeText] = {}, fs[kVolumeText] = {};
  if (!::GetVolumeInformationW(root.c_str(), name, DWORD(kVolumeText), nullptr, nullptr, nullptr, fs,
                               DWORD(kVolumeText)))
    return false;
  if (label) *label = name;
  if (fileSystem) *fileSystem = fs;
  return true;
}

}  // namespace

RememberedDrive::RememberedDrive(const NETRESOURCEW& r)
    : scope(r.dwScope),
      type(r.dwType),
      displayType(r.dwDisplayType),
      usage(r.dwUsage),
      localName(Copy(r.lpLocalName)),
      remoteName(Copy(r.lpRemoteName)),
      comment(Copy(r.lpComment)),
      provider(Copy(r.lpProvider)) {
  for (wchar_t& c : localName) c = wchar_t(AsciiLower(char16_t(c)));
}

NETRESOURCEW RememberedDrive::AsNetResource() {
  NETRESOURCEW r = {};
  r.dwScope = scope;
  r.dwType = type;
  r.dwDisplayType = displayType;
  r.dwUsage = usage;
  r.lpLocalName = Pointer(localName);
  r.lpRemoteName = Pointer(remoteName);
  r.lpComment = Pointer(comment);
  r.lpProvider = Pointer(provider);
  return r;
}

ScanSelect::ScanSelect(std::wstring& selectionText, Dialog* parent)
    : Dialog(IDD_SCAN_LOCATIONS, parent), selectionText_(selectionText) {}

DWORD ScanSelect::FindRememberedDrives() {
  DWORD mask = 0;
  HANDLE en = nullptr;
  auto openEnum = OnDemand<decltype(&::WNetOpenEnumW)>(kNetworkLibrary, "WNetOpenEnumW");
  auto nextEntries = OnDemand<decltype(&::WNetEnumResourceW)>(kNetworkLibrary, "WNetEnumResourceW");
  auto closeEnum = OnDemand<decltype(&::WNetCloseEnum)>(kNetworkLibrary, "WNetCloseEnum");
  if (!openEnum || !nextEntries || !closeEnum ||
      openEnum(RESOURCE_REMEMBERED, RESOURCETYPE_DISK, 0, nullptr, &en) != NO_ERROR)
    return 0;
  std::vector<DWORD_PTR> buffer(kEnumBufferBytes / sizeof(DWORD_PTR));  // aligned for NETRESOURCEW
  for (;;) {
    DWORD count = DWORD(-1), size = kEnumBufferBytes;
    if (nextEntries(en, &count, buffer.data(), &size) != NO_ERROR) break;
    const auto* entries = reinterpret_cast<const NETRESOURCEW*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      if (!entries[i].lpLocalName) continue;
      RememberedDrive drive(entries[i]);
      int index = DriveIndexOfLocalName(ToU16(drive.localName));
      if (index < 0 || drive.localName.size() != 2) continue;
      mask |= DWORD(1) << index;
      drives_.push_back(std::move(drive));
    }
  }
  closeEnum(en);
  return mask;
}

RememberedDrive* ScanSelect::RememberedFor(int driveIndex) {
  if (driveIndex < 0) return nullptr;
  for (RememberedDrive& d : drives_)
    if (DriveIndexOfLocalName(ToU16(d.localName)) == driveIndex) return &d;
  return nullptr;
}

void ScanSelect::AddRow(const std::wstring& root, const std::wstring& label, const std::wstring& fileSystem) {
  int row = list_.InsertItem(list_.Count(), root);
  if (row < 0) return;
  list_.SetItemText(row, 1, label);
  list_.SetItemText(row, 2, fileSystem);
  list_.SetChecked(row, SelectionHasRoot(ToU16(selectionText_), ToU16(root)));
  if (row == 0) ListView_SetItemState(list_.hwnd(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

BOOL ScanSelect::OnInitDialog() {
  BOOL result = Dialog::OnInitDialog();  // binds the list
  list_.SetExtendedStyle(LVS_EX_CHECKBOXES);
  list_.InsertColumn(0, LoadResString(IDS_COLUMN_ROOT), 80);
  list_.InsertColumn(1, LoadResString(IDS_COLUMN_VOLUME), 150);
  list_.InsertColumn(2, LoadResString(IDS_COLUMN_FILE_SYSTEM), 100);

  DWORD mask = ::GetLogicalDrives() | FindRememberedDrives();
  for (char16_t letter : OfferedDriveLetters(mask)) {
    std::wstring root = ToWide(DriveRoot(letter));
    std::wstring label, fileSystem;
    if (!ReadVolume(root, &label, &fileSystem)) {
      // A remembered network drive that is not connected now is offered
      // with its remote name; it is reconnected when chosen.
      const RememberedDrive* drive = RememberedFor(int(letter - u'a'));
      if (!drive) continue;  // an empty card reader, an unformatted disk
      label = drive->remoteName.substr(0, 260);
      fileSystem.clear();
    }
    AddRow(root, label, fileSystem);
  }

  HiveChoice hives = SelectionHives(ToU16(selectionText_));
  SetItemCheck(IDC_SCAN_HKLM, hives.localMachine);
  SetItemCheck(IDC_SCAN_HKU, hives.users);
  SetItemCheck(IDC_SCAN_HKCU, hives.currentUser);
  UpdateHiveControls();
  return result;
}

// HKEY_USERS includes the current user: its box is then checked and fixed.
void ScanSelect::UpdateHiveControls() {
  if (ItemCheck(IDC_SCAN_HKU) == BST_CHECKED) {
    SetItemCheck(IDC_SCAN_HKCU, true);
    EnableItem(IDC_SCAN_HKCU, false);
  } else {
    EnableItem(IDC_SCAN_HKCU, true);
  }
  list_.Enable(list_.Count() > 0);
}

bool ScanSelect::OnClicked(int id) {
  if (id != IDC_SCAN_HKU) return Dialog::OnClicked(id);
  UpdateHiveControls();
  return true;
}

void ScanSelect::Tell(const std::wstring& text) { ShowMessage(hwnd_, text, MB_OK | MB_ICONEXCLAMATION); }

void ScanSelect::DoDataExchange(DataExchange& dx) {
  dx.Bind(IDC_SCAN_DRIVES, list_);
  if (dx.saving()) SaveSelection(dx);
}

void ScanSelect::SaveSelection(DataExchange& dx) {
  if (dx.failed()) return;
  const int focusOnFailure = list_.IsEnabled() ? IDC_SCAN_DRIVES : IDC_SCAN_HKLM;
  std::vector<std::u16string> roots;
  for (int row = 0; row < list_.Count(); ++row) {
    if (!list_.Checked(row)) continue;
    std::wstring root = list_.ItemText(row, 0).substr(0, 3);
    if (!ReadVolume(root, nullptr, nullptr)) {
      if (RememberedDrive* drive = RememberedFor(DriveIndexOfLocalName(ToU16(root)))) {
        NETRESOURCEW resource = drive->AsNetResource();
        auto connect = OnDemand<decltype(&::WNetAddConnection2W)>(kNetworkLibrary, "WNetAddConnection2W");
        if (!connect || connect(&resource, nullptr, nullptr, CONNECT_INTERACTIVE) != NO_ERROR) {
          Tell(FormatW(LoadResString(IDS_CANNOT_RECONNECT).c_str(), root.c_str()));
          dx.Fail(focusOnFailure);
          return;
        }
      }
    }
    roots.push_back(ToU16(root));
  }
  HiveChoice hives;
  hives.localMachine = ItemCheck(IDC_SCAN_HKLM) == BST_CHECKED;
  hives.users = ItemCheck(IDC_SCAN_HKU) == BST_CHECKED;
  hives.currentUser = ItemCheck(IDC_SCAN_HKCU) == BST_CHECKED;
  std::u16string text;
  if (!BuildScanLocations(roots, hives, text)) {
    Tell(LoadResString(IDS_NO_SCAN_LOCATION));
    dx.Fail(focusOnFailure);
    return;
  }
  selectionText_ = ToWide(text);
}

}  // namespace loom
