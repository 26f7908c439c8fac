// Rules for folder paths the user types or a project file holds: whether a
// path can be used at all, whether it is absolute, its one normal form, and
// how it is quoted on a command line. Shared by the project-location page,
// the sandbox page, the project generation and the build.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace loom {

// False when the path holds a character no Windows path may hold: '"', '<',
// '>', '|', '?', '*', a control character (below U+0020), or a ':' anywhere
// but right after a leading drive letter. An empty path is usable here (the
// callers check emptiness with their own message).
bool IsUsablePath(std::u16string_view path);

// "X:\..." (or "X:/...") and "\\server\share..." are absolute; "proj",
// "C:proj", "\proj", "" and "C:" are not.
bool IsAbsolutePath(std::u16string_view path);

// The usable and absolute test of a folder the wizard writes into.
inline bool IsValidFolderPath(std::u16string_view path) { return IsUsablePath(path) && IsAbsolutePath(path); }

// Drops every trailing '\' and '/', except that a drive root keeps one
// backslash ("C:\\\\" and "C:/" become "C:\"), so the result never is a bare
// "X:" that would mean the drive's current folder.
std::u16string NormalFolder(std::u16string_view path);

// True when `path` is `folder` or lies inside it: letter case ignored, '\'
// separating names; trailing separators of `folder` do not count.
bool IsWithinFolder(std::u16string_view path, std::u16string_view folder);

// Why a folder cannot take a project: it is a drive's or share's root
// ("C:\", "C:", "\\server\share"), or it is or lies inside one of the captured
// application's folders (`captured`: what the installation created and the
// entry points' folders), which `folder` then names. The project-location
// page refuses by this rule before the capture tool would.
struct ProjectFolderRefusal {
  enum Kind { kNone, kRoot, kCaptured } kind = kNone;
  std::u16string folder;  // the captured folder it lies in
};
ProjectFolderRefusal RefuseProjectFolder(std::u16string_view projectFolder,
                                         const std::vector<std::u16string>& captured);

// The path in double quotes for a command line. A trailing backslash is
// doubled so that it does not escape the closing quote ("C:\" -> "C:\\").
std::u16string QuotedPath(std::u16string_view path);

}  // namespace loom
