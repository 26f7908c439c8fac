// The build's questions to the system, shared by the build page and the
// unattended capture: the output folder named by the project's OutDir,
// creating the output folder and tidying it afterwards.
#pragma once

#include <string>

namespace loom {

// OutDir of section BuildOptions of the project's Package.ini ("" when unset).
std::wstring ReadProjectOutDir(const std::wstring& projectFolder);

// Creates every level of the output folder `outDir` (normal form) names for
// the project; true when it exists afterwards.
bool CreateBuildOutputFolder(const std::wstring& projectFolder, const std::wstring& outDir);

// Removes the intermediate files a build leaves in its output folder.
void DeleteIntermediateBuildFiles(const std::wstring& projectFolder, const std::wstring& outDir);

}  // namespace loom
