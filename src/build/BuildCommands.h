// The build's three tool runs as both the build page and the project's
// build.bat run them: the tools, their command lines and the intermediate
// files they leave in the output folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace loom {

// Stages of a build: 1 vregtool.exe, 2 vftool.exe, 3 tlink.exe.
constexpr int kFirstBuildStage = 1;
constexpr int kLastBuildStage = 3;

// The file name of a stage's tool ("" for other stages).
std::u16string_view BuildToolName(int stage);

// The full path of a stage's tool in `toolFolder`, as the stage's command
// line starts it.
std::u16string BuildToolPath(int stage, std::u16string_view toolFolder);

// The command line of a stage (1 to 3): the tool in `toolFolder`, the output
// folder and the project folder in their normal form, quoted so that a
// trailing backslash cannot escape a closing quote. Empty for other stages.
// build.bat writes the same lines with %TOOLS%, %TARGET_DIR% and
// %PROJECT_DIR% for the three folders.
std::u16string BuildToolCommand(int stage, std::u16string_view toolFolder, std::u16string_view outputFolder,
                                std::u16string_view projectFolder);

// The names of the intermediate files a build leaves in the output folder.
constexpr const char16_t* kIntermediateFileNames[] = {u"Package.ro.tvr", u"Package.ro.tvr.thfd"};

// Those files in the output folder, deleted when a build ends; none when the
// output folder is empty (nothing outside the project may be touched).
std::vector<std::u16string> IntermediateFiles(std::u16string_view outputFolder);

}  // namespace loom
