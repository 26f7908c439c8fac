// What project generation writes, decided without touching the system: the
// folders and file copies (each target a relative path under the project
// folder, named by its folder macros), the registry changes as text per hive,
// Package.ini and build.bat. The Win32 side only carries the plan out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "snapshot/ProjectSuggestion.h"
#include "snapshot/RegFile.h"

namespace loom::snap {

struct FileCopy {
  std::u16string source;  // live path
  std::u16string target;  // relative to the project folder
  uint64_t size = 0;
};

struct HiveText {
  std::u16string hive;  // "HKEY_LOCAL_MACHINE"; the file is hive + ".reg"
  std::u16string text;  // the .reg text, CR LF lines, without byte-order mark
};

class GenerationPlanner : public DiffVisitor {
 public:
  // `currentUserSid`, when given, writes HKEY_USERS\<sid> as HKEY_CURRENT_USER
  // and HKEY_USERS\<sid>_Classes as HKEY_CURRENT_USER\Software\Classes.
  GenerationPlanner(CaptureEnvironment env, std::u16string currentUserSid = {})
      : env_(std::move(env)), sid_(std::move(currentUserSid)) {}

  void Added(const Entry& after) override;
  void Changed(const Entry& before, const Entry& after) override;
  void Deleted(const Entry& before) override;

  std::vector<std::u16string> folders;  // relative, parents before children
  std::vector<FileCopy> copies;
  std::vector<std::u16string> skipped;  // live paths that have no safe name in the project
  // Folders the installation created (live paths), for the project-folder check.
  std::vector<std::u16string> newFolders;

  // The hive files' texts, in hive order.
  std::vector<HiveText> HiveTexts() const;

 private:
  bool Target(std::u16string_view path, std::u16string& target);
  void Registry(const Entry* before, const Entry* after);
  size_t Hive(std::u16string& keyPath);  // index into hives_; maps the current user

  CaptureEnvironment env_;
  std::u16string sid_;
  struct HiveRecords {
    std::u16string name;
    std::vector<RegRecord> records;
  };
  std::vector<HiveRecords> hives_;
  std::u16string deletedKey_;  // the last deleted key: its contents are not listed
};

// A relative project path is safe when every name is non-empty, not "." or
// "..", and free of characters that Windows file names cannot hold.
bool IsSafeRelativePath(std::u16string_view path);

// Why `projectFolder` (absolute, no trailing separator) cannot take a project:
// empty when it can. It must not be a drive's or share's root, and must not be
// or lie inside a folder the installation created or an entry point's folder.
std::u16string ProjectFolderProblem(std::u16string_view projectFolder,
                                    const std::vector<std::u16string>& capturedFolders);

// Package.ini from the working project text: the snapshot section dropped.
std::u16string PackageIniText(std::u16string_view workingText);

// build.bat: the three build tools with the build page's command lines, run
// from the project folder with the output folder `outDir` ("bin").
std::u16string BuildScriptText(std::u16string_view toolFolder, std::u16string_view outDir);

}  // namespace loom::snap
