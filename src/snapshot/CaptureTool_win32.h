// The capture tool's Win32 half: output lines, file streams, the scans of
// files and registry, and the three runs (scan, suggestion, generation).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "snapshot/Exclusions.h"
#include "snapshot/SnapshotFormat.h"
#include "snapshot/ToolCommand.h"

namespace loom::snap {

inline std::wstring W(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string U(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }
// The system's text for an error code, without its line end.
std::u16string SystemMessage(DWORD error);

// UTF-16LE lines with the "I ", "W ", "E " prefixes on standard output (to a
// console as text). Progress lines are paced to about ten a second.
class ToolOutput {
 public:
  ToolOutput();
  explicit ToolOutput(HANDLE out);  // INVALID_HANDLE_VALUE: silent
  void Info(std::u16string_view text);
  // True when a progress line may go out now (about ten a second); the
  // caller then builds it and writes it with Info.
  bool ProgressDue() { return pace_.Due(GetTickCount64()); }
  void Warning(std::u16string_view text);
  void Error(std::u16string_view text);
  uint64_t warnings() const { return warnings_; }

 private:
  void Line(std::u16string_view prefix, std::u16string_view text);
  HANDLE out_;
  bool console_ = false;
  ProgressPace pace_;
  uint64_t warnings_ = 0;
};

class FileSink : public ByteSink {
 public:
  explicit FileSink(HANDLE h) : h_(h) {}
  bool Write(const void* bytes, size_t count) override;
  DWORD error = 0;

 private:
  HANDLE h_;
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(HANDLE h) : h_(h) {}
  size_t Read(void* bytes, size_t count) override;

 private:
  HANDLE h_;
};

struct ScanCounts {
  uint64_t folders = 0, files = 0, keys = 0, values = 0;
  uint64_t total() const { return folders + files + keys + values; }
};

// A drive root ("C:") or a hive name; false when the root cannot be read at
// all (an error line was written). Places inside that cannot be read give
// warnings and the scan goes on.
bool ScanFiles(const std::u16string& root, const ExclusionList& exclusions, SnapshotWriter& writer, ToolOutput& out,
               ScanCounts& counts);
bool ScanRegistry(const std::u16string& hive, const ExclusionList& exclusions, SnapshotWriter& writer, ToolOutput& out,
                  ScanCounts& counts);
bool RootExists(const std::u16string& root);
// What a root holds below `folder` / `key` (the root's own record is the
// caller's); for the benchmarks.
bool ScanFileTree(const std::u16string& folder, const ExclusionList& exclusions, SnapshotWriter& writer,
                  ToolOutput& out, ScanCounts& counts);
bool ScanKeyTree(HKEY key, const std::u16string& path, const ExclusionList& exclusions, SnapshotWriter& writer,
                 ToolOutput& out, ScanCounts& counts);

int RunScan(const ToolCommand& command, ToolOutput& out);
int RunSuggest(const ToolCommand& command, ToolOutput& out);
int RunGenerate(const ToolCommand& command, ToolOutput& out);

// The folder of this program, without trailing backslash.
std::u16string ToolFolder();
}  // namespace loom::snap
