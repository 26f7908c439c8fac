#include "build/BuildPlan.h"

#include "util/PathRules.h"
#include "util/Text.h"

namespace loom {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::u16string_view TrimBlanks(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == u' ' || s[b] == u'\t')) ++b;
  while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t')) --e;
  return s.substr(b, e - b);
}

void ReplaceAll(std::u16string& text, std::u16string_view what, std::u16string_view with) {
  std::u16string out;
  size_t from = 0;
  for (size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, from)) {
    out.append(text, from, at - from);
    out.append(with);
    from = at + what.size();
  }
  if (from == 0) return;
  out.append(text, from, std::u16string::npos);
  text = std::move(out);
}

}  // namespace

std::u16string BuildToolFolder(std::u16string_view qmOrigin, std::u16string_view quillmarkBin,
                               std::u16string_view programFolder) {
  if (!qmOrigin.empty() || quillmarkBin.empty()) return std::u16string(programFolder);
  std::u16string folder(quillmarkBin.substr(0, 260));
  if (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string out(folder);
  if (out.empty() || !IsSeparator(out.back())) out += u'\\';
  out.append(name);
  return out;
}

std::u16string BuildToolPath(int stage, std::u16string_view toolFolder) {
  return JoinPath(toolFolder, stage == 1 ? u"vregtool.exe" : stage == 2 ? u"vftool.exe" : u"tlink.exe");
}

std::u16string BuildToolCommand(int stage, std::u16string_view toolFolder, std::u16string_view outputFolder,
                                std::u16string_view projectFolder) {
  const std::u16string out = NormalFolder(outputFolder);
  const std::u16string project = NormalFolder(projectFolder);
  const std::u16string tool = Quoted(BuildToolPath(stage, toolFolder));
  switch (stage) {
    case 1:
    case 2:
      return tool + u" " + QuotedPath(JoinPath(out, u"Package.ro.tvr")) + u" ImportDir " + QuotedPath(project) +
             u" -Loomwise";
    case 3:
      return tool + u" " + QuotedPath(JoinPath(project, u"Package.ini")) + u" -OutDir " + QuotedPath(out) +
             u" -Loomwise";
    default: return {};
  }
}

bool IsAbsoluteOutDir(std::u16string_view outDir) { return IsAbsolutePath(TrimBlanks(outDir)); }

std::u16string NormalOutDir(std::u16string_view outDir) { return NormalFolder(TrimBlanks(outDir)); }

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

std::vector<std::u16string> IntermediateFiles(std::u16string_view outputFolder) {
  std::u16string out = NormalOutDir(outputFolder);
  if (out.empty()) return {};
  return {JoinPath(out, u"Package.ro.tvr"), JoinPath(out, u"Package.ro.tvr.thfd")};
}

}  // namespace loom
