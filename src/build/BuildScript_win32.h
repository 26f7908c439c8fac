// The project's side of the build before it starts: OutDir of its
// Package.ini, and build.bat rewritten for a changed output folder.
#pragma once

#include <string>

namespace loom {

// OutDir of section BuildOptions of the project's Package.ini ("" when unset).
std::wstring ReadOutDir(const std::wstring& projectFolder);

// Rewrites the project's build.bat for a changed output folder, once
// Package.ini was opened for editing (`packageIniOpened`).
void UpdateBuildScript(const std::wstring& projectFolder, bool packageIniOpened);

}  // namespace loom
