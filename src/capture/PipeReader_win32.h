// The one loop that reads a child's output pipe, with its two sinks: the
// scan tool's lines and the build tools' bytes. Each runs on the reader
// thread until the pipe breaks (the child has ended); the caller closes the
// read end afterwards.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

#include "capture/ToolLineDecoder.h"

namespace loom {

// Every line of the scan tool's protocol, classified; a last line without a
// line end still counts (an error written last must not be lost).
void ReadPipeLines(HANDLE readEnd, const ToolLineSink& line);

// The bytes as they come, in chunks of whole UTF-16 code units while the
// pipe holds an even count (an odd byte is handed on as it is).
void ReadPipeBytes(HANDLE readEnd, const std::function<void(const char* bytes, size_t count)>& chunk);

}  // namespace loom
