// loomctl answers PROJECT-FOLDER: an answers file that repeats the choices a
// project's Package.ini records.
#include "capture/Answers.h"
#include "loomctl/Console.h"
#include "macros/FolderMacros.h"
#include "project/IniDocument.h"
#include "util/FileIo.h"
#include "util/PathRules.h"

namespace loomctl {

int RunAnswers(const Args& args) {
  if (args.size() != 2) return Fail(kBadUsage, u"usage: loomctl answers PROJECT-FOLDER");
  std::u16string folder;
  if (!loom::MakeFullPath(loom::NormalFolder(args[1]), folder)) return Fail(kBadUsage, args[1] + u": not a folder");
  folder = loom::NormalFolder(folder);
  const std::u16string ini = folder + u"/Package.ini";
  std::string bytes;
  loom::IniDocument doc;
  if (!loom::ReadWholeFile(ini, bytes) || bytes.size() < 2 || bytes.compare(0, 2, "\xff\xfe") != 0 ||
      !doc.LoadFromBytes(bytes))
    return Fail(kBadUsage, ini + u": not a project's Package.ini (UTF-16LE)");
  loom::InitFolderMacros();
  Write(stdout, loom::WriteAnswers(doc, folder));
  return kDone;
}

}  // namespace loomctl
