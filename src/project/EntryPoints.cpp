#include "project/EntryPoints.h"

#include <algorithm>
#include <climits>

#include "project/IniDocument.h"
#include "util/Text.h"

namespace loom {
namespace {

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; }

// A value that reads as empty counts as absent: 0.
bool Nonzero(const std::u16string& text) { return !text.empty() && ProfileInteger(text) != 0; }

int Group(const EntryPoint& e) { return (e.forDebugOnly ? 2 : 0) + (e.enabled ? 0 : 1); }

}  // namespace

std::vector<std::u16string> DocumentProfile::SectionNames() { return doc_.ListSections(); }

std::u16string DocumentProfile::Value(const std::u16string& section, const std::u16string& key) {
  return doc_.ProfileValue(section, key);
}

long ProfileInteger(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    int digit = text[i] - u'0';
    if (value > (LONG_MAX - digit) / 10) {
      value = LONG_MAX;
      break;
    }
    value = value * 10 + digit;
  }
  return static_cast<long>(negative ? -value : value);
}

std::u16string DecodeEntryText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'#' && i + 2 < text.size()) {
      int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
      int code = hi * 16 + lo;
      if (hi >= 0 && lo >= 0 && code != 0) {
        out += static_cast<char16_t>(code);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::u16string DisplayName(const EntryPoint& entry) {
  if (!entry.sectionName.empty()) return entry.sectionName;
  size_t slash = entry.source.rfind(u'\\');
  return slash == std::u16string::npos ? entry.source : entry.source.substr(slash + 1);
}

void SortEntryPoints(std::vector<EntryPoint>& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const EntryPoint& a, const EntryPoint& b) { return Group(a) < Group(b); });
}

std::vector<EntryPoint> LoadEntryPoints(ProfileReader& reader) {
  std::vector<EntryPoint> entries;
  for (const std::u16string& section : reader.SectionNames()) {
    if (section == u"BuildOptions") continue;
    std::u16string source = reader.Value(section, u"Source");
    if (source.empty()) continue;
    EntryPoint e;
    e.sectionName = section;
    e.source = DecodeEntryText(source);
    e.workingDirectory = DecodeEntryText(reader.Value(section, u"WorkingDirectory"));
    e.commandLine = DecodeEntryText(reader.Value(section, u"CommandLine"));
    e.icon = reader.Value(section, u"Icon");
    e.enabled = !Nonzero(reader.Value(section, u"Disabled"));
    e.metaDataContainerOnly = Nonzero(reader.Value(section, u"MetaDataContainerOnly"));
    e.forDebugOnly = Nonzero(reader.Value(section, u"ForDebugOnly")) && !e.enabled;
    e.templateName = reader.Value(section, u"Template");
    e.preSelected = Nonzero(reader.Value(section, u"PreSelected"));
    e.isBrowser = Nonzero(reader.Value(section, u"IsBrowser"));
    if (!e.metaDataContainerOnly) entries.push_back(std::move(e));
  }
  SortEntryPoints(entries);
  return entries;
}

std::u16string SuggestInventoryName(std::u16string_view suggestedName, std::u16string_view firstChosenName) {
  if (!suggestedName.empty()) return std::u16string(suggestedName);
  size_t dot = firstChosenName.rfind(u'.');
  return std::u16string(dot == std::u16string_view::npos ? firstChosenName : firstChosenName.substr(0, dot));
}

IconLocation ParseIconLocation(std::u16string_view text) {
  IconLocation at;
  at.path = std::u16string(text);
  size_t slash = text.rfind(u'\\');
  if (slash == std::u16string_view::npos) return at;
  size_t dot = text.find(u'.', slash + 1);
  if (dot == std::u16string_view::npos) return at;
  size_t comma = text.find(u',', dot + 1);
  if (comma == std::u16string_view::npos) return at;
  at.path = std::u16string(text.substr(0, comma));
  at.index = ProfileInteger(text.substr(comma + 1));
  return at;
}

uint32_t PeSignatureOffset(std::string_view head, uint64_t fileSize) {
  if (head.size() < 64 || head[0] != 'M' || head[1] != 'Z') return 0;
  uint32_t offset = 0;
  for (int i = 3; i >= 0; --i) offset = (offset << 8) | static_cast<unsigned char>(head[60 + i]);
  if (offset == 0 || uint64_t(offset) + 4 > fileSize) return 0;
  return offset;
}

bool IsPeSignature(std::string_view four) { return four == std::string_view("PE\0\0", 4); }

bool ApplyUserCheck(const std::vector<EntryPoint>& entries, RowChecks& checks, size_t row) {
  if (row >= checks.size() || row >= entries.size()) return false;
  const EntryPoint& changed = entries[row];
  if (!checks[row]) {
    if (!changed.preSelected) return false;
    checks[row] = true;
    return true;
  }
  for (size_t j = 0; j < checks.size() && j < entries.size(); ++j) {
    const EntryPoint& other = entries[j];
    if (j == row || other.preSelected) continue;
    if (EqualsNoCaseUnicode(other.source, changed.source) &&
        !EqualsNoCaseUnicode(other.templateName, changed.templateName))
      checks[j] = false;
  }
  return false;
}

RowChecks InitialChecks(const std::vector<EntryPoint>& entries, size_t rows) {
  RowChecks checks(std::min(rows, entries.size()));
  for (size_t i = 0; i < checks.size(); ++i) checks[i] = entries[i].enabled;
  return checks;
}

std::vector<std::u16string> ChosenNames(const std::vector<EntryPoint>& entries, const RowChecks& checks) {
  std::vector<std::u16string> names;
  for (size_t i = 0; i < checks.size() && i < entries.size(); ++i)
    if (checks[i]) names.push_back(DisplayName(entries[i]));
  return names;
}

std::u16string FirstChosenBrowser(const std::vector<EntryPoint>& entries, const RowChecks& checks) {
  for (size_t i = 0; i < checks.size() && i < entries.size(); ++i)
    if (checks[i] && entries[i].isBrowser) return DisplayName(entries[i]);
  return {};
}

void ApplyEntryChoices(IniDocument& doc, const std::vector<EntryPoint>& entries, const RowChecks& checks) {
  for (size_t i = 0; i < entries.size(); ++i) {
    std::u16string section = DisplayName(entries[i]);
    if (i < checks.size() && checks[i])
      doc.DeleteKey(section, u"Disabled");
    else
      doc.SetValue(section, u"Disabled", u"1");
  }
}

}  // namespace loom
