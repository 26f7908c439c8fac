// Throughput of the tool-output line decoder on generated UTF-16LE output fed
// in 8192-byte chunks (the reader's block size), against a memchr scan that
// counts the line feeds of the same buffer.
//   bench_tool_lines           about 50 MB, best of 5 runs
//   bench_tool_lines --quick   about 2 MB, best of 3 runs (smoke test)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "BenchTiming.h"
#include "capture/ToolLineDecoder.h"
#include "util/Text.h"

namespace {

std::string MakeOutput(size_t bytes) {
  std::u16string text;
  text.reserve(bytes / 2 + 256);
  for (unsigned i = 0; text.size() * 2 < bytes; ++i) {
    std::string n = std::to_string(i);
    switch (i % 8) {
      case 0:
        text += u"W Cannot open C:\\Users\\Admin\\AppData\\Local\\Temp\\locked" + loom::Utf8ToUtf16(n) + u".tmp\r\n";
        break;
      case 1: text += u"  continued detail for the warning above\r\n"; break;
      case 2: text += u"E \r\n"; break;
      default:
        text += u"I Scanning C:\\Program Files\\Vendor\\\u5e94\u7528\\bin\\module" + loom::Utf8ToUtf16(n) + u".dll\r\n";
    }
  }
  return loom::ToUtf16LeBytes(text);
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = loom::bench::QuickRun(argc, argv);
  const std::string data = MakeOutput(quick ? (2u << 20) : (50u << 20));
  const int runs = quick ? 3 : 5;
  const size_t kChunk = 8192;

  size_t lines = 0, units = 0;
  double decode = loom::bench::BestSeconds(runs, [&] {
    lines = units = 0;
    loom::ToolLineDecoder decoder([&](loom::ToolLineKind kind, const char16_t*, size_t length) {
      lines += 1 + int(kind) * 0;
      units += length;
    });
    for (size_t at = 0; at < data.size(); at += kChunk) {
      decoder.Feed(data.data() + at, data.size() - at < kChunk ? data.size() - at : kChunk);
    }
    decoder.Finish();
  });

  size_t feeds = 0;
  double scan = loom::bench::BestSeconds(runs, [&] {
    feeds = 0;
    const char* begin = data.data();
    const char* end = begin + data.size();
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, 0x0A, size_t(end - p)))) != nullptr; ++p) {
      feeds += (p - begin) % 2 == 0 && p + 1 < end && p[1] == 0;
    }
  });

  const double mb = double(data.size()) / 1e6;
  std::printf("input %.1f MB, %zu lines (%zu line feeds), %zu text units\n", mb, lines, feeds, units);
  std::printf("memchr scan:    %8.1f MB/s\n", mb / scan);
  std::printf("decoder:        %8.1f MB/s\n", mb / decode);
  std::printf("decoder time / scan time: %.2f\n", decode / scan);
  if (lines != feeds) {
    std::fprintf(stderr, "line count mismatch\n");
    return 1;
  }
  return 0;
}
