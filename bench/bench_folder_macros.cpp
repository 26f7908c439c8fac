// Cost of turning paths into macro form through the folder macro table,
// against a baseline measured in the same run: the plain approach of trying
// every folder path at every position of the path. Also the round trip back
// through ExpandFolderMacros, and the same work on ten times the paths (a
// ratio near 10 means the cost is linear).
//   bench_folder_macros           20000 paths, best of 5 runs
//   bench_folder_macros --quick   1000 paths, best of 3 runs (smoke test)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "macros/FolderMacros.h"
#include "macros/MemoryFolderPlatform.h"
#include "util/Text.h"

namespace {

using namespace loom;

const char16_t* const kFolders[] = {u"C:\\Program Files",
                                    u"C:\\Program Files\\Common Files",
                                    u"C:\\Windows",
                                    u"C:\\Windows\\Fonts",
                                    u"C:\\Windows\\System32",
                                    u"C:\\Users\\Ann",
                                    u"C:\\Users\\Ann\\AppData\\Roaming",
                                    u"C:\\Users\\Ann\\AppData\\Local",
                                    u"C:\\Users\\Ann\\Desktop",
                                    u"C:\\Users\\Ann\\Documents",
                                    u"C:\\ProgramData",
                                    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu",
                                    u"C:\\Users\\Ann\\Temp",
                                    u"C:\\Users\\Public\\Desktop",
                                    u"C:\\Users\\Public\\Documents",
                                    u"C:\\Windows\\resources"};

std::vector<std::u16string> MakePaths(size_t count) {
  std::vector<std::u16string> paths;
  const size_t folders = sizeof(kFolders) / sizeof(kFolders[0]);
  for (size_t i = 0; i < count; ++i) {
    std::u16string p = i % 7 == 6 ? std::u16string(u"D:\\Data") : std::u16string(kFolders[i % folders]);
    p += u"\\Vendor " + Utf8ToUtf16(std::to_string(i % 97)) + u"\\Sub Folder\\file" + Utf8ToUtf16(std::to_string(i)) +
         u".dat";
    paths.push_back(std::move(p));
  }
  return paths;
}

// The baseline: at each position, the longest folder path that begins there.
std::u16string NaiveToMacros(std::u16string_view path) {
  std::u16string out;
  size_t pos = 0;
  while (pos < path.size()) {
    size_t best = 0, which = 0;
    for (size_t f = 0; f < sizeof(kFolders) / sizeof(kFolders[0]); ++f) {
      std::u16string_view folder = kFolders[f];
      if (folder.size() > best && path.size() - pos >= folder.size() &&
          EqualsNoCaseUnicode(path.substr(pos, folder.size()), folder))
        best = folder.size(), which = f;
    }
    if (best) {
      out += u"%F" + Utf8ToUtf16(std::to_string(which)) + u"%";
      pos += best;
    } else {
      out += path[pos++];
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = loom::bench::QuickRun(argc, argv);
  const size_t count = quick ? 1000 : 20000;
  const int runs = quick ? 3 : 5;

  MemoryFolderPlatform sys;
  FolderMacroTable table(sys);
  for (size_t f = 0; f < sizeof(kFolders) / sizeof(kFolders[0]); ++f)
    table.Register(u"F" + Utf8ToUtf16(std::to_string(f)), kFolders[f], kMacroToPath | kPathToMacro, kView0 | kView1);

  const auto paths = MakePaths(count), many = MakePaths(10 * count);
  size_t sink = 0;
  auto convert = [&](const std::vector<std::u16string>& set) {
    return [&] {
      std::u16string out;
      for (const auto& p : set) sink += table.PathToMacros(p, out) + out.size();
    };
  };
  const double tNaive = loom::bench::BestSeconds(runs, [&] {
    for (const auto& p : paths) sink += NaiveToMacros(p).size();
  });
  const double tTable = loom::bench::BestSeconds(runs, convert(paths));
  const double tMany = loom::bench::BestSeconds(runs, convert(many));
  const double tRound = loom::bench::BestSeconds(runs, [&] {
    std::u16string out;
    for (const auto& p : paths) {
      table.PathToMacros(p, out);
      sink += table.Expand(out, false).size();
    }
  });

  std::printf("%zu paths: baseline (every folder at every position) %.2f ms\n", count, tNaive * 1e3);
  std::printf("  PathToFolderMacros %.2f ms  ratio to baseline %.2f\n", tTable * 1e3, tTable / tNaive);
  std::printf("  round trip         %.2f ms  ratio to baseline %.2f\n", tRound * 1e3, tRound / tNaive);
  std::printf("%zu paths: PathToFolderMacros %.2f ms  ratio to %zu paths %.2f (linear: 10)\n", 10 * count, tMany * 1e3,
              count, tMany / tTable);
  return sink == 0 ? 1 : 0;
}
