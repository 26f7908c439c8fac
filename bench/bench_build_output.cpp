// Cost of normalising build output of size X and of size 10X (lines with
// progress carriage returns mixed in), appended in 16384-byte chunks like the
// output pump's reads. Linear cost gives a ratio near 10.
//   bench_build_output           X = 4 MB, best of 7 runs
//   bench_build_output --quick   X = 200 KB, best of 3 runs (smoke test)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "BenchTiming.h"
#include "build/BuildOutputText.h"
#include "util/Text.h"

namespace {

std::string MakeOutput(size_t bytes) {
  std::u16string text;
  for (unsigned i = 0; text.size() * 2 < bytes; ++i) {
    if (i % 5 == 0) {
      for (int p = 0; p <= 100; p += 10)
        text += loom::Utf8ToUtf16("Compressing stream " + std::to_string(i) + ": " + std::to_string(p) + "%\r");
      text += u"\n";
    } else {
      text += u"Adding file C:\\Projects\\App\\%ProgramFilesDir%\\Vendor\\file" + loom::Utf8ToUtf16(std::to_string(i)) +
              u".dat\n";
    }
  }
  return loom::ToUtf16LeBytes(text);
}

double NormaliseSeconds(const std::string& data, int runs, size_t& length) {
  // One text for all runs, emptied before each like the page does before each
  // build: the best run then shows the work of appending, not the page faults
  // of fresh memory, which grow faster than linearly with the allocator's
  // switch to mapped memory for large blocks.
  loom::BuildOutputText text;
  return loom::bench::BestSeconds(runs, [&] {
    text.Clear();
    for (size_t at = 0; at < data.size(); at += 16384) {
      text.Append(data.data() + at, data.size() - at < 16384 ? data.size() - at : 16384);
    }
    length = text.Text().size();
  });
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = loom::bench::QuickRun(argc, argv);
  const size_t x = quick ? (200u << 10) : (4u << 20);
  const int runs = quick ? 3 : 7;
  const std::string small = MakeOutput(x), large = MakeOutput(10 * x);
  size_t smallLength = 0, largeLength = 0;
  double tSmall = NormaliseSeconds(small, runs, smallLength);
  double tLarge = NormaliseSeconds(large, runs, largeLength);
  std::printf("X   = %8zu bytes -> %8zu units: %.2f ms\n", small.size(), smallLength, tSmall * 1e3);
  std::printf("10X = %8zu bytes -> %8zu units: %.2f ms\n", large.size(), largeLength, tLarge * 1e3);
  std::printf("time(10X) / time(X): %.2f (linear: about 10; target at most 11)\n", tLarge / tSmall);
  return 0;
}
