// loomctl report PROJECT-FOLDER [-o FILE]: one self-contained HTML page of
// what a capture holds.
#include "loomctl/Console.h"
#include "project/CaptureReport.h"
#include "util/FileIo.h"
#include "util/PathRules.h"
#include "util/Text.h"

namespace loomctl {

int RunReport(const Args& args) {
  const std::u16string usage = u"usage: loomctl report PROJECT-FOLDER [-o FILE]";
  if (args.size() != 2 && !(args.size() == 4 && args[2] == u"-o")) return Fail(kBadUsage, usage);
  std::u16string folder;
  if (!loom::MakeFullPath(loom::NormalFolder(args[1]), folder)) return Fail(kBadUsage, args[1] + u": not a folder");
  loom::CaptureSummary tree;
  std::u16string problem;
  if (!loom::ReadCaptureSummary(loom::NormalFolder(folder), tree, problem)) return Fail(kBadUsage, problem);
  const std::string html = loom::Utf16ToUtf8(loom::ReportHtml(tree));
  if (args.size() == 2) {
    std::fwrite(html.data(), 1, html.size(), stdout);
    return kDone;
  }
  uint32_t error = 0;
  if (!loom::ReplaceFileContents(args[3], html, &error))
    return Fail(kNotDone, u"cannot write " + args[3] + u" (error " + loom::DecimalText(error) + u")");
  return kDone;
}

}  // namespace loomctl
