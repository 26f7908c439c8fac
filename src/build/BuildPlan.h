// What the build page decides before and around each build tool run: the
// tools' folder, their command lines, the output folder named by OutDir, the
// folders to create for it, and the rewrite of the project's build.bat.
// Pure text logic; the page and the main window apply it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "build/BuildCommands.h"

namespace loom {

struct Origin;

// The folder the build tools are started from. With QM_ORIGIN set (any
// non-empty value, whatever its length) the program's own folder; else
// QUILLMARK_BIN when the origin holds it (one trailing '\' or '/' dropped);
// else the program's own folder.
std::u16string BuildToolFolder(const Origin& origin);

// `folder` + "\" + `name`, without doubling a separator that ends the folder
// (a drive root "C:\"); just `name` behind a "\" when the folder is empty.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);

// True for an OutDir that names an absolute folder: after trimming blanks it
// begins with a drive letter, a colon and a separator, or with two
// backslashes. Too short a value ("", "x", "C:") is relative.
bool IsAbsoluteOutDir(std::u16string_view outDir);

// The OutDir value as the build uses it: blanks trimmed, normal folder form
// (trailing separators dropped, a drive root keeps its backslash).
std::u16string NormalOutDir(std::u16string_view outDir);

// The folder that holds the built executables: `outDir` itself when it is
// absolute, else below the project folder. The project folder when `outDir`
// is empty.
std::u16string OutputFolderPath(std::u16string_view projectFolder, std::u16string_view outDir);

// The folders to create, outermost first, for an absolute folder path: every
// level that can be created, without the drive prefix ("C:") and without the
// server and share of a UNC path. Both '\' and '/' separate levels.
std::vector<std::u16string> FolderLevels(std::u16string_view absoluteFolder);

// build.bat is rewritten only after Package.ini was opened for editing, and
// only when OutDir is not "bin" (ASCII letters in any case).
bool NeedsBuildScriptRewrite(bool packageIniOpened, std::u16string_view outDir);

struct BuildScript {
  std::u16string text;
  bool targetFound = false;  // "TARGET_DIR=" was there and got the folder
};

// The new build.bat from the template (folder macros already expanded):
// every "%INSTALLDIR%" becomes `installDir`; the first "TARGET_DIR=" gets
// the output folder ("%PROJECT_DIR%\" + OutDir for a relative OutDir) and a
// line end right behind it, the template's own text following that.
BuildScript MakeBuildScript(std::u16string_view expandedTemplate, std::u16string_view installDir,
                            std::u16string_view outDir);

}  // namespace loom
