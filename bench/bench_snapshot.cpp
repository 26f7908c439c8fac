// The comparison of two snapshots: linear in the entries, flat in memory.
// Snapshots of N and 10N files (1% changed, 1% added, 1% deleted) are written
// to files and merged from there, each size in a child process of its own:
//   time ratio   t(10N) / (10 t(N))        target <= 1.1 (10x entries, at most 11x time)
//   memory ratio peak(10N) / peak(N)       target <= 1.2
// The registry files of generation: N and 10N new values (strings with paths
// rewritten to folder macros, DWORDs, binary data) written as .reg text:
//   registry ratio t(10N) / (10 t(N))      target <= 1.1
//   bench_snapshot           N = 20,000 (and 200,000), best of 7
//   bench_snapshot --quick   N = 2,000 (and 20,000), one run
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "BenchTiming.h"
#include "macros/FolderMacros.h"
#include "macros/MemoryFolderPlatform.h"
#include "snapshot/GenerationPlan.h"
#include "snapshot/SnapshotMerge.h"
#include "util/Text.h"

using namespace loom::snap;

namespace {

class StdioSink : public ByteSink {
 public:
  explicit StdioSink(FILE* f) : f_(f) {}
  bool Write(const void* b, size_t n) override { return fwrite(b, 1, n, f_) == n; }

 private:
  FILE* f_;
};
class StdioSource : public ByteSource {
 public:
  explicit StdioSource(FILE* f) : f_(f) {}
  size_t Read(void* b, size_t n) override { return fread(b, 1, n, f_); }

 private:
  FILE* f_;
};

// Files in folders of 100, with names sorted the way the scanner writes them.
void WriteSnapshot(const std::string& path, size_t files, bool after) {
  FILE* f = fopen(path.c_str(), "wb");
  StdioSink sink(f);
  SnapshotWriter w(sink);
  Entry e;
  e.kind = EntryKind::kFolder;
  e.path = u"C:";
  w.Add(e);
  char name[96];
  for (size_t folder = 0; folder * 100 < files; ++folder) {
    snprintf(name, sizeof name, "C:\\Program Files\\Vendor %06zu", folder);
    e.kind = EntryKind::kFolder;
    e.path = loom::Utf8ToUtf16(name);
    e.size = 0;
    w.Add(e);
    for (size_t i = folder * 100; i < files && i < folder * 100 + 100; ++i) {
      if (after && i % 100 == 7) continue;   // deleted
      if (!after && i % 100 == 8) continue;  // added
      snprintf(name, sizeof name, "C:\\Program Files\\Vendor %06zu\\module %06zu.dll", folder, i);
      e.kind = EntryKind::kFile;
      e.path = loom::Utf8ToUtf16(name);
      e.size = 4096 + i;
      e.writeTime = 1000 + ((after && i % 100 == 9) ? 1 : 0);  // changed
      w.Add(e);
    }
  }
  w.Finish();
  fclose(f);
}

struct Counter : DiffVisitor {
  uint64_t n = 0;
  void Added(const Entry&) override { ++n; }
  void Deleted(const Entry&) override { ++n; }
  void Changed(const Entry&, const Entry&) override { ++n; }
};

// Merge time (best of runs) and peak resident memory of a child process.
bool Measure(const std::string& a, const std::string& b, int runs, double& seconds, long& peakKb) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_t pid = fork();
  if (pid == 0) {
    double s = loom::bench::BestSeconds(runs, [&] {
      FILE* fa = fopen(a.c_str(), "rb");
      FILE* fb = fopen(b.c_str(), "rb");
      StdioSource sa(fa), sb(fb);
      SnapshotReader ra(sa), rb(sb);
      Counter c;
      if (!MergeSnapshots(ra, rb, c).ok()) _exit(1);
      fclose(fa);
      fclose(fb);
    });
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    double out[2] = {s, double(u.ru_maxrss)};
    if (write(fds[1], out, sizeof out) != sizeof out) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  double in[2] = {0, 0};
  bool ok = read(fds[0], in, sizeof in) == sizeof in;
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  seconds = in[0];
  peakKb = long(in[1]);
  return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Generation's registry writing for `values` new values in keys of 20.
double RegistryWriting(size_t values, int runs) {
  loom::MemoryFolderPlatform sys;
  loom::FolderMacroTable table(sys);
  table.Register(u"ProgramFilesDir", u"C:\\Program Files", 3, 3);
  table.Register(u"SystemRoot", u"C:\\Windows", 3, 3);
  table.Register(u"AppData", u"C:\\Users\\ann\\AppData\\Roaming", 3, 3);
  CaptureEnvironment env;
  env.textToMacros = [&](std::u16string_view text) {
    std::u16string out;
    table.TextToMacros(text, out);
    return out;
  };
  std::vector<Entry> entries;
  char text[160];
  for (size_t i = 0; i < values; ++i) {
    Entry e;
    e.kind = EntryKind::kValue;
    snprintf(text, sizeof text, "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Key %06zu", i / 20);
    e.path = loom::Utf8ToUtf16(text);
    snprintf(text, sizeof text, "Value %06zu", i);
    e.name = loom::Utf8ToUtf16(text);
    if (i % 3 == 0) {
      e.type = kRegSz;
      snprintf(text, sizeof text, "\"C:\\Program Files\\Vendor\\app %06zu.exe\" \"%%1\" /dir=C:\\Windows\\x", i);
      e.data = loom::ToUtf16LeBytes(loom::Utf8ToUtf16(text)) + std::string(2, '\0');
    } else if (i % 3 == 1) {
      e.type = kRegDword;
      e.data = std::string(4, char(i));
    } else {
      e.type = kRegBinary;
      e.data = std::string(40, char(i));
    }
    entries.push_back(std::move(e));
  }
  size_t sink = 0;
  double s = loom::bench::BestSeconds(runs, [&] {
    GenerationPlanner plan(env);
    for (const Entry& e : entries) plan.Added(e);
    for (const HiveText& h : plan.HiveTexts()) sink += h.text.size();
  });
  return sink ? s : 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = loom::bench::QuickRun(argc, argv);
  size_t n = quick ? 2000 : 20000;
  int runs = quick ? 1 : 7;
  std::string dir = "/tmp/bench_snapshot." + std::to_string(getpid());
  std::string cmd = "mkdir -p " + dir;
  if (system(cmd.c_str()) != 0) return 1;
  double t[2];
  long peak[2];
  for (int k = 0; k < 2; ++k) {
    size_t files = k ? 10 * n : n;
    std::string a = dir + "/a" + std::to_string(k), b = dir + "/b" + std::to_string(k);
    WriteSnapshot(a, files, false);
    WriteSnapshot(b, files, true);
    if (!Measure(a, b, runs, t[k], peak[k])) {
      fprintf(stderr, "merge failed\n");
      return 1;
    }
    printf("merge of %zu files: %.3f s, peak %ld KB\n", files, t[k], peak[k]);
  }
  cmd = "rm -rf " + dir;
  if (system(cmd.c_str()) != 0) return 1;
  printf("time ratio t(10N)/(10 t(N)): %.2f (target <= 1.10)\n", t[1] / (10 * t[0]));
  printf("memory ratio peak(10N)/peak(N): %.2f (target <= 1.20)\n", double(peak[1]) / double(peak[0]));
  double r[2];
  for (int k = 0; k < 2; ++k) {
    r[k] = RegistryWriting(k ? 10 * n : n, runs);
    printf("registry files for %zu values (macros in string data): %.3f s\n", k ? 10 * n : n, r[k]);
  }
  printf("registry ratio t(10N)/(10 t(N)): %.2f (target <= 1.10)\n", r[1] / (10 * r[0]));
  return 0;
}
