// The answers file of an unattended capture: what each page of the wizard
// would be told, as an INI text with fixed section and key names. Read and
// checked here (every check that needs no scan), applied to the working
// project after the scan exactly as the pages apply their choices, and
// written back from a project's Package.ini so that a capture can be repeated.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options/OptionEdits.h"

namespace loom {

class IniDocument;
class LocationPlatform;

// The answers as given; an unset optional stands for the page's default.
struct Answers {
  // [Capture]
  std::u16string install;
  uint32_t installTimeout = 3600;  // seconds
  std::vector<uint32_t> installExitCodes{0, 3010, 1641};
  std::optional<std::u16string> locations;
  int browser = 0;
  // [EntryPoints]
  std::optional<std::vector<std::u16string>> select;
  // [Project]
  std::optional<std::u16string> inventoryName;
  std::optional<std::u16string> location;
  bool overwrite = false;
  // [Options]
  bool writeCopy = false;
  std::optional<SandboxState> sandbox;
  std::optional<std::vector<std::u16string>> groups;  // empty: everyone
  std::optional<std::u16string> accessDeniedMessage;
  std::optional<bool> qualityReporting;
  std::optional<bool> portal;
  std::optional<std::u16string> portalUrl;
  std::optional<std::u16string> basePackage;
  std::optional<std::u16string> browserRedirect;  // the list, its lines separated by ";"
  // [Package]
  std::optional<int> dataContainer;  // kUseEntryPoint or kUseDataFile
  std::optional<std::u16string> dataFile;
  std::optional<bool> msi;
  std::optional<std::u16string> msiFile;
  std::optional<bool> compression;
  // [Build]
  bool skipBuild = false;
};

// Why answers are refused: the line (0 when the file as a whole, or after
// the scan), the section and key concerned, and either a page's refusal
// (`reason`, worded by the program's string for it) or words of its own
// (`text`), or both.
struct AnswersRefusal {
  int line = 0;
  std::u16string section, key;
  Refusal reason = Refusal::None;
  std::u16string text;
};

// The text of an answers file: UTF-16LE with its byte-order mark, or UTF-8
// with or without one. Nothing for bytes that are neither.
std::optional<std::u16string> DecodeAnswersText(std::string_view bytes);

// Reads and checks the answers. Refused: a line that is no section, key or
// comment; an unknown section or key; a key given twice; a value of the wrong
// form; and the pages' own checks that need no scan (names, the project
// location's form, the sandbox folder, the portal URL, the base package
// folder given empty, the data and MSI file names).
bool ParseAnswers(std::u16string_view text, Answers& answers, AnswersRefusal& refusal);

// What the pages are given besides the answers and the working project.
struct CaptureContext {
  bool qualityReportingPage = false;  // the branding shows the quality-reporting page
  std::u16string defaultDeniedMessage;
  std::u16string organisation, owner;  // the MSI manufacturer
  std::u16string originOrProgramPath;  // QM_ORIGIN, else the program's own path
  BaseIdentity base;                   // the base package read before the scan
  // Writes the browser redirection list file (as the wizard does when the
  // project is saved) and returns its path; empty when nothing was written.
  std::function<std::u16string(std::u16string_view browserName, std::u16string_view list)> writeRedirectList;
};

// What the capture goes on with after the pages' edits.
struct CaptureChoices {
  std::u16string inventoryName;
  std::u16string projectFolder;  // normal form
  bool browserChosen = false;    // a checked browser entry: the redirection list applies
  std::u16string browserName;
};

// The scan is done and `doc` is the working project it suggested: the pages'
// edits in the wizard's order of steps (entry points, portal, groups,
// isolation, sandbox, quality reporting, project location, package
// settings), each with the answer or the page's default, then the browser
// redirection list as the save records it.
// False with the refusal when an answer does not fit this capture (an entry
// name it does not have, a location that became unusable, a container the
// package's size rules out); `doc` is then partly edited and must not be saved.
bool ApplyAnswers(IniDocument& doc, const Answers& answers, const CaptureContext& context, LocationPlatform& platform,
                  CaptureChoices& choices, AnswersRefusal& refusal);

// The checked entry points' display names the way the suggested project
// lists them (default choice), for messages and the answers writer.
std::vector<std::u16string> EntryNames(const IniDocument& doc, bool enabledOnly);

// An answers file that repeats the choices `packageIni` records, the project
// folder given as the location and Install left as a comment to fill in.
std::u16string WriteAnswers(const IniDocument& packageIni, std::u16string_view projectFolder);

}  // namespace loom
