#include "capture/Answers.h"

#include "capture/ScanLocations.h"
#include "macros/FolderMacros.h"
#include "project/EntryPoints.h"
#include "project/IniDocument.h"
#include "project/PackageSettings.h"
#include "project/ProjectLocation.h"
#include "util/PathRules.h"
#include "util/Text.h"
#include "wizard/Steps.h"

namespace loom {
namespace {

constexpr char16_t kBuild[] = u"BuildOptions";

// The fixed names: section, then its keys.
struct SectionKeys {
  const char16_t* section;
  std::vector<const char16_t*> keys;
};
const SectionKeys kNames[] = {
    {u"Capture", {u"Install", u"InstallTimeout", u"InstallExitCodes", u"Locations", u"Browser"}},
    {u"EntryPoints", {u"Select"}},
    {u"Project", {u"InventoryName", u"Location", u"Overwrite"}},
    {u"Options",
     {u"Isolation", u"Sandbox", u"Groups", u"AccessDeniedMessage", u"QualityReporting", u"Portal", u"PortalUrl",
      u"BasePackage", u"BrowserRedirect"}},
    {u"Package", {u"DataContainer", u"DataFile", u"Msi", u"MsiFile", u"Compression"}},
    {u"Build", {u"Skip"}},
};

std::vector<std::u16string> SplitTrimmed(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string> pieces;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    std::u16string piece = Trimmed(text.substr(start, end == std::u16string_view::npos ? end : end - start));
    if (!piece.empty()) pieces.push_back(piece);
    if (end == std::u16string_view::npos) return pieces;
    start = end + 1;
  }
}

// One drive root ("C:\") or hive name per blank-separated item.
bool IsLocationsText(std::u16string_view text) {
  std::vector<std::u16string> items = SplitTrimmed(text, u' ');
  if (items.empty()) return false;
  for (const std::u16string& item : items) {
    bool root = item.size() == 3 && ((item[0] | 0x20) >= u'a' && (item[0] | 0x20) <= u'z') && item[1] == u':' &&
                item[2] == u'\\';
    bool hive = item == kHiveLocalMachine || item == kHiveUsers || item == kHiveCurrentUser;
    if (!root && !hive) return false;
  }
  return true;
}

struct Reader {
  Answers& a;
  AnswersRefusal& r;
  int line = 0;
  std::u16string section, key;

  bool Refuse(std::u16string text, Refusal reason = Refusal::None) {
    r.line = line;
    r.section = section;
    r.key = key;
    r.text = std::move(text);
    r.reason = reason;
    return false;
  }
  bool Flag(std::u16string_view v, bool& out) {
    if (v != u"0" && v != u"1") return Refuse(u"is 0 or 1");
    out = v == u"1";
    return true;
  }
  bool Flag(std::u16string_view v, std::optional<bool>& out) {
    bool b = false;
    if (!Flag(v, b)) return false;
    out = b;
    return true;
  }

  // One key's value, checked in the form its page takes.
  bool Take(std::u16string_view v) {
    const std::u16string s = section, k = key;
    auto is = [&](const char16_t* sec, const char16_t* name) { return s == sec && k == name; };
    if (is(u"Capture", u"Install")) {
      if (v.empty()) return Refuse(u"names the installer's command line");
      a.install = std::u16string(v);
    } else if (is(u"Capture", u"InstallTimeout")) {
      std::optional<uint32_t> n = ParseSyncNumber(v);
      if (!n || *n == 0) return Refuse(u"is a number of seconds from 1 to 4294967295");
      a.installTimeout = *n;
    } else if (is(u"Capture", u"InstallExitCodes")) {
      a.installExitCodes.clear();
      for (const std::u16string& piece : SplitTrimmed(v, u',')) {
        std::optional<uint32_t> n = ParseSyncNumber(piece);
        if (!n) return Refuse(u"is a list of exit codes (numbers) separated by \",\"");
        a.installExitCodes.push_back(*n);
      }
      if (a.installExitCodes.empty()) return Refuse(u"names at least one exit code");
    } else if (is(u"Capture", u"Locations")) {
      if (!IsLocationsText(v))
        return Refuse(u"lists drive roots (\"C:\\\") and HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_USER");
      a.locations = std::u16string(v);
    } else if (is(u"Capture", u"Browser")) {
      if (v != u"0" && v != u"1" && v != u"2") return Refuse(u"is 0, 1 or 2");
      a.browser = v[0] - u'0';
    } else if (is(u"EntryPoints", u"Select")) {
      a.select = SplitTrimmed(v, u';');
      if (a.select->empty()) return Refuse(u"names at least one entry point");
    } else if (is(u"Project", u"InventoryName")) {
      if (Refusal reason = CheckInventoryName(Trimmed(v)); reason != Refusal::None) return Refuse({}, reason);
      a.inventoryName = Trimmed(v);
    } else if (is(u"Project", u"Location")) {
      if (v.empty()) return Refuse({}, Refusal::LocationMissing);
      if (!IsValidFolderPath(v)) return Refuse({}, Refusal::LocationInvalid);
      a.location = std::u16string(v);
    } else if (is(u"Project", u"Overwrite")) {
      return Flag(v, a.overwrite);
    } else if (is(u"Options", u"Isolation")) {
      if (v != u"merged" && v != u"write-copy") return Refuse(u"is merged or write-copy");
      a.writeCopy = v == u"write-copy";
    } else if (is(u"Options", u"Sandbox")) {
      SandboxState sb;
      if (v == u"profile") {
        sb.choice = kSandboxProfile;
      } else if (v == u"application") {
        sb.choice = kSandboxAppFolder;
      } else {
        if (v.empty()) return Refuse(u"is profile, application or a folder");
        if (!IsUsablePath(v)) return Refuse({}, Refusal::NameInvalid);
        sb.choice = kSandboxCustom;
        sb.path = std::u16string(v);
      }
      a.sandbox = sb;
    } else if (is(u"Options", u"Groups")) {
      std::vector<std::u16string> groups;
      if (v != u"everyone")
        for (const std::u16string& g : SplitTrimmed(v, u';')) AddGroup(groups, g);
      if (v != u"everyone" && groups.empty()) return Refuse(u"is everyone or group names separated by \";\"");
      a.groups = groups;
    } else if (is(u"Options", u"AccessDeniedMessage")) {
      a.accessDeniedMessage = std::u16string(v);
    } else if (is(u"Options", u"QualityReporting")) {
      return Flag(v, a.qualityReporting);
    } else if (is(u"Options", u"Portal")) {
      return Flag(v, a.portal);
    } else if (is(u"Options", u"PortalUrl")) {
      std::u16string url = TrimBlanks(v);
      if (!url.empty() && !IsValidOrgUrl(url)) return Refuse({}, Refusal::PortalUrlInvalid);
      a.portalUrl = url;
    } else if (is(u"Options", u"BasePackage")) {
      if (v.empty()) return Refuse({}, Refusal::BaseFolderMissing);
      a.basePackage = std::u16string(v);
    } else if (is(u"Options", u"BrowserRedirect")) {
      a.browserRedirect = std::u16string(v);
    } else if (is(u"Package", u"DataContainer")) {
      if (v != u"entry" && v != u"file") return Refuse(u"is entry or file");
      a.dataContainer = v == u"file" ? kUseDataFile : kUseEntryPoint;
    } else if (is(u"Package", u"DataFile") || is(u"Package", u"MsiFile")) {
      PackageChoices c;
      c.containerChoice = k == u"DataFile" ? kUseDataFile : kUseEntryPoint;
      c.dataFileName = c.msiFileName = std::u16string(v);
      c.buildMsi = k == u"MsiFile";
      PackageVerdict verdict = CheckPackageChoices(c, 0);
      if (!verdict.ok()) return Refuse({}, verdict.refusal);
      (k == u"DataFile" ? a.dataFile : a.msiFile) = std::u16string(v);
    } else if (is(u"Package", u"Msi")) {
      return Flag(v, a.msi);
    } else if (is(u"Package", u"Compression")) {
      return Flag(v, a.compression);
    } else if (is(u"Build", u"Skip")) {
      return Flag(v, a.skipBuild);
    }
    return true;
  }
};

// The rows the entry-point page shows: the entries for use, and the debug
// ones as well when there are no others or an answer names one.
size_t ShownRows(const std::vector<EntryPoint>& entries, bool withDebug) {
  size_t rows = 0;
  for (const EntryPoint& e : entries) rows += !e.forDebugOnly || withDebug;
  return rows == 0 ? entries.size() : rows;
}

std::u16string JoinNames(const std::vector<std::u16string>& names) {
  std::u16string joined;
  for (const std::u16string& n : names) joined += (joined.empty() ? u"" : u";") + n;
  return joined;
}

}  // namespace

std::optional<std::u16string> DecodeAnswersText(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe') {
    if (bytes.size() % 2) return std::nullopt;
    return FromUtf16LeBytes(bytes.data() + 2, bytes.size() - 2);
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xef\xbb\xbf") bytes.remove_prefix(3);
  std::u16string text = Utf8ToUtf16(bytes);
  if (Utf16ToUtf8(text) != bytes) return std::nullopt;  // not UTF-8
  return text;
}

bool ParseAnswers(std::u16string_view text, Answers& answers, AnswersRefusal& refusal) {
  answers = Answers();
  Reader in{answers, refusal, 0, {}, {}};
  const SectionKeys* current = nullptr;
  std::vector<std::u16string> seen;
  bool installGiven = false;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find_first_of(u"\r\n", at);
    if (end == std::u16string_view::npos) end = text.size();
    ++in.line;
    std::u16string line = Trimmed(text.substr(at, end - at));
    at = end + (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1);
    if (line.empty() || line[0] == u';' || line[0] == u'#') continue;
    in.key.clear();
    if (line[0] == u'[') {
      if (line.back() != u']') return in.Refuse(u"a section line ends with \"]\"");
      in.section = Trimmed(std::u16string_view(line).substr(1, line.size() - 2));
      current = nullptr;
      for (const SectionKeys& s : kNames)
        if (EqualsNoCaseAscii(in.section, s.section)) current = &s;
      if (!current) return in.Refuse(u"unknown section");
      in.section = current->section;
      continue;
    }
    size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) return in.Refuse(u"a line is a [section], a key=value or a ; comment");
    in.key = Trimmed(std::u16string_view(line).substr(0, eq));
    if (!current) return in.Refuse(u"a key before the first section");
    const char16_t* known = nullptr;
    for (const char16_t* k : current->keys)
      if (EqualsNoCaseAscii(in.key, k)) known = k;
    if (!known) return in.Refuse(u"unknown key");
    in.key = known;
    std::u16string id = in.section + u"." + in.key;
    for (const std::u16string& s : seen)
      if (s == id) return in.Refuse(u"given twice");
    seen.push_back(id);
    installGiven |= id == u"Capture.Install";
    if (!in.Take(Trimmed(std::u16string_view(line).substr(eq + 1)))) return false;
  }
  if (!installGiven) {
    in.line = 0;
    in.section = u"Capture";
    in.key = u"Install";
    return in.Refuse(u"is required: the installer's command line");
  }
  return true;
}

std::vector<std::u16string> EntryNames(const IniDocument& doc, bool enabledOnly) {
  DocumentProfile profile(doc);
  std::vector<std::u16string> names;
  for (const EntryPoint& e : LoadEntryPoints(profile))
    if (!enabledOnly || e.enabled) names.push_back(DisplayName(e));
  return names;
}

bool ApplyAnswers(IniDocument& doc, const Answers& a, const CaptureContext& ctx, LocationPlatform& platform,
                  CaptureChoices& out, AnswersRefusal& refusal) {
  auto refuse = [&](const char16_t* section, const char16_t* key, Refusal reason, std::u16string text) {
    refusal = AnswersRefusal{0, section, key, reason, std::move(text)};
    return false;
  };
  // Entry points: the page's rows and check boxes, changed as a user would.
  DocumentProfile profile(doc);
  const std::vector<EntryPoint> entries = LoadEntryPoints(profile);
  bool withDebug = false;
  if (a.select)
    for (const EntryPoint& e : entries)
      for (const std::u16string& name : *a.select)
        withDebug |= e.forDebugOnly && EqualsNoCaseAscii(DisplayName(e), name);
  RowChecks checks = InitialChecks(entries, ShownRows(entries, withDebug));
  if (a.select) {
    for (size_t row = 0; row < checks.size(); ++row) checks[row] = entries[row].preSelected;
    for (const std::u16string& name : *a.select) {
      size_t row = 0;
      while (row < checks.size() && !EqualsNoCaseAscii(DisplayName(entries[row]), name)) ++row;
      if (row == checks.size()) {
        std::vector<std::u16string> names;
        for (const EntryPoint& e : entries) names.push_back(DisplayName(e));
        return refuse(u"EntryPoints", u"Select", Refusal::None,
                      u"this capture has no entry point \"" + name + u"\"; it has: " + JoinNames(names));
      }
      checks[row] = true;
      ApplyUserCheck(entries, checks, row);
    }
  }
  const std::vector<std::u16string> chosen = ChosenNames(entries, checks);
  if (chosen.empty()) return refuse(u"EntryPoints", u"Select", Refusal::None, u"no entry point is chosen");
  out.browserName = FirstChosenBrowser(entries, checks);
  out.browserChosen = !out.browserName.empty();

  const PortalEntry portalFound = PortalFromProject(doc);
  const bool portal = a.portal.value_or(portalFound.manage);
  const bool baseUpdate = portal && a.basePackage.has_value();
  StepSwitches sw;
  sw.portalIntegration = portal;
  sw.qualityReporting = ctx.qualityReportingPage;
  sw.browserEntryPoint = out.browserChosen;

  const long estimate = ProfileInteger(doc.GetValue(kBuild, u"EstimatedDataContainerSize"));
  std::u16string name =
      a.inventoryName.value_or(SuggestInventoryName(doc.ProfileValue(kBuild, u"SuggestedName"), chosen.front()));
  // The pages in the order the wizard shows them, as its steps lead.
  for (int step = StepEntryPoints; step != StepSaveProject;) {
    switch (step) {
      case StepEntryPoints: ApplyEntryChoices(doc, entries, checks); break;
      case StepPortal: {
        PortalSettings s;
        s.manage = portal;
        s.orgUrl = a.portalUrl.value_or(TrimBlanks(portalFound.orgUrl));
        s.baseUpdate = baseUpdate;
        s.baseAppId = baseUpdate ? ctx.base.appId : std::u16string();
        s.newVersionId = ctx.base.newVersionId;
        ApplyPortalSettings(doc, s);
        break;
      }
      case StepGroups:
        ApplyAuthSettings(doc, a.groups && !a.groups->empty(), a.groups.value_or(std::vector<std::u16string>()),
                          a.accessDeniedMessage.value_or(ctx.defaultDeniedMessage));
        break;
      case StepIsolation: ApplyIsolationMode(doc, a.writeCopy); break;
      case StepSandbox: {
        SandboxState s = a.sandbox.value_or(SandboxFromProject(doc));
        ApplySandbox(doc, s.choice, s.path);
        break;
      }
      case StepQualityReporting: ApplyQualityReporting(doc, a.qualityReporting.value_or(true)); break;
      case StepProjectLocation: {
        const std::u16string location = a.location.value_or(ProposedLocation(ctx.originOrProgramPath, name));
        const bool byBase = baseUpdate && !ctx.base.inventoryName.empty();
        LocationVerdict v = CheckLocation(byBase ? ctx.base.inventoryName : name, location, estimate, platform,
                                          CapturedFolders(doc));
        if (!v.ok())
          return refuse(u"Project", v.field == LocationField::Name ? u"InventoryName" : u"Location", v.refusal, {});
        if (v.askOverwrite && !a.overwrite)
          return refuse(u"Project", u"Location", Refusal::LocationExists, u"Overwrite=1 reuses the folder");
        name = byBase ? Trimmed(name) : v.name;
        out.projectFolder = NormalFolder(location);
        ApplyInventoryName(doc, NameToWrite(name, baseUpdate, ctx.base.inventoryName));
        break;
      }
      case StepPackageSettings: {
        PackageChoices c = ProposedPackageChoices(name, chosen.front(), estimate);
        c.containerChoice = a.dataContainer.value_or(c.containerChoice);
        c.dataFileName = a.dataFile.value_or(c.dataFileName);
        c.buildMsi = a.msi.value_or(false);
        c.msiFileName = a.msiFile.value_or(c.msiFileName);
        c.compress = a.compression.value_or(false);
        if (c.containerChoice == kUseEntryPoint && estimate >= kDataFileRequiredFrom)
          return refuse(u"Package", u"DataContainer", Refusal::None,
                        u"a package this large keeps its data in a separate file");
        PackageVerdict v = CheckPackageChoices(c, estimate);
        if (!v.ok())
          return refuse(u"Package", v.field == PackageField::MsiFile ? u"MsiFile" : u"DataFile", v.refusal, {});
        const std::u16string primary = PrimaryName(c);
        ApplyContainerChoice(doc, c.containerChoice, primary, EscapeIniValue(primary));
        ApplyMsiChoice(doc, c, ctx.organisation, ctx.owner);
        ApplyCompression(doc, c.compress);
        break;
      }
      default: break;
    }
    Transition t = NextTransition(step, sw);
    if (t.kind != Transition::GoTo) break;
    step = t.target;
  }
  // The save writes the list for a checked browser entry.
  if (out.browserChosen && a.browserRedirect && ctx.writeRedirectList) {
    std::u16string list;
    for (const std::u16string& l : SplitTrimmed(*a.browserRedirect, u';')) list += l + u"\r\n";
    ApplyRedirectionKey(doc, ctx.writeRedirectList(out.browserName, list), u"");
  }
  out.inventoryName = name;
  return true;
}

std::u16string WriteAnswers(const IniDocument& doc, std::u16string_view projectFolder) {
  std::u16string t;
  auto line = [&t](std::u16string_view text) { t += std::u16string(text) + u"\r\n"; };
  auto key = [&](std::u16string_view k, std::u16string_view v) { line(std::u16string(k) + u"=" + std::u16string(v)); };
  line(u"; Loomwise answers: loomctl capture FILE repeats the capture with these choices.");
  line(u"[Capture]");
  line(u"; the installer's command line, run between the scans (required):");
  line(u";Install=");
  line(u"");
  line(u"[EntryPoints]");
  key(u"Select", JoinNames(EntryNames(doc, true)));
  line(u"");
  line(u"[Project]");
  key(u"InventoryName", doc.ProfileValue(kBuild, u"InventoryName"));
  key(u"Location", projectFolder);
  key(u"Overwrite", u"1");
  line(u"");
  line(u"[Options]");
  key(u"Isolation",
      doc.ProfileValue(u"Isolation", u"DirectoryIsolationMode") == u"WriteCopy" ? u"write-copy" : u"merged");
  SandboxState sandbox = SandboxFromProject(doc);
  key(u"Sandbox", sandbox.choice == kSandboxProfile     ? u"profile"
                  : sandbox.choice == kSandboxAppFolder ? u"application"
                                                        : sandbox.path);
  PortalEntry portal = PortalFromProject(doc);
  std::u16string groups = doc.GetValue(kBuild, u"PermittedGroups");
  key(u"Groups", groups.empty() ? u"everyone" : groups);
  std::u16string denied;
  doc.FindValue(kBuild, u"AccessDeniedMsg", denied);  // none (commented out): an empty message
  key(u"AccessDeniedMessage", denied);
  std::u16string quality;
  if (doc.FindValue(kBuild, u"QualityReportingEnabled", quality))
    key(u"QualityReporting", quality == u"1" ? u"1" : u"0");
  key(u"Portal", portal.manage ? u"1" : u"0");
  if (portal.manage && !portal.orgUrl.empty()) key(u"PortalUrl", portal.orgUrl);
  line(u"");
  line(u"[Package]");
  // The separate data file is the metadata container, named and enabled.
  std::u16string dataFile;
  for (const std::u16string& section : doc.ListSections())
    if (doc.ProfileValue(section, u"MetaDataContainerOnly") == u"1" &&
        ProfileInteger(doc.ProfileValue(section, u"Disabled")) == 0)
      dataFile = section;
  key(u"DataContainer", dataFile.empty() ? u"entry" : u"file");
  if (!dataFile.empty()) key(u"DataFile", dataFile);
  std::u16string msiFile;
  const bool msi = doc.FindValue(kBuild, u"MSIFilename", msiFile);
  key(u"Msi", msi ? u"1" : u"0");
  if (msi) key(u"MsiFile", msiFile);
  key(u"Compression", doc.ProfileValue(u"Compression", u"CompressionType") == u"Fast" ? u"1" : u"0");
  line(u"");
  line(u"[Build]");
  key(u"Skip", u"0");
  return t;
}

}  // namespace loom
