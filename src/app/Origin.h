// Where the program's own files are, as the environment says when it starts.
// A program reads it once (the wizard in its application object, loomctl at
// its start) and passes it down to every use.
//
// QM_ORIGIN is the path of the package the wizard runs from. It counts as set
// when it is present and not empty, whatever its length: the build tools then
// start from the program's own folder (only its presence matters there). Its
// value is used as a path (the settings file, the resume command, the folder
// written into build.bat, the default project location) only when it holds at
// most 260 characters; a longer value is never cut: the program's own path
// stands in for it. QUILLMARK_BIN, the build tools' folder, follows the same
// length rule: a longer value counts as absent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace loom {

constexpr size_t kMaxEnvironmentPath = 260;

struct Origin {
  bool set = false;             // QM_ORIGIN present and not empty
  std::u16string path;          // QM_ORIGIN as a path: empty when unset or longer than 260
  std::u16string quillmarkBin;  // QUILLMARK_BIN: empty when unset or longer than 260
  std::u16string programPath;   // the program's own file path

  // QM_ORIGIN's path, else the program's own path.
  const std::u16string& OriginOrProgramPath() const { return path.empty() ? programPath : path; }
  // That path cut at its last backslash (the backslash dropped); whole when it has none.
  std::u16string OriginOrProgramFolder() const;
  // The program's own folder (its path cut at the last backslash); empty when it has none.
  std::u16string ProgramFolder() const;
};

// The origin from the two variables' values (empty when not present) and the program's path.
Origin MakeOrigin(std::u16string_view qmOrigin, std::u16string_view quillmarkBin, std::u16string_view programPath);

// The settings file: the origin's (or program's) path with everything after
// its last "\", "/" or drive colon replaced by "Wrenlow.ini".
std::u16string SettingsFilePathFor(const Origin& origin);

class FolderPlatform;
// The one place QM_ORIGIN and QUILLMARK_BIN are read: both whole, from the
// platform's environment (SystemFolderPlatform() in the programs).
Origin ReadOrigin(const FolderPlatform& platform, std::u16string_view programPath);

}  // namespace loom
