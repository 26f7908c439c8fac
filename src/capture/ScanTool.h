// Where the scan tool lives and the temporary files that carry results
// between its runs.
#pragma once

#include <string>

#include "wizard/Steps.h"

namespace loom {

// Chooses the tool's name and finds it beside the program or in
// ..\..\modules. When it is nowhere, tells the user and ends the process
// (exit code 0).
void FindScanTool();
// The same search without a window: false with the message when the tool is
// nowhere.
bool LocateScanTool(std::wstring& folder, std::wstring& name, std::wstring& problem);

// The text that tells why a tool step failed: the tool's error lines, or the
// missing result file's path, or the general failure.
std::wstring ToolFailureText(ToolFailure failure, const std::wstring& errorLines, const std::wstring& resultPath);

// The program's own file path and folder (without trailing backslash).
std::wstring ProgramPath();
std::wstring ProgramFolder();

// A fresh temporary name (temp folder, GUID, ".", extension), proven
// creatable and left without a file. Fatal message and exit when it cannot
// be created.
std::wstring MakeTempPath(const wchar_t* extension);
// The same without a window: false (with the name tried) when it cannot be created.
bool TryMakeTempPath(const wchar_t* extension, std::wstring& path);

// The three temporary files, each named on first use and kept for the run.
const std::wstring& StartSnapshotPath();
const std::wstring& EndSnapshotPath();
const std::wstring& WorkingProjectPath();

// The 8.3 form the platform gives (or the path itself when it gives none).
std::wstring ShortPathOf(const std::wstring& path);

bool IsExistingFile(const std::wstring& path);      // a file, not a folder
bool DeleteExistingFile(const std::wstring& path);  // true when gone afterwards

}  // namespace loom
