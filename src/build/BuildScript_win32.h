// The project's side of the build before it starts: OutDir of its
// Package.ini, and build.bat rewritten for a changed output folder.
#pragma once

#include <string>

namespace loom {

// OutDir of section BuildOptions of the project's Package.ini ("" when unset).
std::wstring ReadOutDir(const std::wstring& projectFolder);

// Rewrites the project's build.bat for a changed output folder, once
// Package.ini was opened for editing (`packageIniOpened`).
// 0, or the warning to tell (the template is missing, or has no TARGET_DIR=
// and was written unchanged).
unsigned UpdateBuildScript(const std::wstring& projectFolder, bool packageIniOpened, const std::u16string& toolFolder);

}  // namespace loom
