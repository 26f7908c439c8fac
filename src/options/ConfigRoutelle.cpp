#include "options/ConfigRoutelle.h"

#include "capture/ScanTool.h"
#include "framework/DataExchange.h"
#include "framework/WinText.h"
#include "options/OptionEdits.h"
#include "util/Text.h"
#include "wizard/ProjectPage.h"
#include "wizard/PageValues.h"

namespace loom {
namespace {

// Creates the file (it must not exist yet) and writes all bytes; a file that
// could not be written whole is removed again.
bool WriteNewFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
  ok = ::CloseHandle(file) && ok;
  if (!ok) ::DeleteFileW(path.c_str());
  return ok;
}

}  // namespace

void ConfigRoutelle::DoDataExchange(DataExchange& dx) {
  InnerDialog::DoDataExchange(dx);
  dx.Text(IDC_ROUTELLE_LIST, redirectList);
}

void ConfigRoutelle::Prepare() {
  const std::wstring& name = Values().firstChosenBrowser;
  if (name.empty()) return;
  IniDocument doc;
  LoadWorkingProject(doc);
  // The whole Source value, however long.
  SetItemText(IDC_ROUTELLE_BROWSER, ToWide(BrowserDisplayName(ToU16(name), doc.ProfileValue(ToU16(name), u"Source"))));
}

void ConfigRoutelle::DeleteListFile() {
  if (!listPath_.empty()) DeleteExistingFile(listPath_);
}

void ConfigRoutelle::SaveRedirectionList(const std::wstring& path) {
  DeleteListFile();
  const std::wstring previous = listPath_;
  listPath_.clear();
  const std::wstring name = Values().firstChosenBrowser;
  std::optional<std::u16string> text = RedirectFileText(ToU16(name), ToU16(redirectList));
  const bool written = text && WriteNewFile(path, ToUtf16LeBytes(*text));
  IniDocument doc;
  if (!LoadWorkingProject(doc)) {
    if (written) DeleteExistingFile(path);
    return;
  }
  if (!ApplyRedirectionKey(doc, written ? ToU16(path) : std::u16string(), ToU16(previous))) return;
  if (doc.Save(ToU16(WorkingProjectPath()))) {
    if (written) listPath_ = path;
  } else if (written) {
    DeleteExistingFile(path);
  }
}

}  // namespace loom
