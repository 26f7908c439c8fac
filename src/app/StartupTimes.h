// Marks of the wizard's start-up on the high-resolution counter. When the
// environment variable LOOM_STARTUP_TIMES names a file, the marks are written
// there once the page windows are all made (after the first paint), one
// "COUNTER STAGE" line each after a "frequency N" line; bench_startup reads
// them. Without the variable nothing is written.
#pragma once

namespace loom {

// Records the counter with `stage` (a literal); at most 256 marks are kept.
void MarkStartup(const char* stage);

// Writes the marks (once); false when nothing was asked for.
bool WriteStartupMarks();

}  // namespace loom
