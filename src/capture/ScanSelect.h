// The scan-locations dialog: which drive roots and registry hives the scan
// tool examines. It edits the selection text it is given; the caller passes
// a copy and keeps it only when the dialog ends with OK.
#pragma once

#include <windows.h>
#include <winnetwk.h>

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"

namespace loom {

// One remembered (persistent) network drive connection of the user, as the
// network enumeration reports it; the local name is kept in lower case.
struct RememberedDrive {
  DWORD scope = 0, type = 0, displayType = 0, usage = 0;
  std::wstring localName, remoteName, comment, provider;

  explicit RememberedDrive(const NETRESOURCEW& r);
  // A description for the platform; it points into this record.
  NETRESOURCEW AsNetResource();
};

class ScanSelect : public Dialog {
 public:
  explicit ScanSelect(std::wstring& selectionText, Dialog* parent = nullptr);

 protected:
  BOOL OnInitDialog() override;
  bool OnClicked(int id) override;
  void DoDataExchange(DataExchange& dx) override;

 private:
  // Bit mask (bit 0 = a) of the remembered drives, which are kept in drives_.
  DWORD FindRememberedDrives();
  RememberedDrive* RememberedFor(int driveIndex);
  void AddRow(const std::wstring& root, const std::wstring& label, const std::wstring& fileSystem);
  void UpdateHiveControls();
  void SaveSelection(DataExchange& dx);
  void Tell(const std::wstring& text);

  std::wstring& selectionText_;
  ListView list_;
  std::vector<RememberedDrive> drives_;
};

}  // namespace loom
