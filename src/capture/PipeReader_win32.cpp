#include "capture/PipeReader_win32.h"

#include <memory>

namespace loom {
namespace {

// Reads until the pipe breaks: at most kMaxRead bytes at a time, and no more
// than the pipe holds when it holds something, so that output shows as soon
// as it comes; `wholeUnits` asks for an even count where the pipe allows.
template <class Chunk>
void ReadPipe(HANDLE readEnd, bool wholeUnits, const Chunk& chunk) {
  constexpr DWORD kMaxRead = 16384;
  auto buffer = std::make_unique<char[]>(kMaxRead);
  for (;;) {
    DWORD waiting = 0;
    if (!::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr)) waiting = 0;
    if (wholeUnits) waiting &= ~DWORD(1);
    DWORD want = (waiting == 0 || waiting > kMaxRead) ? kMaxRead : waiting;
    DWORD got = 0;
    if (!::ReadFile(readEnd, buffer.get(), want, &got, nullptr)) break;
    if (got > 0) chunk(buffer.get(), size_t(got));
  }
}

}  // namespace

void ReadPipeLines(HANDLE readEnd, const ToolLineSink& line) {
  ToolLineDecoder decoder(line);
  ReadPipe(readEnd, false, [&](const char* bytes, size_t count) { decoder.Feed(bytes, count); });
  decoder.Finish();
}

void ReadPipeBytes(HANDLE readEnd, const std::function<void(const char* bytes, size_t count)>& chunk) {
  ReadPipe(readEnd, true, chunk);
}

}  // namespace loom
