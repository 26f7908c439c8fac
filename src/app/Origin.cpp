#include "app/Origin.h"

#include "macros/FolderPlatform.h"

namespace loom {
namespace {

std::u16string_view UsablePath(std::u16string_view value) {
  return value.size() <= kMaxEnvironmentPath ? value : std::u16string_view();
}

}  // namespace

std::u16string Origin::OriginOrProgramFolder() const {
  const std::u16string& p = OriginOrProgramPath();
  size_t cut = p.rfind(u'\\');
  return cut == std::u16string::npos ? p : p.substr(0, cut);
}

std::u16string Origin::ProgramFolder() const {
  size_t cut = programPath.rfind(u'\\');
  return cut == std::u16string::npos ? std::u16string() : programPath.substr(0, cut);
}

Origin MakeOrigin(std::u16string_view qmOrigin, std::u16string_view quillmarkBin, std::u16string_view programPath) {
  Origin o;
  o.set = !qmOrigin.empty();
  o.path = UsablePath(qmOrigin);
  o.quillmarkBin = UsablePath(quillmarkBin);
  o.programPath = programPath;
  return o;
}

std::u16string SettingsFilePathFor(const Origin& origin) {
  const std::u16string& p = origin.OriginOrProgramPath();
  size_t cut = p.find_last_of(u"\\/:");
  return (cut == std::u16string::npos ? std::u16string() : p.substr(0, cut + 1)) + u"Wrenlow.ini";
}

Origin ReadOrigin(const FolderPlatform& platform, std::u16string_view programPath) {
  std::u16string origin, bin;
  if (!platform.GetEnvironment(u"QM_ORIGIN", origin)) origin.clear();
  if (!platform.GetEnvironment(u"QUILLMARK_BIN", bin)) bin.clear();
  return MakeOrigin(origin, bin, programPath);
}

}  // namespace loom
