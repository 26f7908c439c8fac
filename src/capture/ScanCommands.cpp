#include "capture/ScanCommands.h"

#include "util/PathRules.h"
#include "util/Text.h"

namespace loom {
namespace {

std::u16string ToolPrefix(std::u16string_view toolFolder, std::u16string_view toolName) {
  std::u16string out = u"\"";
  out += toolFolder;
  out += u"\\";
  out += toolName;
  out += u"\"";
  return out;
}

}  // namespace

std::u16string ScanCommand(std::u16string_view toolFolder, std::u16string_view toolName,
                           std::u16string_view snapshotPath, std::u16string_view scanLocations) {
  return ToolPrefix(toolFolder, toolName) + u" " + Quoted(snapshotPath) + u" " + std::u16string(scanLocations) +
         u" -Loomwise";
}

std::u16string SuggestProjectCommand(std::u16string_view toolFolder, std::u16string_view toolName,
                                     std::u16string_view shortStartSnapshot, std::u16string_view shortEndSnapshot,
                                     std::u16string_view workingProjectPath, int ieSelection) {
  return ToolPrefix(toolFolder, toolName) + u" " + Quoted(shortStartSnapshot) + u" -SuggestProject " +
         Quoted(shortEndSnapshot) + u" " + Quoted(workingProjectPath) + u" -IESelection " + DecimalText(ieSelection) +
         u" -Loomwise";
}

std::u16string GenerateProjectCommand(std::u16string_view toolFolder, std::u16string_view toolName,
                                      std::u16string_view workingProjectPath, std::u16string_view projectFolder) {
  return ToolPrefix(toolFolder, toolName) + u" " + Quoted(workingProjectPath) + u" -GenerateProject " +
         QuotedPath(NormalFolder(projectFolder)) + u" -Loomwise";
}

std::u16string_view DropTrailingSlash(std::u16string_view path) {
  if (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.remove_suffix(1);
  return path;
}

std::u16string TempFileName(std::u16string_view tempFolder, std::u16string_view guid, std::u16string_view extension) {
  std::u16string out(tempFolder);
  out += guid;
  out += u'.';
  out += extension;
  return out;
}

std::u16string_view FolderOf(std::u16string_view path) {
  size_t slash = path.rfind(u'\\');
  return slash == std::u16string_view::npos ? std::u16string_view() : path.substr(0, slash);
}

}  // namespace loom
