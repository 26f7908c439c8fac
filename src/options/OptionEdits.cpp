#include "options/OptionEdits.h"

#include "macros/FolderMacros.h"
#include "util/Text.h"

namespace loom {

const char16_t kBuildOptions[] = u"BuildOptions";
const char16_t kPortalMarker[] = u";-------- Corvel Meridel Portal Parameters ----------";

// --- Isolation mode -----------------------------------------------------------

void ApplyIsolationMode(IniDocument& doc, bool writeCopy) {
  doc.SetValue(u"Isolation", u"DirectoryIsolationMode", writeCopy ? u"WriteCopy" : u"Merged");
}

// --- Sandbox location ---------------------------------------------------------

SandboxState SandboxFromProject(const IniDocument& doc) {
  SandboxState s;
  std::u16string value = doc.GetValue(kBuildOptions, u"SandboxPath");
  if (value.empty()) return s;
  if (value == u".") {
    s.choice = kSandboxAppFolder;
    return s;
  }
  s.choice = kSandboxCustom;
  s.path = value;
  return s;
}

void ApplySandbox(IniDocument& doc, int choice, std::u16string_view path) {
  switch (choice) {
    case kSandboxProfile: doc.DeleteKey(kBuildOptions, u"SandboxPath"); break;
    case kSandboxAppFolder: doc.SetValue(kBuildOptions, u"SandboxPath", u"."); break;
    case kSandboxCustom: doc.SetValue(kBuildOptions, u"SandboxPath", path); break;
    default: break;
  }
}

std::u16string SandboxBrowseText(std::u16string_view chosenFolder) {
  std::u16string macro;
  if (PathToFolderMacros(chosenFolder, macro) && !StartsWith(macro, u"%drive_")) return macro;
  return std::u16string(chosenFolder);
}

// --- Authorized groups --------------------------------------------------------

bool AddGroup(std::vector<std::u16string>& groups, std::u16string_view name) {
  for (const std::u16string& g : groups)
    if (EqualsNoCaseAscii(g, name)) return false;
  groups.emplace_back(name);
  return true;
}

std::u16string JoinGroups(const std::vector<std::u16string>& groups) {
  std::u16string joined;
  for (size_t i = 0; i < groups.size(); ++i) {
    if (i) joined += u';';
    joined += groups[i];
  }
  return joined;
}

std::vector<std::u16string> SplitGroups(std::u16string_view joined) {
  std::vector<std::u16string> groups;
  if (joined.empty()) return groups;
  size_t from = 0;
  for (;;) {
    size_t at = joined.find(u';', from);
    groups.emplace_back(joined.substr(from, at == std::u16string_view::npos ? at : at - from));
    if (at == std::u16string_view::npos) return groups;
    from = at + 1;
  }
}

std::u16string SingleLineText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out += u' ';
    } else if (text[i] == u'\n') {
      out += u' ';
    } else {
      out += text[i];
    }
  }
  return out;
}

void ApplyAuthSettings(IniDocument& doc, bool onlyGroups, const std::vector<std::u16string>& groups,
                       std::u16string_view message) {
  std::u16string permitted = onlyGroups ? JoinGroups(groups) : std::u16string();
  // A group name holds no line end; a stray one must not start a new line.
  permitted = SingleLineText(permitted);
  if (!permitted.empty())
    doc.SetValue(kBuildOptions, u"PermittedGroups", permitted);
  else
    doc.CommentOutKey(kBuildOptions, u"PermittedGroups");
  if (!message.empty())
    doc.SetValue(kBuildOptions, u"AccessDeniedMsg", SingleLineText(message));
  else
    doc.CommentOutKey(kBuildOptions, u"AccessDeniedMsg");
}

// --- Quality reporting --------------------------------------------------------

void ApplyQualityReporting(IniDocument& doc, bool sendReports) {
  doc.SetValue(kBuildOptions, u"QualityReportingEnabled", sendReports ? u"1" : u"0");
}

// --- Portal integration -------------------------------------------------------

PortalEntry PortalFromProject(const IniDocument& doc) {
  PortalEntry e;
  if (doc.GetValue(kBuildOptions, u"AppID").empty()) return e;
  e.manage = true;
  e.orgUrl = doc.GetValue(kBuildOptions, u"MeridelOrgUrl");
  return e;
}

std::u16string TrimBlanks(std::u16string_view text) { return std::u16string(TrimView(text, kBlanksAndLineEnds)); }

bool IsValidOrgUrl(std::u16string_view url) {
  for (std::u16string_view scheme : {std::u16string_view(u"http://"), std::u16string_view(u"https://")})
    if (url.size() > scheme.size() && StartsWith(url, scheme)) return true;
  return false;
}

int32_t ParseVersionId(std::u16string_view text) {
  std::u16string t = TrimBlanks(text);
  std::u16string_view v(t);
  if (!v.empty() && v[0] == u'+') v.remove_prefix(1);
  if (v.empty()) return kUnreadableVersion;
  int64_t n = 0;
  for (char16_t c : v) {
    if (c < u'0' || c > u'9') return kUnreadableVersion;
    n = n * 10 + (c - u'0');
    if (n >= 9999999) return kUnreadableVersion;  // the next version would need eight digits
  }
  return int32_t(n);
}

uint32_t NextVersionId(int32_t versionRead) { return versionRead <= 1 ? 2u : uint32_t(versionRead) + 1u; }

bool IsPackageFileName(std::u16string_view name) {
  if (name.size() < 4) return false;
  std::u16string_view ext = name.substr(name.size() - 4);
  return ext == u".exe" || ext == u".dat";
}

BaseScan ScanBasePackage(const std::vector<FolderEntry>& entries, const PackageReader& read) {
  BaseScan scan;
  for (const FolderEntry& entry : entries) {
    if (entry.folder || !IsPackageFileName(entry.name)) continue;
    uint32_t error = 0;
    std::optional<PackageHeader> header = read(entry.name, &error);
    if (!header) {
      if (error == 5) {
        scan.error = 5;
        return scan;
      }
      continue;
    }
    if (!GetPackageAttribute(*header, u"ReadOnlyData")) continue;
    if (auto id = GetPackageAttribute(*header, u"AppID")) scan.appId.assign(*id);
    if (auto version = GetPackageAttribute(*header, u"VersionID")) scan.version = ParseVersionId(*version);
    if (auto name = GetPackageAttribute(*header, u"InventoryName")) scan.inventoryName.assign(*name);
    return scan;
  }
  return scan;
}

Refusal JudgeBaseScan(const BaseScan& scan) {
  if (scan.error == 5) return Refusal::BaseAccessDenied;
  if (scan.appId.empty()) return Refusal::BaseNotManaged;
  if (scan.version == kUnreadableVersion) return Refusal::BaseBadVersion;
  return Refusal::None;
}

BaseIdentity IdentityFromScan(const BaseScan& scan) {
  BaseIdentity id;
  if (JudgeBaseScan(scan) != Refusal::None) return id;
  id.appId = scan.appId;
  id.inventoryName = scan.inventoryName;
  id.newVersionId = NextVersionId(scan.version);
  return id;
}

void ApplyPortalSettings(IniDocument& doc, const PortalSettings& s) {
  if (!s.manage) {
    doc.DeleteKey(kBuildOptions, u"MeridelOrgUrl");
    doc.DeleteBlock(kBuildOptions, kPortalMarker);
    // An AppID from outside the block would keep the package portal-managed.
    if (!doc.GetValue(kBuildOptions, u"AppID").empty()) {
      doc.CommentOutKey(kBuildOptions, u"AppID");
      doc.CommentOutKey(kBuildOptions, u"VersionID");
    }
    return;
  }
  if (!s.baseUpdate || s.baseAppId.empty()) {
    doc.SetValue(kBuildOptions, u"AppID", u"genid", kPortalMarker);
    doc.DeleteKey(kBuildOptions, u"VersionID");
  } else {
    doc.SetValue(kBuildOptions, u"AppID", s.baseAppId, kPortalMarker);
    if (s.newVersionId > 1) doc.SetValue(kBuildOptions, u"VersionID", DecimalText(s.newVersionId), kPortalMarker);
  }
  doc.SetValue(kBuildOptions, u"NotificationDLLs", u"MeridelPlugin.dll", kPortalMarker);
  doc.CommentOutKey(kBuildOptions, u"PermittedGroups");
  if (!s.orgUrl.empty())
    doc.SetValue(kBuildOptions, u"MeridelOrgUrl", s.orgUrl, kPortalMarker);
  else
    doc.DeleteKey(kBuildOptions, u"MeridelOrgUrl");
}

// --- Application sync ---------------------------------------------------------

uint64_t ToMinutes(const SyncPeriod& p) {
  switch (p.unit) {
    case u'd': return uint64_t(p.number) * 1440u;
    case u'h': return uint64_t(p.number) * 60u;
    case u'm': return p.number;
  }
  return 0;
}

namespace {
constexpr char16_t kUnits[] = u"mhdn";
}

std::optional<uint32_t> ParseSyncNumber(std::u16string_view text) {
  std::u16string t = TrimBlanks(text);
  if (t.empty()) return std::nullopt;
  uint64_t n = 0;
  for (char16_t c : t) {
    if (c < u'0' || c > u'9') return std::nullopt;
    n = n * 10 + uint64_t(c - u'0');
    if (n > 0xFFFFFFFFull) return std::nullopt;
  }
  return uint32_t(n);
}

char16_t SyncUnitAt(int index, bool withNever) {
  const int count = withNever ? 4 : 3;
  return index >= 0 && index < count ? kUnits[index] : 0;
}

int SyncUnitIndex(char16_t unit, bool withNever) {
  const int count = withNever ? 4 : 3;
  for (int i = 0; i < count; ++i)
    if (unit != 0 && kUnits[i] == unit) return i;
  return -1;
}

Refusal ValidateAppSync(const AppSyncSettings& s, bool urlAccepted) {
  if (!s.enabled) return Refusal::None;
  if (s.url.empty()) return Refusal::SyncUrlMissing;
  if (!urlAccepted) return Refusal::SyncUrlInvalid;
  if (s.expirePeriod.unit != u'n' && s.warningPeriod.unit != u'n' &&
      ToMinutes(s.expirePeriod) < ToMinutes(s.warningPeriod))
    return Refusal::SyncWarningTooLong;
  return Refusal::None;
}

std::u16string SyncValueText(const SyncPeriod& p) {
  if (p.unit == u'n') return u"never";
  std::u16string text = DecimalText(p.number);
  if (p.unit) text += p.unit;
  return text;
}

void ApplyAppSync(IniDocument& doc, const AppSyncSettings& s) {
  auto set = [&](const char16_t* key, std::u16string_view value) { doc.SetValue(kBuildOptions, key, value); };
  auto off = [&](const char16_t* key) { doc.CommentOutKey(kBuildOptions, key); };
  if (!s.enabled) {
    for (const char16_t* key : {u"AppSyncURL", u"AppSyncUpdateFrequency", u"AppSyncExpirePeriod",
                                u"AppSyncWarningPeriod", u"AppSyncWarningFrequency", u"AppSyncWarningMessage",
                                u"AppSyncExpireMessage", u"AppSyncUpdatedMessage", u"AppSyncClearSandboxOnUpdate"})
      off(key);
    return;
  }
  set(u"AppSyncClearSandboxOnUpdate", s.clearSandboxOnUpdate ? u"1" : u"0");
  if (s.expirePeriod.unit == u'n') {
    for (const char16_t* key :
         {u"AppSyncWarningFrequency", u"AppSyncWarningPeriod", u"AppSyncWarningMessage", u"AppSyncExpireMessage"})
      off(key);
  } else {
    if (s.warningPeriod.unit == u'n') {
      off(u"AppSyncWarningFrequency");
      off(u"AppSyncWarningMessage");
    } else {
      set(u"AppSyncWarningFrequency", SyncValueText(s.warningFrequency));
    }
    set(u"AppSyncWarningPeriod", SyncValueText(s.warningPeriod));
  }
  set(u"AppSyncExpirePeriod", SyncValueText(s.expirePeriod));
  set(u"AppSyncUpdateFrequency", SyncValueText(s.updateFrequency));
  set(u"AppSyncURL", SingleLineText(s.url));
}

// --- Browser redirection ------------------------------------------------------

std::u16string BrowserDisplayName(std::u16string_view entryName, std::u16string_view source) {
  if (source.empty()) return {};
  size_t slash = source.find_last_of(u"\\/");
  std::u16string file(slash == std::u16string_view::npos ? source : source.substr(slash + 1));
  if (EqualsNoCaseUnicode(entryName, file)) return file;
  size_t dot = entryName.rfind(u'.');
  std::u16string_view bare = dot == std::u16string_view::npos ? entryName : entryName.substr(0, dot);
  return file + u" (" + std::u16string(bare) + u")";
}

bool IsBlankText(std::u16string_view text) { return TrimView(text, kBlanksAndLineEnds).empty(); }

std::optional<std::u16string> RedirectFileText(std::u16string_view browserName, std::u16string_view list) {
  if (browserName.empty() || IsBlankText(list)) return std::nullopt;
  std::u16string t = u"\uFEFF";
  for (
      const char16_t* line : {
          u"# \u4ee5#\u5f00\u5934\u7684\u884c\u662f\u6ce8\u91ca\uff0c\u4e0d\u5305\u62ec",  // "#
                                                                                           // 以#开头的行是注释，不包括"
          u"# ",
          // "# 示例：把 www.example.com 的所有网页(http和https)重定向到此浏览器："
          u"# \u793a\u4f8b\uff1a\u628a www.example.com \u7684\u6240\u6709\u7f51\u9875(http\u548chttps)"
          u"\u91cd\u5b9a\u5411\u5230\u6b64\u6d4f\u89c8\u5668\uff1a",
          u"# www.example.com",
          u"#",
          // "# 示例：重定向所有以 www.example.com/FOLDER1/FOLDER2 开头的地址："
          u"# \u793a\u4f8b\uff1a\u91cd\u5b9a\u5411\u6240\u6709\u4ee5 www.example.com/FOLDER1/FOLDER2 "
          u"\u5f00\u5934\u7684\u5730\u5740\uff1a",
          u"# www.example.com/FOLDER1/FOLDER2*",
          u"#",
          // "# 示例：把 www.example.com 的所有 .jsp 网页重定向到此浏览器："
          u"# \u793a\u4f8b\uff1a\u628a www.example.com \u7684\u6240\u6709 .jsp "
          u"\u7f51\u9875\u91cd\u5b9a\u5411\u5230\u6b64\u6d4f\u89c8\u5668\uff1a",
          u"# www.example.com/*.jsp",
      }) {
    t += line;
    t += u"\r\n";
  }
  t += u"\r\n[";
  t += browserName;
  t += u"]\r\n";
  t += list;
  if (list.back() != u'\n') t += u"\r\n";
  return t;
}

bool ApplyRedirectionKey(IniDocument& doc, std::u16string_view writtenPath, std::u16string_view previousPath) {
  if (!writtenPath.empty()) {
    doc.SetProfileValue(kBuildOptions, u"Routelle", writtenPath);
    return true;
  }
  if (previousPath.empty() || doc.ProfileValue(kBuildOptions, u"Routelle") != previousPath) return false;
  return doc.DeleteKey(kBuildOptions, u"Routelle");
}

}  // namespace loom
