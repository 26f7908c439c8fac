#include "build/BuildScript_win32.h"

#include <windows.h>

#include <vector>

#include "app/Branding.h"
#include "build/BuildPlan.h"
#include "build/BuildRun_win32.h"
#include "capture/ScanTool.h"
#include "framework/WinText.h"
#include "macros/FolderMacros.h"
#include "util/FileIo.h"
#include "util/PathRules.h"

namespace loom {
namespace {

// "无法使用新outdir设置更新批处理文件"
constexpr wchar_t kNoTemplate[] =
    L"\u65e0\u6cd5\u4f7f\u7528\u65b0outdir\u8bbe\u7f6e\u66f4\u65b0\u6279\u5904\u7406\u6587\u4ef6";
// "失败的更新批处理文件与新outdir设置"
constexpr wchar_t kNoTargetDir[] =
    L"\u5931\u8d25\u7684\u66f4\u65b0\u6279\u5904\u7406\u6587\u4ef6\u4e0e\u65b0outdir\u8bbe\u7f6e";

std::wstring ProjectFile(const std::wstring& projectFolder, const char16_t* name) {
  return ToWide(JoinPath(NormalFolder(ToU16(projectFolder)), name));
}

// Where the program's files are: QM_ORIGIN's folder when it is set, else the
// program's own folder.
std::wstring InstallFolder() {
  wchar_t origin[MAX_PATH + 1];
  DWORD n = ::GetEnvironmentVariableW(L"QM_ORIGIN", origin, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return ProgramFolder();
  std::wstring path(origin, n);
  size_t cut = path.find_last_of(L'\\');
  return cut == std::wstring::npos ? path : path.substr(0, cut);
}

std::string ToCodePage(const std::u16string& text) {
  if (text.empty()) return {};
  const wchar_t* w = AsWide(text.c_str());
  int n = ::WideCharToMultiByte(CP_ACP, 0, w, int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, w, int(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring ReadOutDir(const std::wstring& projectFolder) { return ReadProjectOutDir(projectFolder); }

void UpdateBuildScript(const std::wstring& projectFolder, bool packageIniOpened) {
  std::wstring outDir = ReadOutDir(projectFolder);
  if (!NeedsBuildScriptRewrite(packageIniOpened, ToU16(outDir))) return;
  std::wstring tmpl = BrandingBuildScript();
  if (tmpl.empty()) {
    // The existing build.bat stays as it is.
    ::MessageBoxW(nullptr, kNoTemplate, L"Warning", MB_OK);
    return;
  }
  std::u16string expanded = ExpandFolderMacros(ToU16(tmpl), false);
  BuildScript script = MakeBuildScript(expanded, ToU16(InstallFolder()), ToU16(outDir));
  if (!script.targetFound) ::MessageBoxW(nullptr, kNoTargetDir, L"Warning", MB_OK);
  // Written beside and renamed over the old script: a failure never loses it.
  const std::wstring path = ProjectFile(projectFolder, u"build.bat");
  ReplaceFileContents(ToU16(path), ToCodePage(script.text));
}

}  // namespace loom
