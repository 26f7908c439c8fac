#include "project/CaptureReport.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "project/EntryPoints.h"
#include "project/IniDocument.h"
#include "util/FileIo.h"
#include "util/Text.h"

namespace loom {
namespace {

uint32_t Get16(std::string_view b, size_t at) {
  return at + 2 <= b.size() ? uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 : 0;
}
uint32_t Get32(std::string_view b, size_t at) { return at + 4 <= b.size() ? Get16(b, at) | Get16(b, at + 2) << 16 : 0; }
void Put16(std::string& b, uint32_t v) { b += char(v & 0xFF), b += char(v >> 8 & 0xFF); }
void Put32(std::string& b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }

// The resources of a PE image: the file offset of an RVA, and the entries
// of a resource directory.
class PeResources {
 public:
  explicit PeResources(std::string_view file) : f_(file) {
    const uint32_t pe = PeSignatureOffset(file.substr(0, 64), file.size());
    if (!pe || !IsPeSignature(file.substr(pe, 4))) return;
    const size_t coff = pe + 4, optional = coff + 20;
    const uint32_t sections = Get16(f_, coff + 2), optionalSize = Get16(f_, coff + 16);
    const uint32_t magic = Get16(f_, optional);
    const size_t directories = optional + (magic == 0x20B ? 112 : 96);
    const uint32_t resourceRva = Get32(f_, directories + 2 * 8);
    for (uint32_t i = 0; i < sections; ++i) {
      size_t s = optional + optionalSize + size_t(i) * 40;
      sections_.push_back({Get32(f_, s + 12), std::max(Get32(f_, s + 8), Get32(f_, s + 16)), Get32(f_, s + 20)});
    }
    root_ = Offset(resourceRva);
  }

  // Children of a directory at `dir` (offset from the resource root): id
  // (named entries get none) and offset; the high bit marks a subdirectory.
  std::vector<std::pair<uint32_t, uint32_t>> Children(uint32_t dir) const {
    std::vector<std::pair<uint32_t, uint32_t>> out;
    if (!root_) return out;
    const size_t at = root_ + dir;
    const uint32_t named = Get16(f_, at + 12), ids = Get16(f_, at + 14);
    for (uint32_t i = 0; i < named + ids && i < 4096; ++i) {
      const size_t e = at + 16 + size_t(i) * 8;
      out.push_back({i < named ? 0xFFFFFFFF : Get32(f_, e), Get32(f_, e + 4)});
    }
    return out;
  }
  // The data of the first language below a name directory entry.
  std::string_view Data(uint32_t nameEntryOffset) const {
    uint32_t o = nameEntryOffset;
    for (int depth = 0; depth < 2 && (o & 0x80000000); ++depth) {
      auto langs = Children(o & 0x7FFFFFFF);
      if (langs.empty()) return {};
      o = langs.front().second;
    }
    if (o & 0x80000000) return {};
    const size_t data = Offset(Get32(f_, root_ + o));
    const uint32_t size = Get32(f_, root_ + o + 4);
    if (!data || data + size > f_.size()) return {};
    return f_.substr(data, size);
  }
  std::string_view Resource(uint32_t type, uint32_t id) const {
    for (auto [t, sub] : Children(0))
      if (t == type && (sub & 0x80000000))
        for (auto [n, entry] : Children(sub & 0x7FFFFFFF))
          if (n == id) return Data(entry);
    return {};
  }
  std::vector<uint32_t> GroupEntries(uint32_t type) const {
    std::vector<uint32_t> out;
    for (auto [t, sub] : Children(0))
      if (t == type && (sub & 0x80000000))
        for (auto [n, entry] : Children(sub & 0x7FFFFFFF)) out.push_back(entry);
    return out;
  }

 private:
  struct Section {
    uint32_t rva, size, raw;
  };
  size_t Offset(uint32_t rva) const {
    for (const Section& s : sections_)
      if (rva >= s.rva && rva < s.rva + s.size) return size_t(s.raw) + (rva - s.rva);
    return 0;
  }
  std::string_view f_;
  std::vector<Section> sections_;
  size_t root_ = 0;
};

std::u16string Html(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::u16string Base64(std::string_view bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::u16string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
    if (i + 1 < bytes.size()) v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) v |= uint8_t(bytes[i + 2]);
    out += char16_t(kDigits[v >> 18 & 63]);
    out += char16_t(kDigits[v >> 12 & 63]);
    out += i + 1 < bytes.size() ? char16_t(kDigits[v >> 6 & 63]) : u'=';
    out += i + 2 < bytes.size() ? char16_t(kDigits[v & 63]) : u'=';
  }
  return out;
}

std::u16string Size(uint64_t bytes) {
  const char16_t* units[] = {u" bytes", u" KB", u" MB", u" GB"};
  if (bytes < 1024) return DecimalText(static_cast<long long>(bytes)) + units[0];
  int unit = 0;
  double value = double(bytes);
  while (value >= 1024 && unit < 3) value /= 1024, ++unit;
  const long long tenths = llround(value * 10);
  return DecimalText(static_cast<long long>(tenths / 10)) + u"." + DecimalText(static_cast<long long>(tenths % 10)) +
         units[unit];
}

bool IsMacroName(std::u16string_view name) { return name.size() > 2 && name.front() == u'%' && name.back() == u'%'; }

// Files and bytes below a folder.
void Measure(const std::u16string& folder, ReportGroup& group, int depth = 0) {
  std::vector<FolderItem> items;
  if (depth > 64 || !ListFolderItems(folder, items)) return;
  for (const FolderItem& item : items) {
    if (item.folder) {
      Measure(folder + u"/" + item.name, group, depth + 1);
    } else {
      ++group.files;
      group.bytes += item.size;
    }
  }
}

std::u16string TextOf(const std::string& bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe')
    return FromUtf16LeBytes(bytes.data() + 2, bytes.size() - 2);
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xef\xbb\xbf") == 0)
    return Utf8ToUtf16(std::string_view(bytes).substr(3));
  return Utf8ToUtf16(bytes);
}

}  // namespace

bool AddRegistryFile(std::string_view bytes, std::vector<HiveChanges>& hives) {
  const std::u16string text = TextOf(std::string(bytes));
  size_t at = 0;
  bool first = true, continued = false;
  HiveChanges* hive = nullptr;
  while (at < text.size()) {
    size_t end = text.find_first_of(u"\r\n", at);
    if (end == std::u16string::npos) end = text.size();
    std::u16string_view line = std::u16string_view(text).substr(at, end - at);
    at = end + 1;
    if (first) {
      if (line != u"Windows Registry Editor Version 5.00") return false;
      first = false;
      continue;
    }
    if (continued) {
      continued = !line.empty() && line.back() == u'\\';
      continue;
    }
    if (line.empty() || line[0] == u';') continue;
    if (line[0] == u'[' && line.back() == u']') {
      const bool deleted = line.size() > 2 && line[1] == u'-';
      std::u16string_view key = line.substr(deleted ? 2 : 1, line.size() - (deleted ? 3 : 2));
      std::u16string name(key.substr(0, key.find(u'\\')));
      hive = nullptr;
      for (HiveChanges& h : hives)
        if (EqualsNoCaseAscii(h.hive, name)) hive = &h;
      if (!hive) {
        hives.push_back({name});
        hive = &hives.back();
      }
      ++(deleted ? hive->deletedKeys : hive->keys);
      continue;
    }
    if (!hive) continue;
    // A value: "name"=data or @=data; "=-" deletes it.
    size_t eq = line[0] == u'@' ? 1 : std::u16string_view::npos;
    if (line[0] == u'"') {
      for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] == u'\\') {
          ++i;
        } else if (line[i] == u'"') {
          eq = i + 1;
          break;
        }
      }
    }
    if (eq == std::u16string_view::npos || eq >= line.size() || line[eq] != u'=') continue;
    ++(line.substr(eq + 1) == u"-" ? hive->deletedValues : hive->values);
    continued = line.back() == u'\\';
  }
  return !first;
}

std::string ExtractIcon(std::string_view file, long index) {
  if (file.size() >= 6 && Get16(file, 0) == 0 && Get16(file, 2) == 1) return std::string(file);  // an .ico file
  PeResources pe(file);
  std::vector<uint32_t> groups = pe.GroupEntries(14);  // icon groups
  if (index < 0 || size_t(index) >= groups.size()) return {};
  std::string_view group = pe.Data(groups[size_t(index)]);
  const uint32_t count = Get16(group, 4);
  if (group.size() < 6 + size_t(count) * 14 || count == 0) return {};
  std::string head, images;
  Put16(head, 0), Put16(head, 1), Put16(head, count);
  std::vector<std::string_view> data;
  for (uint32_t i = 0; i < count; ++i) data.push_back(pe.Resource(3, Get16(group, 6 + i * 14 + 12)));
  uint32_t offset = 6 + 16 * count;
  for (uint32_t i = 0; i < count; ++i) {
    head.append(group.substr(6 + i * 14, 8));  // size, colours, planes, bits
    Put32(head, uint32_t(data[i].size()));
    Put32(head, offset);
    offset += uint32_t(data[i].size());
    images.append(data[i]);
  }
  return head + images;
}

bool ReadCaptureSummary(const std::u16string& folder, CaptureSummary& s, std::u16string& problem) {
  s = CaptureSummary();
  s.projectFolder = folder;
  std::string bytes;
  IniDocument doc;
  const std::u16string ini = folder + u"/Package.ini";
  if (!ReadWholeFile(ini, bytes) || bytes.size() < 2 || bytes.compare(0, 2, "\xff\xfe") != 0 ||
      !doc.LoadFromBytes(bytes)) {
    problem = ini + u": no project's Package.ini (UTF-16LE) there";
    return false;
  }
  s.packageName = doc.ProfileValue(u"BuildOptions", u"InventoryName");

  // Entry points, with the icon from the captured file.
  std::vector<std::u16string> entrySections;
  for (const std::u16string& section : doc.ListSections()) {
    std::u16string source = doc.ProfileValue(section, u"Source");
    if (source.empty() || section == u"BuildOptions") continue;
    entrySections.push_back(section);
    if (ProfileInteger(doc.ProfileValue(section, u"Disabled")) != 0) continue;
    ReportEntry e{section, DecodeEntryText(source), {}};
    std::u16string icon = doc.ProfileValue(section, u"Icon");
    IconLocation where = ParseIconLocation(icon.empty() ? source : icon);
    std::u16string path = DecodeEntryText(where.path);
    std::replace(path.begin(), path.end(), u'\\', u'/');
    std::string file;
    if (ReadWholeFile(folder + u"/" + path, file)) e.icon = ExtractIcon(file, where.index);
    s.entries.push_back(std::move(e));
  }

  // Captured files by folder macro, and the largest folders one level down.
  std::vector<FolderItem> top;
  ListFolderItems(folder, top);
  std::sort(top.begin(), top.end(), [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
  for (const FolderItem& item : top) {
    if (item.folder && IsMacroName(item.name)) {
      ReportGroup group{item.name};
      const std::u16string macroFolder = folder + u"/" + item.name;
      std::vector<FolderItem> inner;
      ListFolderItems(macroFolder, inner);
      for (const FolderItem& i : inner) {
        if (i.folder) {
          ReportGroup sub{item.name + u"\\" + i.name};
          Measure(macroFolder + u"/" + i.name, sub);
          group.files += sub.files;
          group.bytes += sub.bytes;
          s.largest.push_back(sub);
        } else {
          ++group.files;
          group.bytes += i.size;
        }
      }
      s.macros.push_back(group);
    } else if (!item.folder && item.name.size() > 4 &&
               EqualsNoCaseAscii(std::u16string_view(item.name).substr(item.name.size() - 4), u".reg")) {
      std::string reg;
      if (ReadWholeFile(folder + u"/" + item.name, reg)) AddRegistryFile(reg, s.hives);
    }
  }
  std::stable_sort(s.largest.begin(), s.largest.end(),
                   [](const ReportGroup& a, const ReportGroup& b) { return a.bytes > b.bytes; });
  if (s.largest.size() > 10) s.largest.resize(10);

  // The options: every key line of the sections that are not entry points.
  const std::u16string text = FromUtf16LeBytes(bytes.data() + 2, bytes.size() - 2);
  std::u16string section;
  bool listed = false;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find_first_of(u"\r\n", at);
    if (end == std::u16string::npos) end = text.size();
    std::u16string_view line = std::u16string_view(text).substr(at, end - at);
    at = end + 1;
    if (line.empty() || line[0] == u';') continue;
    if (line[0] == u'[') {
      section = std::u16string(line.substr(1, line.find(u']') - 1));
      listed = std::find(entrySections.begin(), entrySections.end(), section) == entrySections.end();
      continue;
    }
    size_t eq = line.find(u'=');
    if (listed && eq != std::u16string_view::npos)
      s.options.push_back({section + u"." + std::u16string(line.substr(0, eq)), std::u16string(line.substr(eq + 1))});
  }
  return true;
}

std::u16string ReportHtml(const CaptureSummary& s) {
  std::u16string h;
  auto add = [&h](std::u16string_view t) { h += t; };
  const std::u16string title = u"Loomwise capture: " + Html(s.packageName);
  add(u"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title + u"</title>\n<style>\n");
  add(u"body{font:14px/1.4 sans-serif;margin:24px;color:#222;max-width:960px}h1{font-size:22px;margin:0 0 4px}"
      u"h2{font-size:16px;margin:24px 0 8px;border-bottom:1px solid #ccc;padding-bottom:2px}"
      u".muted{color:#666}table{border-collapse:collapse}td,th{padding:3px 10px;text-align:left;"
      u"border-bottom:1px solid #eee;vertical-align:middle}td.n{text-align:right}img{width:32px;height:32px}"
      u".noicon{display:inline-block;width:32px;height:32px;background:#ddd}\n</style></head><body>\n");
  add(u"<h1 id=\"package\">" + Html(s.packageName) + u"</h1>\n<div class=\"muted\">" + Html(s.projectFolder) +
      u"</div>\n");

  add(u"<h2>Entry points</h2>\n<table id=\"entries\">\n");
  for (const ReportEntry& e : s.entries) {
    add(u"<tr class=\"entry\"><td>");
    add(e.icon.empty() ? u"<span class=\"noicon\"></span>"
                       : u"<img alt=\"\" src=\"data:image/x-icon;base64," + Base64(e.icon) + u"\">");
    add(u"</td><td class=\"name\">" + Html(e.name) + u"</td><td class=\"muted\">" + Html(e.target) + u"</td></tr>\n");
  }
  add(u"</table>\n");

  add(u"<h2>Captured files by folder macro</h2>\n<table id=\"files\">\n<tr><th>Folder</th><th>Files</th>"
      u"<th>Size</th></tr>\n");
  size_t files = 0;
  uint64_t bytes = 0;
  for (const ReportGroup& g : s.macros) {
    files += g.files;
    bytes += g.bytes;
    add(u"<tr class=\"macro\"><td class=\"name\">" + Html(g.name) + u"</td><td class=\"n files\">" +
        DecimalText(static_cast<long long>(g.files)) + u"</td><td class=\"n size\" data-bytes=\"" +
        DecimalText(static_cast<long long>(g.bytes)) + u"\">" + Size(g.bytes) + u"</td></tr>\n");
  }
  add(u"<tr><th>All</th><th class=\"n\">" + DecimalText(static_cast<long long>(files)) + u"</th><th class=\"n\">" +
      Size(bytes) + u"</th></tr>\n</table>\n");

  if (!s.largest.empty()) {
    add(u"<h2>Largest folders</h2>\n");
    const uint64_t most = std::max<uint64_t>(s.largest.front().bytes, 1);
    const size_t rowHeight = 24, labelWidth = 360, barWidth = 420;
    add(u"<svg id=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        DecimalText(static_cast<long long>(labelWidth + barWidth + 110)) + u"\" height=\"" +
        DecimalText(static_cast<long long>(s.largest.size() * rowHeight + 4)) + u"\" font-size=\"13\">\n");
    for (size_t i = 0; i < s.largest.size(); ++i) {
      const ReportGroup& g = s.largest[i];
      const long long y = static_cast<long long>(i * rowHeight);
      const long long w = static_cast<long long>(g.bytes * barWidth / most);
      add(u"<text x=\"" + DecimalText(static_cast<long long>(labelWidth - 8)) + u"\" y=\"" + DecimalText(y + 16) +
          u"\" text-anchor=\"end\">" + Html(g.name) + u"</text>");
      add(u"<rect class=\"bar\" x=\"" + DecimalText(static_cast<long long>(labelWidth)) + u"\" y=\"" +
          DecimalText(y + 3) + u"\" width=\"" + DecimalText(w < 1 ? 1 : w) + u"\" height=\"18\" fill=\"#4a7fb5\"/>");
      add(u"<text x=\"" + DecimalText(static_cast<long long>(labelWidth) + (w < 1 ? 1 : w) + 6) + u"\" y=\"" +
          DecimalText(y + 16) + u"\">" + Size(g.bytes) + u" (" + DecimalText(static_cast<long long>(g.files)) +
          (g.files == 1 ? u" file)</text>\n" : u" files)</text>\n"));
    }
    add(u"</svg>\n");
  }

  add(u"<h2>Registry changes</h2>\n<table id=\"registry\">\n<tr><th>Hive</th><th>Keys</th><th>Values</th>"
      u"<th>Deleted keys</th><th>Deleted values</th></tr>\n");
  for (const HiveChanges& r : s.hives) {
    add(u"<tr class=\"hive\"><td class=\"name\">" + Html(r.hive) + u"</td>");
    for (size_t n : {r.keys, r.values, r.deletedKeys, r.deletedValues})
      add(u"<td class=\"n\">" + DecimalText(static_cast<long long>(n)) + u"</td>");
    add(u"</tr>\n");
  }
  if (s.hives.empty())
    add(u"<tr><td colspan=\"5\" class=\"muted\">No registry file (*.reg) in the project.</td></tr>\n");
  add(u"</table>\n");

  add(u"<h2>Options set in Package.ini</h2>\n<table id=\"options\">\n");
  for (const auto& [name, value] : s.options)
    add(u"<tr class=\"option\"><td class=\"name\">" + Html(name) + u"</td><td>" + Html(value) + u"</td></tr>\n");
  add(u"</table>\n</body></html>\n");
  return h;
}

}  // namespace loom
