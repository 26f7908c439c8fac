// The entry-point model: every section of the working project file that has
// a "Source" key is a candidate executable of the package. The list is read
// through a small reader interface (the profile API on Windows), kept in a
// stable order, and the user's choice is written back through IniDocument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace loom {

class IniDocument;

struct EntryPoint {
  std::u16string source;            // "Source", decoded
  std::u16string commandLine;       // "CommandLine", decoded
  std::u16string icon;              // "Icon", as written
  std::u16string workingDirectory;  // "WorkingDirectory", decoded
  std::u16string sectionName;
  std::u16string templateName;  // "Template", as written
  bool enabled = true;          // no nonzero "Disabled"
  bool forDebugOnly = false;    // nonzero "ForDebugOnly" and not enabled
  bool preSelected = false;     // nonzero "PreSelected": cannot be unchecked
  bool metaDataContainerOnly = false;
  bool isBrowser = false;
};

// Reads a project file section by section, whole values (nothing is cut).
class ProfileReader {
 public:
  virtual ~ProfileReader() = default;
  // Every section name in file order.
  virtual std::vector<std::u16string> SectionNames() = 0;
  // The value of `key` in `section`; empty when absent.
  virtual std::u16string Value(const std::u16string& section, const std::u16string& key) = 0;
};

// The working project as loaded, read as the editor reads it
// (IniDocument::ProfileValue): the one reader of the file.
class DocumentProfile : public ProfileReader {
 public:
  explicit DocumentProfile(const IniDocument& doc) : doc_(doc) {}
  std::vector<std::u16string> SectionNames() override;
  std::u16string Value(const std::u16string& section, const std::u16string& key) override;

 private:
  const IniDocument& doc_;
};

// The usual decimal conversion: leading blanks, an optional sign, digits;
// 0 when no digit follows. Saturates instead of overflowing.
long ProfileInteger(std::u16string_view text);

// "#xx" (two hexadecimal digits) is the character with that code; a "#"
// followed by anything else, or by "00", stays as written.
std::u16string DecodeEntryText(std::u16string_view text);

// The section name, or when that is empty the file name part of the source.
std::u16string DisplayName(const EntryPoint& entry);

// Not-debug entries before debug ones; within each, enabled before disabled;
// otherwise file order.
void SortEntryPoints(std::vector<EntryPoint>& entries);

// Every entry point of the file, sorted. "BuildOptions" (exact case) is never
// one, nor a section with an empty Source or a metadata-only container.
std::vector<EntryPoint> LoadEntryPoints(ProfileReader& reader);

// SuggestedName of BuildOptions; else the first chosen display name cut
// before its last "."; else empty.
std::u16string SuggestInventoryName(std::u16string_view suggestedName, std::u16string_view firstChosenName);

// Where a row's icon comes from: "C:\dir\file.ext,2" names icon group 2
// (0 = the first) of that file; a path without a backslash, or without a "."
// after its last backslash, or without a "," after that ".", is taken whole
// with icon number 0.
struct IconLocation {
  std::u16string path;
  long index = 0;
};
IconLocation ParseIconLocation(std::u16string_view text);

// The offset of the "PE\0\0" signature named at byte 60 of an executable
// image's first 64 bytes; 0 when `head` is shorter than 64 bytes, does not
// begin with "MZ", or names an offset whose four bytes lie outside a file of
// `fileSize` bytes.
uint32_t PeSignatureOffset(std::string_view head, uint64_t fileSize);
bool IsPeSignature(std::string_view fourBytes);

// The check boxes of the page's rows: row i shows entry i; rows beyond
// `checks.size()` (hidden debug entries) count as unchecked.
using RowChecks = std::vector<bool>;

// The user turned row `row` on or off (a click, select all / none). Returns
// true when the change was refused: a pre-selected row that was unchecked is
// checked again (the caller tells the user). A checked row unchecks the other
// variants of its executable (same source, other template), never a
// pre-selected row. Only the user's changes go through here: the page's own
// changes must not, or two pre-selected variants would re-check each other.
bool ApplyUserCheck(const std::vector<EntryPoint>& entries, RowChecks& checks, size_t row);

// The initial check boxes of `rows` rows: the enabled entries.
RowChecks InitialChecks(const std::vector<EntryPoint>& entries, size_t rows);

// The display names of the checked rows, in row order.
std::vector<std::u16string> ChosenNames(const std::vector<EntryPoint>& entries, const RowChecks& checks);
// The display name of the first checked browser entry, or empty.
std::u16string FirstChosenBrowser(const std::vector<EntryPoint>& entries, const RowChecks& checks);

// Writes the choice: a checked row loses "Disabled", every other entry
// (unchecked or hidden) gets "Disabled=1".
void ApplyEntryChoices(IniDocument& doc, const std::vector<EntryPoint>& entries, const RowChecks& checks);

}  // namespace loom
