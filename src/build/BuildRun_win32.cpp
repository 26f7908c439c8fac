#include "build/BuildRun_win32.h"

#include <windows.h>

#include <vector>

#include "build/BuildPlan.h"
#include "capture/ScanTool.h"
#include "framework/WinText.h"
#include "util/PathRules.h"

namespace loom {
namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
  wchar_t buffer[1024];
  DWORD n = ::GetEnvironmentVariableW(name, buffer, 1024);
  return n == 0 || n >= 1024 ? std::wstring() : std::wstring(buffer, n);
}

bool IsFolder(const std::wstring& path) {
  DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring ReadProjectOutDir(const std::wstring& projectFolder) {
  const std::wstring ini = ToWide(JoinPath(NormalFolder(ToU16(projectFolder)), u"Package.ini"));
  for (DWORD size : {DWORD(4096), DWORD(1048576)}) {
    std::vector<wchar_t> buffer(size);
    DWORD n = ::GetPrivateProfileStringW(L"BuildOptions", L"OutDir", L"", buffer.data(), size, ini.c_str());
    if (n < size - 1) return std::wstring(buffer.data(), n);
  }
  return std::wstring();  // longer than any folder could be
}

std::wstring BuildToolsFolder() {
  return ToWide(BuildToolFolder(ToU16(EnvironmentValue(L"QM_ORIGIN")), ToU16(EnvironmentValue(L"QUILLMARK_BIN")),
                                ToU16(ProgramFolder())));
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
