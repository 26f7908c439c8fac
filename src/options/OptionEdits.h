// The option pages' decisions and their edits of the working project file,
// as functions from a document and the page's choices to the document. The
// pages (Config*.cpp beside this file) only move values between their
// controls and these functions. Every key lives in section BuildOptions
// unless a function says otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/IniDocument.h"
#include "util/PackageAttributes.h"
#include "util/Refusal.h"

namespace loom {

extern const char16_t kBuildOptions[];  // "BuildOptions"

// --- Isolation mode (ConfigIsolationMode) -------------------------------------

// [Isolation] DirectoryIsolationMode = "WriteCopy" or "Merged".
void ApplyIsolationMode(IniDocument& doc, bool writeCopy);

// --- Sandbox location (ConfigSandbox) -----------------------------------------

enum SandboxChoice { kSandboxProfile = 0, kSandboxAppFolder = 1, kSandboxCustom = 2 };

struct SandboxState {
  int choice = kSandboxProfile;
  std::u16string path;  // the custom folder, as the file holds it
};
// The choice a SandboxPath value stands for: none -> profile, exactly "." ->
// the application's folder, anything else -> that custom folder.
SandboxState SandboxFromProject(const IniDocument& doc);
// Profile: SandboxPath removed; application folder: "."; custom: the path;
// any other choice (no radio button checked): no change.
void ApplySandbox(IniDocument& doc, int choice, std::u16string_view path);
// What Browse puts into the edit for the folder the user picked: its
// shell-folder macro form when there is one, never a drive-letter macro form,
// else the plain path.
std::u16string SandboxBrowseText(std::u16string_view chosenFolder);

// --- Authorized groups (ConfigAuth) -------------------------------------------

// Appends the name unless the list holds it already (ASCII case ignored);
// true when it was added.
bool AddGroup(std::vector<std::u16string>& groups, std::u16string_view name);
std::u16string JoinGroups(const std::vector<std::u16string>& groups);
// Split at every ";" (empty pieces stay); nothing for an empty text.
std::vector<std::u16string> SplitGroups(std::u16string_view joined);
// The message as one INI line: every CR LF, CR or LF becomes one blank.
std::u16string SingleLineText(std::u16string_view text);
// PermittedGroups = the joined groups when only groups may run the package
// and there are any, else commented out; AccessDeniedMsg = the message (on
// one line), or commented out when it is empty.
void ApplyAuthSettings(IniDocument& doc, bool onlyGroups, const std::vector<std::u16string>& groups,
                       std::u16string_view message);

// --- Quality reporting (ConfigQualityAgent) -----------------------------------

void ApplyQualityReporting(IniDocument& doc, bool sendReports);

// --- Portal integration (ConfigMeridel) ---------------------------------------

extern const char16_t kPortalMarker[];  // the comment line that opens the portal block

struct PortalEntry {
  bool manage = false;
  std::u16string orgUrl;
};
// A package with an AppID is portal-managed; its URL is MeridelOrgUrl.
PortalEntry PortalFromProject(const IniDocument& doc);

std::u16string TrimBlanks(std::u16string_view text);  // blanks, tabs and line ends at both ends
// "http://" or "https://" (as written) followed by at least one character.
bool IsValidOrgUrl(std::u16string_view url);

// VersionID of a base package: one decimal number, nothing else (blanks
// around it allowed), from 0 to 9,999,998; anything else is unreadable.
constexpr int32_t kUnreadableVersion = -1;
int32_t ParseVersionId(std::u16string_view text);
// The next version: 2 for 0 and 1, else version + 1.
uint32_t NextVersionId(int32_t versionRead);

// Package files end in ".exe" or ".dat", compared exactly.
bool IsPackageFileName(std::u16string_view name);

struct FolderEntry {
  std::u16string name;
  bool folder = false;
};
// Reads the attribute table of one file of the folder (by name); on failure
// sets *error (5 = access denied).
using PackageReader = std::function<std::optional<PackageHeader>(std::u16string_view name, uint32_t* error)>;

struct BaseScan {
  uint32_t error = 0;  // 5 when a package file could not be read for lack of access
  std::u16string appId, inventoryName;
  int32_t version = 0;  // 0 when absent, kUnreadableVersion when unreadable
};
// The first package file (in folder order) whose table has ReadOnlyData
// gives the identity; files that cannot be read are passed over, except when
// access is denied, which ends the scan.
BaseScan ScanBasePackage(const std::vector<FolderEntry>& entries, const PackageReader& read);

// What is wrong with a finished scan (BaseAccessDenied, BaseNotManaged,
// BaseBadVersion), or None when the base package can be updated.
Refusal JudgeBaseScan(const BaseScan& scan);

// What the update of a base package takes from its scan: the AppID, the
// inventory name and the next VersionID when JudgeBaseScan passed it, else
// nothing at all, so no value of an earlier base package outlives a check.
struct BaseIdentity {
  std::u16string appId, inventoryName;
  uint32_t newVersionId = 0;
};
BaseIdentity IdentityFromScan(const BaseScan& scan);

struct PortalSettings {
  bool manage = false;
  std::u16string orgUrl;  // trimmed and checked with IsValidOrgUrl
  bool baseUpdate = false;
  std::u16string baseAppId;  // empty: a new package
  uint32_t newVersionId = 0;
};
// Portal on: AppID ("genid" or the base's) with VersionID, the notification
// plug-in and the URL in the portal block, PermittedGroups commented out.
// Portal off: the URL and the block go; an AppID that lives outside the
// block is commented out with its VersionID, so the package is not managed.
void ApplyPortalSettings(IniDocument& doc, const PortalSettings& s);

// --- Application sync (ConfigAppSync) -----------------------------------------

struct SyncPeriod {
  uint32_t number = 0;
  char16_t unit = 0;  // 'm', 'h', 'd', 'n' (never); 0 when no unit is chosen
};
// Minutes of a period, in 64 bits (days x 1,440 does not fit 32); 0 for the
// number 0 and for any unit but m, h, d.
uint64_t ToMinutes(const SyncPeriod& p);
// A period's number as typed: decimal digits only, blanks around allowed,
// at most 4,294,967,295; nothing otherwise.
std::optional<uint32_t> ParseSyncNumber(std::u16string_view text);
// Unit letter of a combo item; withNever adds "n" after m, h, d. 0 for -1 or
// any index past the items.
char16_t SyncUnitAt(int index, bool withNever);
int SyncUnitIndex(char16_t unit, bool withNever);  // -1 when the letter has no item

struct AppSyncSettings {
  bool enabled = false;
  std::u16string url;
  SyncPeriod updateFrequency{1, u'd'};
  SyncPeriod expirePeriod{30, u'n'};
  SyncPeriod warningPeriod{5, u'd'};
  SyncPeriod warningFrequency{1, u'd'};
  bool clearSandboxOnUpdate = false;
};
// None when the settings may be written, else SyncUrlMissing, SyncUrlInvalid
// (the URL was refused by the parser: urlAccepted false) or
// SyncWarningTooLong (the warning period is longer than the expiry period).
Refusal ValidateAppSync(const AppSyncSettings& s, bool urlAccepted);
void ApplyAppSync(IniDocument& doc, const AppSyncSettings& s);
// "never" for the unit n, else the number and the letter ("30d").
std::u16string SyncValueText(const SyncPeriod& p);

// --- Browser redirection (ConfigRoutelle) -------------------------------------

// What the page shows for the browser entry: the source's file name, and
// the entry's name without extension in parentheses when they differ.
std::u16string BrowserDisplayName(std::u16string_view entryName, std::u16string_view source);
bool IsBlankText(std::u16string_view text);
// The list file's whole text, byte-order mark first; nothing when the list
// is blank.
std::optional<std::u16string> RedirectFileText(std::u16string_view browserName, std::u16string_view list);
// Records the list file written at this save as Routelle (written the way the
// profile API writes it, the layout kept). With no file this time, the key
// goes when it still names the file an earlier save of this run recorded, so
// a cleared list or an unchecked browser entry no longer builds redirection.
// False when the document needs no change.
bool ApplyRedirectionKey(IniDocument& doc, std::u16string_view writtenPath, std::u16string_view previousPath);

}  // namespace loom
