// The scan tool's four command lines, character for character, and the
// small path rules around them.
#pragma once

#include <string>
#include <string_view>

namespace loom {

// "\"%ls\\%ls\" \"%ls\" %ls -Loomwise": the prescan and the postscan.
std::u16string ScanCommand(std::u16string_view toolFolder, std::u16string_view toolName,
                           std::u16string_view snapshotPath, std::u16string_view scanLocations);

// "\"%ls\\%ls\" \"%ls\" -SuggestProject \"%ls\" \"%ls\" -IESelection %d -Loomwise"
std::u16string SuggestProjectCommand(std::u16string_view toolFolder, std::u16string_view toolName,
                                     std::u16string_view shortStartSnapshot, std::u16string_view shortEndSnapshot,
                                     std::u16string_view workingProjectPath, int ieSelection);

// "\"%ls\\%ls\" \"%ls\" -GenerateProject \"%ls\" -Loomwise"; the project
// folder in its normal form (NormalFolder), quoted so that the backslash of a
// root such as "C:\" does not escape the closing quote ("C:\\").
std::u16string GenerateProjectCommand(std::u16string_view toolFolder, std::u16string_view toolName,
                                      std::u16string_view workingProjectPath, std::u16string_view projectFolder);

// Drops one trailing "\" or "/".
std::u16string_view DropTrailingSlash(std::u16string_view path);

// Temporary names: temp folder (with its trailing backslash, or empty), the
// GUID in registry form, ".", the extension ("%ls%ls.%ls").
std::u16string TempFileName(std::u16string_view tempFolder, std::u16string_view guid, std::u16string_view extension);

// The folder part of a path: everything before its last backslash.
std::u16string_view FolderOf(std::u16string_view path);

}  // namespace loom
