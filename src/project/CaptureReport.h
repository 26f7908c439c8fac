// The report of a captured project, for the person who checks it before it
// is built: the package name, the entry points with their icons, the
// captured files by folder macro, the largest folders, the registry changes
// per hive and the options Package.ini sets; drawn as one self-contained
// HTML page (icons embedded, the chart inline SVG, no script).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace loom {

// What the registry files of a project change under one hive.
struct HiveChanges {
  std::u16string hive;
  size_t keys = 0, values = 0, deletedKeys = 0, deletedValues = 0;
};

// Reads one registry file in the standard format (UTF-16LE with its
// byte-order mark, or UTF-8; "Windows Registry Editor Version 5.00" first;
// [KEY], [-KEY], "name"=data, @=data, "name"=-; data continued on lines
// ending in "\") and adds its changes to `hives`, one entry per hive in
// order of appearance. False when the text is not such a file.
bool AddRegistryFile(std::string_view bytes, std::vector<HiveChanges>& hives);

// The icon a PE file (or an .ico file) holds as an .ico file: icon group
// `index` (0 = the first) with all its images. Empty when there is none.
std::string ExtractIcon(std::string_view file, long index);

struct ReportEntry {
  std::u16string name, target;
  std::string icon;  // .ico bytes, empty when none was found
};

struct ReportGroup {
  std::u16string name;  // a folder macro ("%ProgramFilesDir%") or a folder
  size_t files = 0;
  uint64_t bytes = 0;
};

struct CaptureSummary {
  std::u16string projectFolder, packageName;
  std::vector<ReportEntry> entries;
  std::vector<ReportGroup> macros;   // the captured files by folder macro, by name
  std::vector<ReportGroup> largest;  // the largest folders one level below a macro, largest first (at most 10)
  std::vector<HiveChanges> hives;
  std::vector<std::pair<std::u16string, std::u16string>> options;  // "Section.Key", value
};

// Reads the project folder: Package.ini, the files under its folder-macro
// folders, the registry files (*.reg) beside it. False with the problem when
// the folder holds no readable Package.ini.
bool ReadCaptureSummary(const std::u16string& projectFolder, CaptureSummary& summary, std::u16string& problem);

std::u16string ReportHtml(const CaptureSummary& summary);

}  // namespace loom
