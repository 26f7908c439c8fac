// The scans: a depth-first walk that sorts each folder's (each key's)
// children before it visits them, so that the snapshot is written in order
// with only one folder's names in memory per level.
#include <algorithm>
#include <vector>

#include "snapshot/CaptureTool_win32.h"
#include "util/Text.h"

namespace loom::snap {
namespace {

uint64_t Join(DWORD high, DWORD low) { return (uint64_t(high) << 32) | low; }

struct Child {
  std::u16string name;
  std::u16string folded;  // the name upper-cased once, for the sort
  DWORD attributes;
  uint64_t size, time;
};

std::u16string Folded(std::u16string_view name) {
  std::u16string f(name);
  for (char16_t& c : f) c = UpcaseUnit(c);
  return f;
}

constexpr int kMaxDepth = 2000;

// ComparePathComponents order, with each name folded once instead of at
// every comparison.
bool ByName(const Child& a, const Child& b) {
  int c = a.folded.compare(b.folded);
  return c != 0 ? c < 0 : a.name.compare(b.name) < 0;
}

class FileWalker {
 public:
  FileWalker(const ExclusionList& ex, SnapshotWriter& w, ToolOutput& out, ScanCounts& counts)
      : ex_(ex), w_(w), out_(out), counts_(counts) {}

  bool Walk(const std::u16string& folder, int depth = 0) {
    // Paths of 32,767 characters allow some 16,000 levels; a tree that deep
    // is pathological, and the walk's stack stays bounded.
    if (depth > kMaxDepth) {
      out_.Warning(u"The folder " + folder + u" lies too deep; what it holds is left out of the scan.");
      return true;
    }
    std::wstring pattern = L"\\\\?\\" + W(folder) + L"\\*";
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
      h = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &fd, FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) {
      DWORD e = GetLastError();
      if (e != ERROR_FILE_NOT_FOUND && e != ERROR_NO_MORE_FILES)
        out_.Warning(u"Cannot read the folder " + folder + u" (" + SystemMessage(e) +
                     u"); what it holds is left out of the scan.");
      return true;
    }
    std::vector<Child> children;
    do {
      const wchar_t* n = fd.cFileName;
      if (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) continue;
      std::u16string name = U(n);
      std::u16string folded = Folded(name);
      children.push_back({std::move(name), std::move(folded), fd.dwFileAttributes,
                          Join(fd.nFileSizeHigh, fd.nFileSizeLow),
                          Join(fd.ftLastWriteTime.dwHighDateTime, fd.ftLastWriteTime.dwLowDateTime)});
    } while (FindNextFileW(h, &fd));
    DWORD e = GetLastError();
    FindClose(h);
    if (e != ERROR_NO_MORE_FILES)
      out_.Warning(u"The folder " + folder + u" could not be read to its end (" + SystemMessage(e) + u").");
    std::sort(children.begin(), children.end(), ByName);
    Entry entry;
    for (Child& c : children) {
      entry.path.assign(folder).append(u"\\").append(c.name);
      if (ex_.Excludes(entry.path)) continue;
      bool isFolder = (c.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry.kind = isFolder ? EntryKind::kFolder : EntryKind::kFile;
      entry.attributes = c.attributes;
      entry.size = isFolder ? 0 : c.size;
      entry.writeTime = c.time;
      if (!w_.Add(entry)) return false;
      ++(isFolder ? counts_.folders : counts_.files);
      if (isFolder) {
        if (out_.ProgressDue()) out_.Info(u"Scanning " + entry.path + u" (" + Grouped(counts_.total()) + u" entries)");
        // Junctions and symbolic links are recorded, never followed.
        if (!(c.attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !Walk(entry.path, depth + 1)) return false;
      }
    }
    return true;
  }

 private:
  const ExclusionList& ex_;
  SnapshotWriter& w_;
  ToolOutput& out_;
  ScanCounts& counts_;
};

struct HiveRoot {
  const char16_t* name;
  HKEY key;
};
const HiveRoot kHives[] = {{u"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                           {u"HKEY_USERS", HKEY_USERS},
                           {u"HKEY_CURRENT_USER", HKEY_CURRENT_USER}};

HKEY HiveKey(const std::u16string& name) {
  for (const HiveRoot& h : kHives)
    if (name == h.name) return h.key;
  return nullptr;
}

struct ValueItem {
  std::u16string name;
  DWORD type;
  std::string data;
};

class KeyWalker {
 public:
  KeyWalker(const ExclusionList& ex, SnapshotWriter& w, ToolOutput& out, ScanCounts& counts)
      : ex_(ex), w_(w), out_(out), counts_(counts), name_(16384 + 2), data_(65536) {}

  // Writes the values of `key` and then each subkey with what it holds.
  bool Walk(HKEY key, const std::u16string& path) {
    // The buffers serve every key (they only grow); no size query per key,
    // which costs a round trip to the registry.
    std::vector<ValueItem> items;
    for (DWORD i = 0;; ++i) {
      DWORD nameLength = DWORD(name_.size()), dataLength = DWORD(data_.size()), type = 0;
      LONG r = RegEnumValueW(key, i, name_.data(), &nameLength, nullptr, &type, data_.data(), &dataLength);
      if (r == ERROR_MORE_DATA) {
        data_.resize(std::max<size_t>(data_.size() * 2, size_t(dataLength) + 2));
        --i;
        continue;
      }
      if (r == ERROR_NO_MORE_ITEMS) break;
      if (r != ERROR_SUCCESS) {
        out_.Warning(u"Cannot read the values of the registry key " + path + u" (" + SystemMessage(DWORD(r)) + u").");
        break;
      }
      items.push_back({U(std::wstring_view(name_.data(), nameLength)), type,
                       std::string(reinterpret_cast<const char*>(data_.data()), dataLength)});
    }
    std::sort(items.begin(), items.end(),
              [](const ValueItem& a, const ValueItem& b) { return ComparePathComponents(a.name, b.name) < 0; });
    Entry entry;
    entry.kind = EntryKind::kValue;
    entry.path = path;
    for (ValueItem& v : items) {
      entry.name.swap(v.name);
      entry.type = v.type;
      entry.data.swap(v.data);
      if (!w_.Add(entry)) {
        // Two names equal but for case cannot come from one key; skip rather than stop.
        continue;
      }
      ++counts_.values;
    }
    std::vector<std::u16string> names;
    for (DWORD i = 0;; ++i) {
      DWORD length = DWORD(name_.size());
      LONG r = RegEnumKeyExW(key, i, name_.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (r != ERROR_SUCCESS) {
        if (r != ERROR_NO_MORE_ITEMS)
          out_.Warning(u"Cannot list the subkeys of the registry key " + path + u" (" + SystemMessage(DWORD(r)) +
                       u").");
        break;
      }
      names.push_back(U(std::wstring_view(name_.data(), length)));
    }
    std::sort(names.begin(), names.end(),
              [](const std::u16string& a, const std::u16string& b) { return ComparePathComponents(a, b) < 0; });
    Entry k;
    k.kind = EntryKind::kKey;
    for (const std::u16string& n : names) {
      k.path.assign(path).append(u"\\").append(n);
      if (ex_.Excludes(k.path)) continue;
      HKEY child = nullptr;
      // Symbolic links are opened as themselves, never followed.
      LONG r = RegOpenKeyExW(key, W(n).c_str(), REG_OPTION_OPEN_LINK, KEY_READ | KEY_WOW64_64KEY, &child);
      if (r != ERROR_SUCCESS) {
        out_.Warning(u"Cannot open the registry key " + k.path + u" (" + SystemMessage(DWORD(r)) +
                     u"); it is left out of the scan.");
        continue;
      }
      bool ok = w_.Add(k);
      if (ok) {
        ++counts_.keys;
        if (out_.ProgressDue()) out_.Info(u"Scanning " + k.path + u" (" + Grouped(counts_.total()) + u" entries)");
        std::u16string path2 = k.path;
        ok = Walk(child, path2);
      }
      RegCloseKey(child);
      if (!ok) return false;
    }
    return true;
  }

 private:
  const ExclusionList& ex_;
  SnapshotWriter& w_;
  ToolOutput& out_;
  ScanCounts& counts_;
  std::vector<wchar_t> name_;  // value and key names (at most 16,383 characters)
  std::vector<BYTE> data_;
};

}  // namespace

bool RootExists(const std::u16string& root) {
  if (root.size() == 2) {
    DWORD a = GetFileAttributesW(W(root + u"\\").c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  return HiveKey(root) != nullptr;
}

bool ScanFileTree(const std::u16string& folder, const ExclusionList& exclusions, SnapshotWriter& writer,
                  ToolOutput& out, ScanCounts& counts) {
  return FileWalker(exclusions, writer, out, counts).Walk(folder);
}

bool ScanKeyTree(HKEY key, const std::u16string& path, const ExclusionList& exclusions, SnapshotWriter& writer,
                 ToolOutput& out, ScanCounts& counts) {
  return KeyWalker(exclusions, writer, out, counts).Walk(key, path);
}

bool ScanFiles(const std::u16string& root, const ExclusionList& exclusions, SnapshotWriter& writer, ToolOutput& out,
               ScanCounts& counts) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExW(W(root + u"\\").c_str(), GetFileExInfoStandard, &data)) {
    out.Error(u"The scan location " + root + u"\\ cannot be read (" + SystemMessage(GetLastError()) +
              u"). Choose the scan locations again.");
    return false;
  }
  Entry e;
  e.kind = EntryKind::kFolder;
  e.path = root;
  e.attributes = data.dwFileAttributes;
  if (!writer.Add(e)) return false;
  ++counts.folders;
  return FileWalker(exclusions, writer, out, counts).Walk(root);
}

bool ScanRegistry(const std::u16string& hive, const ExclusionList& exclusions, SnapshotWriter& writer, ToolOutput& out,
                  ScanCounts& counts) {
  HKEY root = HiveKey(hive), key = nullptr;
  LONG r = root ? RegOpenKeyExW(root, nullptr, 0, KEY_READ | KEY_WOW64_64KEY, &key) : ERROR_FILE_NOT_FOUND;
  if (r != ERROR_SUCCESS) {
    out.Error(u"The registry hive " + hive + u" cannot be read (" + SystemMessage(DWORD(r)) +
              u"). Choose the scan locations again.");
    return false;
  }
  Entry e;
  e.kind = EntryKind::kKey;
  e.path = hive;
  bool ok = writer.Add(e);
  if (ok) {
    ++counts.keys;
    ok = KeyWalker(exclusions, writer, out, counts).Walk(key, hive);
  }
  RegCloseKey(key);
  return ok;
}

}  // namespace loom::snap
