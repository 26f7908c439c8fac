#include "build/BuildScript_win32.h"

#include <windows.h>

#include <vector>

#include "app/Branding.h"
#include "build/BuildPlan.h"
#include "build/BuildRun_win32.h"
#include "resources/ResourceIds.h"
#include "framework/WinText.h"
#include "macros/FolderMacros.h"
#include "util/FileIo.h"
#include "util/PathRules.h"

namespace loom {
namespace {

std::wstring ProjectFile(const std::wstring& projectFolder, const char16_t* name) {
  return ToWide(JoinPath(NormalFolder(ToU16(projectFolder)), name));
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

unsigned UpdateBuildScript(const std::wstring& projectFolder, bool packageIniOpened, const std::u16string& toolFolder) {
  std::wstring outDir = ReadOutDir(projectFolder);
  if (!NeedsBuildScriptRewrite(packageIniOpened, ToU16(outDir))) return 0;
  std::wstring tmpl = BrandingBuildScript();
  if (tmpl.empty()) {
    return IDS_SCRIPT_NO_TEMPLATE;  // the existing build.bat stays as it is
  }
  std::u16string expanded = ExpandFolderMacros(ToU16(tmpl), false);
  BuildScript script = MakeBuildScript(expanded, toolFolder, ToU16(outDir));
  // Written beside and renamed over the old script: a failure never loses it.
  const std::wstring path = ProjectFile(projectFolder, u"build.bat");
  ReplaceFileContents(ToU16(path), ToCodePage(script.text));
  return script.targetFound ? 0 : IDS_SCRIPT_NO_TARGET_DIR;
}

}  // namespace loom
