// The resume value that starts the wizard again after a restart: its three
// forms and the reading of its arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace loom {

struct Origin;

// "\"%ls\" \"%ls\" \"%ls\" %d": only the prescan exists.
std::u16string ResumeValueAfterPrescan(std::u16string_view program, std::u16string_view prescan,
                                       std::u16string_view scanLocations, int ieSelection);
// "\"%ls\" \"%ls\" \"%ls\" \"%ls\" %d": the postscan exists too.
std::u16string ResumeValueAfterPostscan(std::u16string_view program, std::u16string_view prescan,
                                        std::u16string_view postscan, std::u16string_view scanLocations,
                                        int ieSelection);
// "\"%ls\"%ls": a received command line re-registered under the current
// program path (the rest after its first token).
std::u16string ResumeValueFromCommandLine(std::u16string_view program, std::u16string_view commandLine);

// Program path for the value: with QM_ORIGIN's path (app/Origin.h), its
// folder part (through the last separator) followed by "Loomwise.exe"; else
// the program's own path.
std::u16string ResumeProgramPath(const Origin& origin);

// Resume arguments (tokens, program first): 4 tokens (program, prescan,
// scan locations, selection) or 5 (program, prescan, postscan, locations,
// selection). Scan locations are accepted only when every item is a drive
// root ("C:\") or one of the three hive names, so nothing else can reach the
// scan tool's command line.
struct ResumeArguments {
  bool withPostscan = false;
  std::u16string prescan, postscan, scanLocations;
  int ieSelection = -1;  // -1: the token was not 0, 1 or 2 (the selection stays)
};
bool ParseResumeArguments(const std::vector<std::u16string>& tokens, ResumeArguments& args);

// Checks a scan-locations text: blank-separated drive roots and hive names.
bool IsValidScanLocations(std::u16string_view text);

// The file-name part of a path: after the last "\", "/" or drive colon.
std::u16string_view FileNamePart(std::u16string_view path);

}  // namespace loom
