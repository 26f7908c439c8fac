#include "snapshot/GenerationPlan.h"

#include <algorithm>

#include "build/BuildCommands.h"
#include "build/BuildPlan.h"
#include "project/IniDocument.h"
#include "util/PathRules.h"
#include "util/Text.h"

namespace loom::snap {

bool IsSafeRelativePath(std::u16string_view path) {
  if (path.empty()) return false;
  size_t i = 0;
  for (;;) {
    size_t e = path.find(u'\\', i);
    if (e == std::u16string_view::npos) e = path.size();
    std::u16string_view name = path.substr(i, e - i);
    if (name.empty() || name == u"." || name == u"..") return false;
    if (name.back() == u' ' || name.back() == u'.') return false;
    for (char16_t c : name)
      if (c < 32 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'/' || c == u'|' || c == u'?' ||
          c == u'*')
        return false;
    if (e == path.size()) return true;
    i = e + 1;
  }
}

bool GenerationPlanner::Target(std::u16string_view path, std::u16string& target) {
  target = env_.toMacros ? env_.toMacros(path) : std::u16string(path);
  if (IsSafeRelativePath(target)) return true;
  skipped.emplace_back(path);
  return false;
}

size_t GenerationPlanner::Hive(std::u16string& keyPath) {
  if (!sid_.empty()) {
    std::u16string users = u"HKEY_USERS\\" + sid_;
    if (IsWithinFolder(keyPath, users + u"_Classes"))
      keyPath = u"HKEY_CURRENT_USER\\Software\\Classes" + keyPath.substr(users.size() + 8);
    else if (IsWithinFolder(keyPath, users))
      keyPath = u"HKEY_CURRENT_USER" + keyPath.substr(users.size());
  }
  std::u16string hive = keyPath.substr(0, keyPath.find(u'\\'));
  for (size_t i = 0; i < hives_.size(); ++i)
    if (EqualsNoCaseUnicode(hives_[i].name, hive)) return i;
  hives_.push_back({hive, {}});
  return hives_.size() - 1;
}

void GenerationPlanner::Registry(const Entry* before, const Entry* after) {
  const Entry& e = after ? *after : *before;
  std::u16string key = e.path;
  std::vector<RegRecord>& records = hives_[Hive(key)].records;
  // Below a deleted key only the key itself is written.
  if (!after && !deletedKey_.empty() && IsWithinFolder(key, deletedKey_)) return;
  if (e.kind == EntryKind::kKey) {
    records.push_back({after ? RegRecord::kKey : RegRecord::kDeletedKey, std::move(key), {}, 0, {}});
    if (!after) deletedKey_ = records.back().key;
    return;
  }
  if (!after) {
    records.push_back({RegRecord::kDeletedValue, std::move(key), e.name, 0, {}});
    return;
  }
  records.push_back(
      {RegRecord::kValue, std::move(key), e.name, e.type, RewriteRegistryStrings(e.type, e.data, env_.textToMacros)});
}

void GenerationPlanner::Added(const Entry& e) {
  std::u16string target;
  switch (e.kind) {
    case EntryKind::kFolder:
      newFolders.push_back(e.path);
      if (Target(e.path, target)) folders.push_back(std::move(target));
      break;
    case EntryKind::kFile:
      if (Target(e.path, target)) copies.push_back({e.path, std::move(target), e.size});
      break;
    default: Registry(nullptr, &e);
  }
}

void GenerationPlanner::Changed(const Entry& before, const Entry& after) {
  if (before.kind != after.kind) {
    Deleted(before);
    Added(after);
    return;
  }
  if (after.kind == EntryKind::kFile)
    Added(after);
  else if (after.kind == EntryKind::kValue)
    Registry(&before, &after);
}

void GenerationPlanner::Deleted(const Entry& e) {
  if (!e.IsFileSystem()) Registry(&e, nullptr);
}

std::vector<HiveText> GenerationPlanner::HiveTexts() const {
  std::vector<HiveText> out;
  for (const HiveRecords& h : hives_) out.push_back({h.name, RegFileText(h.records)});
  std::sort(out.begin(), out.end(),
            [](const HiveText& a, const HiveText& b) { return ComparePaths(a.hive, b.hive) < 0; });
  return out;
}

std::u16string ProjectFolderProblem(std::u16string_view folder, const std::vector<std::u16string>& captured) {
  ProjectFolderRefusal refusal = RefuseProjectFolder(folder, captured);
  if (refusal.kind == ProjectFolderRefusal::kRoot)
    return u"The project folder " + std::u16string(folder) +
           u" is the root of a drive. Choose a folder of its own for the project, for example " +
           std::u16string(folder.substr(0, std::min<size_t>(2, folder.size()))) + u"\\Projects\\App.";
  if (refusal.kind == ProjectFolderRefusal::kCaptured)
    return u"The project folder " + std::u16string(folder) + u" lies in " + refusal.folder +
           u", a folder of the captured application. Choose a project folder outside it.";
  return {};
}

std::u16string PackageIniText(std::u16string_view working) {
  IniDocument doc;
  std::string bytes = "\xFF\xFE" + ToUtf16LeBytes(working);
  if (working.size() && working[0] == 0xFEFF) bytes = ToUtf16LeBytes(working);
  if (!doc.LoadFromBytes(bytes)) return std::u16string(working);
  while (doc.DeleteSection(kSnapshotSection)) {}
  return doc.Text().substr(1);
}

std::u16string BuildScriptText(std::u16string_view toolFolder, std::u16string_view outDir) {
  auto batch = [](std::u16string_view s) {
    std::u16string out;
    for (char16_t c : s) {
      if (c == u'%') out += u'%';
      out += c;
    }
    return out;
  };
  std::u16string tools = batch(toolFolder);
  while (!tools.empty() && (tools.back() == u'\\' || tools.back() == u'/')) tools.pop_back();
  // OutDir in the form the build page uses: blanks and trailing separators
  // dropped, so that no "\" before a closing quote escapes it.
  const std::u16string normalOutDir = NormalOutDir(outDir);
  std::u16string target = normalOutDir.empty() ? std::u16string(u"bin") : batch(normalOutDir);
  bool absolute = (target.size() > 2 && target[1] == u':' && target[2] == u'\\') ||
                  (target.size() > 1 && target[0] == u'\\' && target[1] == u'\\');
  if (!absolute) target = u"%PROJECT_DIR%\\" + target;
  std::u16string t;
  t += u"@echo off\r\n";
  t += u"rem Builds the virtual application from this project folder with the build tools\r\n";
  t += u"rem of the folder QUILLMARK_BIN names, else of the folder this script was written with.\r\n";
  t += u"setlocal\r\n";
  t += u"cd /d \"%~dp0\"\r\n";
  t += u"set PROJECT_DIR=%~dp0\r\n";
  t += u"set PROJECT_DIR=%PROJECT_DIR:~0,-1%\r\n";
  t += u"set TARGET_DIR=" + target + u"\r\n";
  t += u"set \"TOOLS=" + tools + u"\"\r\n";
  t += u"set \"TOOLS_FROM=the folder this script was written with\"\r\n";
  t += u"if defined QUILLMARK_BIN set \"TOOLS=%QUILLMARK_BIN%\"\r\n";
  t += u"if defined QUILLMARK_BIN set \"TOOLS_FROM=QUILLMARK_BIN\"\r\n";
  t += u"echo Build tools from %TOOLS_FROM%: \"%TOOLS%\"\r\n";
  t += u"set MISSING=\r\n";
  // The first tool missing, in the order tlink, vftool, vregtool, is named.
  for (int stage = kLastBuildStage; stage >= kFirstBuildStage; --stage) {
    const std::u16string tool = BuildToolPath(stage, u"%TOOLS%");
    t += u"if not exist " + Quoted(tool) + u" set \"MISSING=" + tool + u"\"\r\n";
  }
  t += u"if defined MISSING goto missing\r\n";
  t += u"if not exist \"%TARGET_DIR%\" mkdir \"%TARGET_DIR%\"\r\n";
  // The build page's command lines, with the script's variables for the folders.
  // A drive root (E:\) is written out in them: the page doubles its closing
  // backslash so that it does not escape the quote after it, which a line
  // holding the variable could not do.
  const std::u16string targetInLines = target.back() == u'\\' ? target : std::u16string(u"%TARGET_DIR%");
  for (int stage = kFirstBuildStage; stage <= kLastBuildStage; ++stage) {
    t += BuildToolCommand(stage, u"%TOOLS%", targetInLines, u"%PROJECT_DIR%") + u"\r\n";
    t += u"if errorlevel 1 goto failed\r\n";
  }
  t += u"del /q";
  for (const std::u16string& file : IntermediateFiles(u"%TARGET_DIR%")) t += u" " + Quoted(file);
  t += u" 2>nul\r\n";
  t += u"echo Build complete.\r\n";
  t += u"goto :eof\r\n";
  t += u":missing\r\n";
  t += u"echo Missing build tool: \"%MISSING%\"\r\n";
  t += u"echo Looked in \"%TOOLS%\" (%TOOLS_FROM%). Put the build tools there, or set QUILLMARK_BIN to their "
       u"folder.\r\n";
  t += u":failed\r\n";
  t += u"echo Build failed.\r\n";
  t += u"exit /b 1\r\n";
  return t;
}

}  // namespace loom::snap
