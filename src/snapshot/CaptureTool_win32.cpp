// snapshot.exe / snapshot64.exe: the capture tool the wizard runs for the
// prescan, the postscan, the project suggestion and the project generation.
// Exit code 0 on success; on failure at least one "E " line and exit code 1.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "app/CommandLine.h"
#include "app/Origin.h"
#include "macros/FolderMacros.h"
#include "macros/FolderPlatform.h"
#include "project/IniDocument.h"
#include "project/ProjectLocation.h"
#include "snapshot/CaptureTool_win32.h"
#include "snapshot/GenerationPlan.h"
#include "snapshot/ProjectSuggestion.h"
#include "snapshot/SnapshotMerge.h"
#include "util/FileIo.h"
#include "util/Text.h"

namespace loom::snap {

// ---- output and streams ----

std::u16string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string s = n ? U(std::wstring_view(text, n)) : u"error " + DecimalText(error);
  if (text) LocalFree(text);
  while (!s.empty() && (s.back() == u'\r' || s.back() == u'\n' || s.back() == u' ' || s.back() == u'.')) s.pop_back();
  return s;
}

std::u16string ToolFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n < path.size()) {
      std::u16string p = U(std::wstring_view(path.data(), n));
      return p.substr(0, p.rfind(u'\\') == std::u16string::npos ? 0 : p.rfind(u'\\'));
    }
    path.resize(path.size() * 2);
  }
}

ToolOutput::ToolOutput(bool forWizard) : ToolOutput(GetStdHandle(STD_OUTPUT_HANDLE), forWizard) {}

ToolOutput::ToolOutput(HANDLE out, bool forWizard) : out_(out), forWizard_(forWizard), pace_(100) {
  DWORD mode;
  console_ = out_ && out_ != INVALID_HANDLE_VALUE && GetConsoleMode(out_, &mode);
}

void ToolOutput::Line(std::u16string_view prefix, std::u16string_view text) {
  std::u16string line = std::u16string(prefix) + std::u16string(text) + u"\r\n";
  DWORD put = 0;
  if (console_) {
    WriteConsoleW(out_, W(line).c_str(), DWORD(line.size()), &put, nullptr);
  } else if (out_ && out_ != INVALID_HANDLE_VALUE) {
    std::string bytes = forWizard_ ? ToUtf16LeBytes(line) : Utf16ToUtf8(line);
    WriteFile(out_, bytes.data(), DWORD(bytes.size()), &put, nullptr);
  }
}

void ToolOutput::Info(std::u16string_view text) { Line(forWizard_ ? u"I " : u"", text); }
void ToolOutput::Warning(std::u16string_view text) {
  ++warnings_;
  Line(forWizard_ ? u"W " : u"Warning: ", text);
}
void ToolOutput::Error(std::u16string_view text) { Line(forWizard_ ? u"E " : u"Error: ", text); }

bool FileSink::Write(const void* bytes, size_t count) {
  const char* p = static_cast<const char*>(bytes);
  while (count) {
    DWORD put = 0, chunk = DWORD(count > (1u << 30) ? (1u << 30) : count);
    if (!WriteFile(h_, p, chunk, &put, nullptr) || put == 0) {
      error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
      return false;
    }
    p += put;
    count -= put;
  }
  return true;
}

size_t FileSource::Read(void* bytes, size_t count) {
  DWORD got = 0;
  if (!ReadFile(h_, bytes, DWORD(count > (1u << 30) ? (1u << 30) : count), &got, nullptr)) return SIZE_MAX;
  return got;
}

namespace {

std::u16string FullPath(const std::u16string& path) {
  std::u16string full;
  return MakeFullPath(path, full) ? full : path;
}

std::u16string LongPath(const std::u16string& path) {
  std::vector<wchar_t> buffer(32768);
  DWORD n = GetLongPathNameW(W(path).c_str(), buffer.data(), DWORD(buffer.size()));
  return n && n < buffer.size() ? U(std::wstring_view(buffer.data(), n)) : path;
}

std::u16string Expand(std::u16string_view text) {
  std::wstring in = W(text);
  DWORD n = ExpandEnvironmentStringsW(in.c_str(), nullptr, 0);
  std::vector<wchar_t> buffer(n + 1);
  if (!n || !ExpandEnvironmentStringsW(in.c_str(), buffer.data(), n + 1)) return std::u16string(text);
  return U(buffer.data());
}

std::u16string ExclusionPath() { return ToolFolder() + u"\\snapshot-exclude.txt"; }

// The text of the exclusion list beside the tool; false when there is none.
bool ReadExclusionText(const std::u16string& path, std::u16string& text) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE)
    text = FromUtf16LeBytes(bytes.data() + 2, bytes.size() - 2);
  else
    text = Utf8ToUtf16(bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes);
  return true;
}

// The exclusion list beside the tool; written with the defaults when missing.
ExclusionList LoadExclusions(ToolOutput& out) {
  std::u16string path = ExclusionPath();
  std::u16string text;
  if (!ReadExclusionText(path, text)) {
    text = ExclusionList::DefaultText();
    if (!ReplaceFileContents(path, Utf16ToUtf8(text)))
      out.Info(u"Using the default exclusion list (" + path + u" cannot be written).");
  }
  ExclusionList list;
  list.Parse(text, [](std::u16string_view line) {
    std::u16string s = Expand(line);
    if (s.size() > 3 && s.back() == u'\\') s.pop_back();
    return s.find(u'%') == std::u16string::npos && s.size() > 2 && s[1] == u':' ? LongPath(s) : s;
  });
  return list;
}

HANDLE OpenSnapshot(const std::u16string& path, ToolOutput& out) {
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    out.Error(u"The snapshot file " + path + u" cannot be opened (" + SystemMessage(GetLastError()) + u"). " +
              std::u16string(out.Words(u"Go back and scan again.", u"Scan again.")));
  return h;
}

struct Comparison {
  HANDLE before = INVALID_HANDLE_VALUE, after = INVALID_HANDLE_VALUE;
  ~Comparison() {
    if (before != INVALID_HANDLE_VALUE) CloseHandle(before);
    if (after != INVALID_HANDLE_VALUE) CloseHandle(after);
  }
};

// Merges the two snapshots into `visitor`; false (with an error line) when
// either cannot be read to its checked end.
bool Compare(const std::u16string& beforePath, const std::u16string& afterPath, DiffVisitor& visitor, ToolOutput& out) {
  Comparison c;
  if ((c.before = OpenSnapshot(beforePath, out)) == INVALID_HANDLE_VALUE) return false;
  if ((c.after = OpenSnapshot(afterPath, out)) == INVALID_HANDLE_VALUE) return false;
  FileSource a(c.before), b(c.after);
  SnapshotReader ra(a), rb(b);
  out.Info(u"Comparing the scans");
  MergeResult r = MergeSnapshots(ra, rb, visitor, [&](uint64_t n) {
    if (out.ProgressDue()) out.Info(u"Comparing the scans (" + Grouped(n) + u" entries)");
  });
  if (!r.ok()) {
    bool first = r.before != ReadStatus::kOk;
    out.Error(u"The snapshot file " + (first ? beforePath : afterPath) + u" " +
              ReadStatusText(first ? r.before : r.after) + u". " +
              std::u16string(out.Words(u"Go back and scan again.", u"Scan again to make it anew.")));
    return false;
  }
  out.Info(u"Compared: " + Grouped(r.added) + u" new, " + Grouped(r.changed) + u" changed, " + Grouped(r.deleted) +
           u" deleted");
  return true;
}

CaptureEnvironment SystemEnvironment() {
  CaptureEnvironment env;
  env.toMacros = [](std::u16string_view path) {
    std::u16string result;
    PathToFolderMacros(path, result);
    return result.empty() ? std::u16string(path) : result;
  };
  env.escapeIni = [](std::u16string_view text) { return EscapeIniValue(text); };
  env.textToMacros = [](std::u16string_view text) {
    std::u16string result;
    TextToFolderMacros(text, result);
    return result;
  };
  env.shortcutTarget = [](std::u16string_view lnk) -> std::u16string {
    IShellLinkW* link = nullptr;
    std::u16string target;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
      return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(W(lnk).c_str(), STGM_READ))) {
        wchar_t path[MAX_PATH * 4] = {};
        if (link->GetPath(path, MAX_PATH * 4, nullptr, SLGP_RAWPATH) == S_OK && path[0])
          target = LongPath(Expand(U(path)));
      }
      file->Release();
    }
    link->Release();
    return target;
  };
  return env;
}

std::u16string CurrentUserSid() {
  // HKEY_USERS holds the current user's hive under its SID; find the one whose
  // volatile environment matches ours (works without token APIs).
  HANDLE token = nullptr;
  std::u16string sid;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sid;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size ? size : 1);
  if (GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    auto* user = reinterpret_cast<TOKEN_USER*>(buffer.data());
    PSID psid = user->User.Sid;
    // S-R-I-S-S...
    SID_IDENTIFIER_AUTHORITY* a = GetSidIdentifierAuthority(psid);
    uint64_t authority = 0;
    for (int i = 0; i < 6; ++i) authority = (authority << 8) | a->Value[i];
    sid = u"S-1-" + DecimalText((long long)authority);
    UCHAR n = *GetSidSubAuthorityCount(psid);
    for (UCHAR i = 0; i < n; ++i) sid += u"-" + DecimalText((long long)*GetSidSubAuthority(psid, i));
  }
  CloseHandle(token);
  return sid;
}

bool CreateFolders(const std::u16string& folder) {
  std::wstring path = L"\\\\?\\" + W(folder);
  if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  size_t cut = folder.rfind(u'\\');
  if (cut == std::u16string::npos || cut < 3 || GetLastError() != ERROR_PATH_NOT_FOUND) return false;
  return CreateFolders(folder.substr(0, cut)) &&
         (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
}

bool WriteUtf16File(const std::u16string& path, std::u16string_view text) {
  return ReplaceFileContents(path, "\xFF\xFE" + ToUtf16LeBytes(text));
}

std::u16string IniValue(const IniDocument& doc, std::u16string_view section, std::u16string_view key) {
  return doc.GetValue(section, key);
}

// A scan that was stopped (the wizard's Stop or Back ends the tool at once)
// leaves its unfinished "*.snapshot.new" behind, which no one else deletes.
// A scan in progress holds its file without delete sharing, so only
// abandoned ones go.
void RemoveStalePartials(const std::u16string& target) {
  size_t cut = target.rfind(u'\\');
  if (cut == std::u16string::npos) return;
  std::wstring folder = W(target.substr(0, cut + 1));
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"*.snapshot.new").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + fd.cFileName).c_str());
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

}  // namespace

// ---- the three runs ----

int RunScan(const ToolCommand& c, ToolOutput& out) {
  for (const std::u16string& root : c.roots) {
    if (!RootExists(root)) {
      out.Error(
          u"The scan location " + root + (root.size() == 2 ? u"\\" : u"") + u" does not exist on this computer. " +
          std::u16string(out.Words(u"Choose the scan locations again.", u"Give the drive roots and hives it has.")));
      return 1;
    }
  }
  std::u16string target = FullPath(c.file);
  std::u16string partial = target + u".new";
  RemoveStalePartials(target);
  ExclusionList exclusions = LoadExclusions(out);
  exclusions.Add(LongPath(target));
  exclusions.Add(LongPath(partial));
  HANDLE h = CreateFileW(W(partial).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    out.Error(u"The snapshot file " + target + u" cannot be created (" + SystemMessage(GetLastError()) +
              u"). Check that its folder exists and can be written, then scan again.");
    return 1;
  }
  // Only the finished snapshot takes the final name.
  exclusions.Add(LongPath(partial));
  FileSink sink(h);
  SnapshotWriter writer(sink);
  ScanCounts counts;
  bool ok = true;
  for (const std::u16string& root : c.roots) {
    out.Info(u"Scanning " + root + (root.size() == 2 ? u"\\" : u""));
    ok = root.size() == 2 ? ScanFiles(root, exclusions, writer, out, counts)
                          : ScanRegistry(root, exclusions, writer, out, counts);
    if (!ok) break;
  }
  ok = ok && writer.Finish();
  CloseHandle(h);
  if (ok && !MoveFileExW(W(partial).c_str(), W(target).c_str(), MOVEFILE_REPLACE_EXISTING)) {
    sink.error = GetLastError();
    ok = false;
  }
  if (!ok) {
    DeleteFileW(W(partial).c_str());
    if (sink.error)
      out.Error(u"The snapshot file " + target + u" cannot be written (" + SystemMessage(sink.error) +
                u"). Make room on the drive or choose another temp folder, then scan again.");
    else
      out.Error(u"The scan stopped before its end. Scan again.");
    return 1;
  }
  out.Info(u"Scan complete: " + Grouped(counts.files) + u" files, " + Grouped(counts.folders) + u" folders, " +
           Grouped(counts.keys) + u" registry keys, " + Grouped(counts.values) + u" values");
  return 0;
}

int RunSuggest(const ToolCommand& c, ToolOutput& out) {
  InitFolderMacros();
  std::u16string before = FullPath(c.file), after = FullPath(c.after), output = FullPath(c.output);
  SuggestionBuilder builder(SystemEnvironment());
  if (!Compare(before, after, builder, out)) return 1;
  builder.Finish(c.ieSelection);
  if (!WriteUtf16File(output, builder.Text(before, after))) {
    out.Error(u"The project file " + output + u" cannot be written (" + SystemMessage(GetLastError()) + u").");
    return 1;
  }
  // A list kept from an older version lacks the defaults shipped since.
  std::u16string exclusions;
  if (ReadExclusionText(ExclusionPath(), exclusions)) {
    std::vector<std::u16string> missing = ExclusionList::MissingDefaults(exclusions);
    if (!missing.empty())
      out.Info(u"The exclusion list " + ExclusionPath() + u" lacks " + Grouped(missing.size()) +
               u" of this version's default lines (first: " + missing.front() +
               u"); the scans did not leave those places out. Delete the file to get the current defaults.");
  }
  out.Info(builder.Summary());
  return 0;
}

namespace {

// Generation, step by step. Each step tells what went wrong; the files that
// could not be written are gathered in `failed` and named at the end.

// The working project file and the two scans it names; false (told) when it
// cannot be read or names no scans.
bool ReadWorkingProject(const std::u16string& working, IniDocument& doc, std::u16string& before, std::u16string& after,
                        ToolOutput& out) {
  const std::u16string again =
      std::u16string(out.Words(u"Go back and compare the scans again.", u"Write it again with -SuggestProject."));
  if (!doc.Load(working)) {
    out.Error(u"The project file " + working + u" cannot be read. " + again);
    return false;
  }
  before = IniValue(doc, kSnapshotSection, u"Before");
  after = IniValue(doc, kSnapshotSection, u"After");
  if (before.empty() || after.empty()) {
    out.Error(u"The project file " + working + u" does not name the scans it was made from ([" +
              std::u16string(kSnapshotSection) + u"] section). " + again);
    return false;
  }
  return true;
}

// The project folder, refused inside the captured application's folders
// (what the installation created and the entry points' folders), created.
bool MakeProjectFolder(const std::u16string& folder, const GenerationPlanner& plan, const IniDocument& doc,
                       ToolOutput& out) {
  std::vector<std::u16string> captured = plan.newFolders;
  for (std::u16string& f : CapturedFolders(doc)) captured.push_back(std::move(f));
  std::u16string problem = ProjectFolderProblem(LongPath(folder), captured);
  if (problem.empty()) problem = ProjectFolderProblem(folder, captured);
  if (!problem.empty()) {
    out.Error(problem);
    return false;
  }
  if (!CreateFolders(folder)) {
    out.Error(u"The project folder " + folder + u" cannot be created (" + SystemMessage(GetLastError()) + u").");
    return false;
  }
  return true;
}

// The captured files under their folder macros and one registry file per hive.
void WriteCapture(const std::u16string& folder, const GenerationPlanner& plan, ToolOutput& out,
                  std::vector<std::u16string>& failed) {
  for (const std::u16string& path : plan.skipped)
    out.Warning(u"Left out of the project (its name cannot be stored): " + path);
  for (const std::u16string& f : plan.folders)
    if (!CreateFolders(folder + u"\\" + f)) out.Warning(u"Cannot create the folder " + folder + u"\\" + f);
  size_t done = 0;
  for (const FileCopy& copy : plan.copies) {
    std::u16string target = folder + u"\\" + copy.target;
    CreateFolders(target.substr(0, target.rfind(u'\\')));
    if (!CopyFileW(W(u"\\\\?\\" + copy.source).c_str(), W(u"\\\\?\\" + target).c_str(), FALSE)) {
      DWORD e = GetLastError();
      out.Warning(u"Cannot copy " + copy.source + u" (" + SystemMessage(e) + u")");
      failed.push_back(copy.source);
    }
    ++done;
    if (out.ProgressDue()) out.Info(u"Copying files (" + Grouped(done) + u" of " + Grouped(plan.copies.size()) + u")");
  }
  for (const HiveText& hive : plan.HiveTexts())
    if (!WriteUtf16File(folder + u"\\" + hive.hive + u".reg", hive.text))
      failed.push_back(folder + u"\\" + hive.hive + u".reg");
}

// Package.ini: the working file without the scans' section; a redirect list
// of the browser page travels into the project folder. `package` is what was
// written.
void WritePackageIni(const std::u16string& folder, const IniDocument& doc, IniDocument& package,
                     std::vector<std::u16string>& failed) {
  std::u16string ini = PackageIniText(doc.Text().substr(doc.Text().size() && doc.Text()[0] == 0xFEFF ? 1 : 0));
  package.LoadFromBytes("\xFF\xFE" + ToUtf16LeBytes(ini));
  std::u16string redirect = package.GetValue(u"BuildOptions", u"Routelle");
  if (!redirect.empty() && FileExists(redirect)) {
    if (CopyFileW(W(redirect).c_str(), W(folder + u"\\Routelle.txt").c_str(), FALSE))
      package.SetValue(u"BuildOptions", u"Routelle", u"Routelle.txt");
    else
      failed.push_back(redirect);
  }
  if (!ReplaceFileContents(folder + u"\\Package.ini", package.Bytes())) failed.push_back(folder + u"\\Package.ini");
}

// build.bat in the system's code page, with the build page's command lines.
void WriteBuildScript(const std::u16string& folder, const IniDocument& package, std::vector<std::u16string>& failed) {
  // QUILLMARK_BIN as the wizard takes it (app/Origin.h): whole, or absent when too long.
  std::u16string tools = ReadOrigin(SystemFolderPlatform(), u"").quillmarkBin;
  if (tools.empty()) tools = ToolFolder();
  std::u16string script = BuildScriptText(tools, package.ProfileValue(u"BuildOptions", u"OutDir"));
  std::wstring wide = W(script);
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(size_t(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), ansi.data(), bytes, nullptr, nullptr);
  if (!ReplaceFileContents(folder + u"\\build.bat", ansi)) failed.push_back(folder + u"\\build.bat");
}

}  // namespace

int RunGenerate(const ToolCommand& c, ToolOutput& out) {
  InitFolderMacros();
  std::u16string working = FullPath(c.file);
  std::u16string folder = FullPath(c.output);
  while (folder.size() > 3 && (folder.back() == u'\\' || folder.back() == u'/')) folder.pop_back();
  IniDocument doc;
  std::u16string before, after;
  if (!ReadWorkingProject(working, doc, before, after, out)) return 1;
  GenerationPlanner plan(SystemEnvironment(), CurrentUserSid());
  if (!Compare(before, after, plan, out)) return 1;
  if (!MakeProjectFolder(folder, plan, doc, out)) return 1;

  std::vector<std::u16string> failed;
  WriteCapture(folder, plan, out, failed);
  IniDocument package;
  WritePackageIni(folder, doc, package, failed);
  WriteBuildScript(folder, package, failed);
  if (!failed.empty()) {
    out.Error(Grouped(failed.size()) + u" files could not be written to the project (first: " + failed.front() +
              u"). Close the programs that use them and generate the project again.");
    return 1;
  }
  out.Info(u"Project written to " + folder + u": " + Grouped(plan.copies.size()) + u" files, " +
           Grouped(plan.HiveTexts().size()) + u" registry files");
  return 0;
}

}  // namespace loom::snap
