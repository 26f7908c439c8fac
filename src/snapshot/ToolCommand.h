// The capture tool's command lines (the four the wizard passes) and the pace
// of its progress lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace loom::snap {

enum class ToolMode { kScan, kSuggest, kGenerate, kInvalid };

struct ToolCommand {
  ToolMode mode = ToolMode::kInvalid;
  std::u16string file;                // scan: the snapshot to write; suggest: the prescan; generate: the working file
  std::vector<std::u16string> roots;  // scan: "C:" drive roots and hive names, sorted, no duplicates
  std::u16string after;               // suggest: the postscan
  std::u16string output;              // suggest: the working file to write; generate: the project folder
  int ieSelection = 0;
  std::u16string error;  // kInvalid: what is wrong, for an error line
};

// `args` without the program name. Switch names ignore letter case; a
// trailing "-Loomwise" is accepted and ignored.
ToolCommand ParseToolCommand(const std::vector<std::u16string>& args);

// "12,345"
std::u16string Grouped(uint64_t n);

// The usage text for a console user.
std::u16string_view ToolUsage();

// Lets a progress line through at most every `intervalMs` (the wizard handles
// each line with one synchronous message).
class ProgressPace {
 public:
  explicit ProgressPace(uint64_t intervalMs = 100) : interval_(intervalMs) {}
  bool Due(uint64_t nowMs) {
    if (started_ && nowMs - last_ < interval_) return false;
    started_ = true;
    last_ = nowMs;
    return true;
  }

 private:
  uint64_t interval_, last_ = 0;
  bool started_ = false;
};

}  // namespace loom::snap
