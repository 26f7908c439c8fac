#include "build/BuildRun_win32.h"

#include <windows.h>

#include <vector>

#include "build/BuildPlan.h"
#include "framework/WinText.h"
#include "project/IniDocument.h"
#include "util/PathRules.h"

namespace loom {
namespace {

bool IsFolder(const std::wstring& path) {
  DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring ReadProjectOutDir(const std::wstring& projectFolder) {
  IniDocument package;
  if (!package.Load(JoinPath(NormalFolder(ToU16(projectFolder)), u"Package.ini"))) return std::wstring();
  return ToWide(package.ProfileValue(u"BuildOptions", u"OutDir"));
}

bool CreateBuildOutputFolder(const std::wstring& projectFolder, const std::wstring& outDir) {
  if (outDir.empty()) return false;
  std::wstring target = ToWide(OutputFolderPath(ToU16(projectFolder), ToU16(outDir)));
  for (const std::u16string& level : FolderLevels(ToU16(target))) ::CreateDirectoryW(AsWide(level.c_str()), nullptr);
  return IsFolder(target);
}

void DeleteIntermediateBuildFiles(const std::wstring& projectFolder, const std::wstring& outDir) {
  if (outDir.empty()) return;
  for (const std::u16string& file : IntermediateFiles(OutputFolderPath(ToU16(projectFolder), ToU16(outDir))))
    ::DeleteFileW(AsWide(file.c_str()));
}

}  // namespace loom
