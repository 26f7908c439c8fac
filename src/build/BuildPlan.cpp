#include "build/BuildPlan.h"

#include "app/Origin.h"
#include "util/PathRules.h"
#include "util/Text.h"

namespace loom {

std::u16string BuildToolFolder(const Origin& origin) {
  if (origin.set || origin.quillmarkBin.empty()) return origin.ProgramFolder();
  std::u16string folder = origin.quillmarkBin;
  if (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string out(folder);
  if (out.empty() || !IsSeparator(out.back())) out += u'\\';
  out.append(name);
  return out;
}

bool IsAbsoluteOutDir(std::u16string_view outDir) { return IsAbsolutePath(TrimView(outDir)); }

std::u16string NormalOutDir(std::u16string_view outDir) { return NormalFolder(TrimView(outDir)); }

std::u16string OutputFolderPath(std::u16string_view projectFolder, std::u16string_view outDir) {
  std::u16string out = NormalOutDir(outDir);
  std::u16string project = NormalFolder(projectFolder);
  if (out.empty()) return project;
  if (IsAbsoluteOutDir(out)) return out;
  return JoinPath(project, out);
}

std::vector<std::u16string> FolderLevels(std::u16string_view folder) {
  std::vector<std::u16string> levels;
  size_t start = 0;  // first position after the part that is never created
  if (folder.size() >= 2 && folder[1] == u':') {
    start = 2;
  } else if (folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
    size_t server = folder.find_first_of(u"\\/", 2);
    size_t share = server == std::u16string_view::npos ? server : folder.find_first_of(u"\\/", server + 1);
    if (share == std::u16string_view::npos) return levels;
    start = share;
  }
  for (size_t i = start; i <= folder.size(); ++i) {
    if (i != folder.size() && !IsSeparator(folder[i])) continue;
    if (i == 0 || IsSeparator(folder[i - 1])) continue;  // empty level
    if (i <= start) continue;
    levels.emplace_back(folder.substr(0, i));
  }
  return levels;
}

bool NeedsBuildScriptRewrite(bool packageIniOpened, std::u16string_view outDir) {
  return packageIniOpened && !EqualsNoCaseAscii(outDir, u"bin");
}

BuildScript MakeBuildScript(std::u16string_view expandedTemplate, std::u16string_view installDir,
                            std::u16string_view outDir) {
  BuildScript script;
  script.text.assign(expandedTemplate);
  ReplaceAll(script.text, u"%INSTALLDIR%", installDir);
  static constexpr std::u16string_view kTarget = u"TARGET_DIR=";
  size_t at = script.text.find(kTarget);
  if (at == std::u16string::npos) return script;
  std::u16string out = NormalOutDir(outDir);
  std::u16string value = IsAbsoluteOutDir(out) ? out : JoinPath(u"%PROJECT_DIR%", out);
  script.text.insert(at + kTarget.size(), value + u"\r\n");
  script.targetFound = true;
  return script;
}

}  // namespace loom
