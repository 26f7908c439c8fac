#include "build/BuildCommands.h"

#include "build/BuildPlan.h"
#include "util/PathRules.h"
#include "util/Text.h"

namespace loom {

std::u16string_view BuildToolName(int stage) {
  switch (stage) {
    case 1: return u"vregtool.exe";
    case 2: return u"vftool.exe";
    case 3: return u"tlink.exe";
    default: return {};
  }
}

std::u16string BuildToolPath(int stage, std::u16string_view toolFolder) {
  return JoinPath(toolFolder, BuildToolName(stage));
}

std::u16string BuildToolCommand(int stage, std::u16string_view toolFolder, std::u16string_view outputFolder,
                                std::u16string_view projectFolder) {
  const std::u16string out = NormalFolder(outputFolder);
  const std::u16string project = NormalFolder(projectFolder);
  const std::u16string tool = Quoted(BuildToolPath(stage, toolFolder));
  switch (stage) {
    case 1:
    case 2:
      return tool + u" " + QuotedPath(JoinPath(out, kIntermediateFileNames[0])) + u" ImportDir " + QuotedPath(project) +
             u" -Loomwise";
    case 3:
      return tool + u" " + QuotedPath(JoinPath(project, u"Package.ini")) + u" -OutDir " + QuotedPath(out) +
             u" -Loomwise";
    default: return {};
  }
}

std::vector<std::u16string> IntermediateFiles(std::u16string_view outputFolder) {
  std::u16string out = NormalOutDir(outputFolder);
  if (out.empty()) return {};
  std::vector<std::u16string> files;
  for (const char16_t* name : kIntermediateFileNames) files.push_back(JoinPath(out, name));
  return files;
}

}  // namespace loom
