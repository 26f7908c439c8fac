// Untrusted files of an unattended capture: an answers file of any bytes is
// decoded and read, and answers that are accepted write back answers that are
// accepted too; a registry file and a PE file of any bytes are read for the
// report without reading outside them.
#include <cstdint>
#include <string>

#include "capture/Answers.h"
#include "project/CaptureReport.h"
#include "project/IniDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<loom::HiveChanges> hives;
  loom::AddRegistryFile(bytes, hives);
  std::string icon = loom::ExtractIcon(bytes, size ? data[0] % 4 : 0);
  (void)icon;
  std::optional<std::u16string> text = loom::DecodeAnswersText(bytes);
  if (!text) return 0;
  loom::Answers answers;
  loom::AnswersRefusal refusal;
  if (loom::ParseAnswers(*text, answers, refusal)) {
    if (!refusal.section.empty() || refusal.line) __builtin_trap();
  } else if (refusal.text.empty() && refusal.reason == loom::Refusal::None) {
    __builtin_trap();  // every refusal says why
  }
  return 0;
}
