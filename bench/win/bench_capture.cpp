// The capture tool's scans under Wine, against bare walks of the same data,
// measured in one run:
//   1. file scan throughput / bare FindFirstFileW-FindNextFileW walk   target >= 0.8
//      (the scans test every entry against the default exclusion list)
//   2. registry scan throughput / bare RegEnumKeyExW-RegEnumValueW walk target >= 0.8
//   3. peak memory of scan + comparison, 10x files / 1x files         target <= 1.2
//   4. comparison time, 10x entries / (10 x 1x entries)                target <= 1.1
// Full run: 200,000 files (20 folders of 1,000 in each of 10 groups; the 1x
// figures use one group) and 20,000 registry values. --medium: 10x fewer;
// --quick: 100x fewer.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "snapshot/CaptureTool_win32.h"
#include "snapshot/SnapshotMerge.h"
#include "../BenchTiming.h"

using namespace loom::snap;

using loom::bench::BestSeconds;
using loom::bench::Seconds;

namespace {

size_t PeakKb() {
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc.PeakWorkingSetSize / 1024;
}

size_t BareWalk(const std::wstring& folder) {
  size_t n = 0;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (fd.cFileName[0] == L'.' && (!fd.cFileName[1] || (fd.cFileName[1] == L'.' && !fd.cFileName[2]))) continue;
    ++n;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) n += BareWalk(folder + L"\\" + fd.cFileName);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return n;
}

size_t BareRegistry(HKEY key) {
  size_t n = 0;
  wchar_t name[16384];
  BYTE data[65536];
  for (DWORD i = 0;; ++i) {
    DWORD nl = 16384, dl = sizeof data, type;
    if (RegEnumValueW(key, i, name, &nl, nullptr, &type, data, &dl) != ERROR_SUCCESS) break;
    ++n;
  }
  for (DWORD i = 0;; ++i) {
    DWORD nl = 256;
    if (RegEnumKeyExW(key, i, name, &nl, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
      n += 1 + BareRegistry(sub);
      RegCloseKey(sub);
    }
  }
  return n;
}

// The default exclusion list, its variables expanded, as a real scan has it
// (every entry is tested against it).
const ExclusionList& DefaultExclusions() {
  static const ExclusionList list = [] {
    ExclusionList l;
    l.Parse(ExclusionList::DefaultText(), [](std::u16string_view line) {
      wchar_t out[4096];
      DWORD n = ExpandEnvironmentStringsW(W(line).c_str(), out, 4096);
      return n && n <= 4096 ? U(out) : std::u16string(line);
    });
    return l;
  }();
  return list;
}

// Scans `folder` (or the key) into `snapshot`; returns the entries written.
uint64_t ToolScan(const std::wstring& folder, HKEY key, const std::wstring& snapshot) {
  HANDLE h =
      CreateFileW(snapshot.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  FileSink sink(h);
  SnapshotWriter writer(sink);
  ToolOutput out(INVALID_HANDLE_VALUE);
  const ExclusionList& exclusions = DefaultExclusions();
  ScanCounts counts;
  Entry root;
  root.kind = key ? EntryKind::kKey : EntryKind::kFolder;
  root.path = U(folder);
  writer.Add(root);
  bool ok =
      key ? ScanKeyTree(key, U(folder), exclusions, writer, out, counts)
          : ScanFileTree(U(folder), exclusions, writer, out, counts);
  ok = writer.Finish() && ok;
  CloseHandle(h);
  return ok ? counts.total() : 0;
}

struct Counter : DiffVisitor {
  uint64_t n = 0;
  void Added(const Entry&) override { ++n; }
  void Deleted(const Entry&) override { ++n; }
  void Changed(const Entry&, const Entry&) override { ++n; }
};

bool Merge(const std::wstring& a, const std::wstring& b) {
  HANDLE ha =
      CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  HANDLE hb =
      CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  FileSource sa(ha), sb(hb);
  SnapshotReader ra(sa), rb(sb);
  Counter c;
  bool ok = MergeSnapshots(ra, rb, c).ok();
  CloseHandle(ha);
  CloseHandle(hb);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = loom::bench::QuickRun(argc, argv);
  bool medium = argc > 1 && std::strcmp(argv[1], "--medium") == 0;  // 10x fewer than the full run
  const int groups = 10, folders = quick ? 2 : (medium ? 2 : 20), files = quick ? 100 : 1000;
  const int keys = quick ? 50 : (medium ? 500 : 5000), values = 4;
  const int runs = quick ? 1 : 3, pairs = quick ? 1 : 7;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring base = std::wstring(tmp) + L"loombench";
  std::wstring tree = base + L"\\tree";
  CreateDirectoryW(base.c_str(), nullptr);
  CreateDirectoryW(tree.c_str(), nullptr);
  double t = Seconds();
  for (int g = 0; g < groups; ++g) {
    std::wstring gdir = tree + L"\\group " + std::to_wstring(g);
    CreateDirectoryW(gdir.c_str(), nullptr);
    for (int f = 0; f < folders; ++f) {
      std::wstring fdir = gdir + L"\\folder " + std::to_wstring(f);
      CreateDirectoryW(fdir.c_str(), nullptr);
      for (int i = 0; i < files; ++i) {
        HANDLE h = CreateFileW((fdir + L"\\module " + std::to_wstring(i) + L".dll").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
      }
    }
  }
  HKEY rk;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\LoomBench", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &rk, nullptr);
  for (int k = 0; k < keys; ++k) {
    HKEY sub;
    RegCreateKeyExW(rk, (L"key " + std::to_wstring(k)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
    for (int v = 0; v < values; ++v) {
      std::wstring data = L"C:\\Program Files\\Vendor\\value " + std::to_wstring(v);
      RegSetValueExW(sub, (L"value " + std::to_wstring(v)).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(data.c_str()), DWORD((data.size() + 1) * 2));
    }
    RegCloseKey(sub);
  }
  printf("generated %d files and %d registry values in %.1f s\n", groups * folders * files, keys * values,
         Seconds() - t);

  size_t bare = 0;
  uint64_t scanned = 0;
  // Alternating runs, best of each: the machine's other load hits both alike.
  double tBare = 1e30, tTool = 1e30;
  for (int i = 0; i < pairs; ++i) {
    tBare = std::min(tBare, BestSeconds(1, [&] { bare = BareWalk(tree); }));
    tTool = std::min(tTool, BestSeconds(1, [&] { scanned = ToolScan(tree, nullptr, base + L"\\files.snapshot"); }));
  }
  printf("file walk: bare %.3f s (%zu entries), tool %.3f s (%llu entries)\n", tBare, bare, tTool,
         (unsigned long long)scanned);
  printf("1. file scan throughput ratio: %.2f (target >= 0.80)\n", tBare / tTool);

  double rBare = 1e30, rTool = 1e30;
  for (int i = 0; i < pairs; ++i) {
    rBare = std::min(rBare, BestSeconds(1, [&] { bare = BareRegistry(rk); }));
    rTool = std::min(rTool, BestSeconds(1, [&] {
                       scanned = ToolScan(L"HKEY_CURRENT_USER\\Software\\LoomBench", rk, base + L"\\reg.snapshot");
                     }));
  }
  printf("registry walk: bare %.3f s (%zu entries), tool %.3f s (%llu entries)\n", rBare, bare, rTool,
         (unsigned long long)scanned);
  printf("2. registry scan throughput ratio: %.2f (target >= 0.80)\n", rBare / rTool);

  // Memory and linearity: one group first, then all ten (peaks only grow).
  std::wstring small = tree + L"\\group 0";
  ToolScan(small, nullptr, base + L"\\small.snapshot");
  double mSmall = BestSeconds(runs, [&] { Merge(base + L"\\small.snapshot", base + L"\\small.snapshot"); });
  size_t peakSmall = PeakKb();
  ToolScan(tree, nullptr, base + L"\\large.snapshot");
  double mLarge = BestSeconds(runs, [&] { Merge(base + L"\\large.snapshot", base + L"\\large.snapshot"); });
  size_t peakLarge = PeakKb();
  printf("peak working set: %zu KB after 1x, %zu KB after 10x\n", peakSmall, peakLarge);
  printf("3. peak memory ratio 10x/1x: %.2f (target <= 1.20)\n", double(peakLarge) / double(peakSmall));
  printf("comparison: %.3f s for 1x, %.3f s for 10x\n", mSmall, mLarge);
  printf("4. comparison time ratio 10x/(10 x 1x): %.2f (target <= 1.10)\n", mLarge / (10 * mSmall));

  RegCloseKey(rk);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\LoomBench");
  return 0;
}
