// Stand-in for the external tools that Loomwise drives: the scan tool
// (snapshot.exe, snapshot64.exe) and the build tools (vregtool.exe,
// vftool.exe, tlink.exe). One source, built once per tool name.
//
// Output goes to standard output as raw UTF-16LE without a byte-order mark.
// Scan-tool lines carry the prefixes "I ", "W ", "E "; build-tool output is
// plain text with "\n" line ends and "\r" progress updates.
//
// Environment:
//   LOOM_STANDIN_LOG       file to which every run first appends its full
//                          command line as one UTF-8 line (flushed at once)
//   LOOM_STANDIN_SCENARIO  UTF-8 scenario file that scripts the run
//
// The kind of run comes from the program name (vregtool, vftool, tlink) or,
// for the scan tool, from its arguments: "-SuggestProject" (suggest),
// "-GenerateProject" (generate), anything else (scan). The scenario file has
// sections [scan] [suggest] [generate] [vregtool] [vftool] [tlink] [any];
// the run executes its kind's section, else [any], else the built-in default
// (a realistic run, used by the demo). Inside a section, one directive per
// line, in order; blank lines and lines starting with '#' or ';' are skipped:
//   out TEXT        write TEXT and the line end (escapes \r \n \t \\ \uXXXX)
//   outraw TEXT     write TEXT as it is (escapes decoded), no line end
//   eol crlf|lf|cr  line end used by out and lines (default crlf)
//   lines N TEXT    write N lines "TEXT 1" .. "TEXT N" (escapes as for out)
//   chunk N [MS]    later output goes out in writes of N bytes (0 = whole),
//                   pausing MS milliseconds between the writes
//   delay MS        sleep
//   result yes|no|now  write the run's result file at the end (default yes),
//                   not at all, or at once
//   resultfrom PATH the result file is a copy of PATH
//   pidfile PATH    write this process's id (decimal text)
//   waitfile PATH   wait until PATH exists (at most 10 minutes)
//   exit N          stop here; the result file is written (unless "result
//                   no"), then the process exits with code N
//   crash           terminate at once with code 0xC0000005 (no result file)
//   hang            sleep forever (no result file unless "result now" ran)
// Relative paths are taken relative to the scenario file's folder. A bad
// directive is reported as an "E " line and the run exits with code 2.
//
// Result files: scan - the snapshot file (first argument); suggest - the
// working project file (second argument after the switch); generate - the
// project folder (argument after the switch) with Package.ini (a copy of the
// working project file, the first argument) and build.bat; vregtool, vftool -
// the file of their first argument, when its folder exists (vftool adds
// ".thfd" beside it); tlink - one package file per enabled entry point of the
// Package.ini of its first argument (and one for a separate data container),
// in the -OutDir folder, each with an attribute table (see Link).

#include <windows.h>

#include <cwchar>
#include <deque>
#include <string>
#include <vector>

#include <objbase.h>

#include <optional>

#include "framework/WinText.h"
#include "macros/FolderMacros.h"
#include "snapshot/RegFile.h"
#include "util/PackageAttributesWriter.h"
#include "util/Text.h"

namespace {

using loom::Utf8ToWide;
using loom::WideToUtf8;

bool SameNoCase(const std::wstring& a, const wchar_t* b) { return lstrcmpiW(a.c_str(), b) == 0; }

bool IsAbsolute(const std::wstring& p) {
  return (p.size() >= 2 && p[1] == L':') || (p.size() >= 2 && p[0] == L'\\' && p[1] == L'\\');
}

std::wstring FolderOf(const std::wstring& path) {
  size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

bool FolderExists(const std::wstring& p) {
  DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(h);
  return ok;
}

bool ReadBytes(const std::wstring& path, std::string* bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes->append(buf, got);
  CloseHandle(h);
  return true;
}

// UTF-16LE bytes of a text (wchar_t is a UTF-16 code unit on Windows).
std::string Utf16Bytes(const std::wstring& w) {
  return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
}

void CreateFolders(const std::wstring& path) {
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == L'\\' || path[i] == L'/') {
      std::wstring part = path.substr(0, i);
      if (!part.empty() && part.back() != L':') CreateDirectoryW(part.c_str(), nullptr);
    }
  }
}

// The command line, appended before anything else so that a test can see
// what was passed even when the run is then killed.
void LogCommandLine() {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetEnvironmentVariableW(L"LOOM_STANDIN_LOG", path, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return;
  HANDLE h = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  std::string line = WideToUtf8(GetCommandLineW()) + "\r\n";
  DWORD written = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  FlushFileBuffers(h);
  CloseHandle(h);
}

class Output {
 public:
  void Text(const std::wstring& t) { Bytes(Utf16Bytes(t)); }
  void Line(const std::wstring& t) { Text(t + eol); }
  void Bytes(const std::string& b) {
    size_t step = chunk == 0 ? b.size() : chunk;
    for (size_t at = 0; at < b.size(); at += step) {
      if (at > 0 && pauseMs > 0) Sleep(pauseMs);
      DWORD written = 0;
      size_t n = b.size() - at < step ? b.size() - at : step;
      WriteFile(handle_, b.data() + at, static_cast<DWORD>(n), &written, nullptr);
    }
  }
  size_t chunk = 0;
  DWORD pauseMs = 0;
  std::wstring eol = L"\r\n";

 private:
  HANDLE handle_ = GetStdHandle(STD_OUTPUT_HANDLE);
};

enum class Kind { Scan, Suggest, Generate, VRegTool, VFTool, TLink };

const wchar_t* KindName(Kind k) {
  switch (k) {
    case Kind::Scan: return L"scan";
    case Kind::Suggest: return L"suggest";
    case Kind::Generate: return L"generate";
    case Kind::VRegTool: return L"vregtool";
    case Kind::VFTool: return L"vftool";
    case Kind::TLink: return L"tlink";
  }
  return L"";
}

// The suggested project: suggested-project.ini beside this program (UTF-8,
// the one fixture the tests and the demo share), written as the scan tool
// writes it: UTF-16LE with a byte-order mark and CR LF lines. Empty when the
// fixture is missing.
std::string SuggestedProject() {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::string utf8;
  if (!ReadBytes(FolderOf(std::wstring(self, n)) + L"\\suggested-project.ini", &utf8)) return {};
  if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) utf8.erase(0, 3);
  std::string crlf;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) crlf += '\r';
    crlf += utf8[i];
  }
  return "\xFF\xFE" + Utf16Bytes(Utf8ToWide(crlf));
}

// build.bat of a generated project, calling the build tools beside this one.
std::string BuildScript() {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::string tools = WideToUtf8(FolderOf(std::wstring(self, n)));
  return "@echo off\r\n"
         "setlocal\r\n"
         "set PROJECT_DIR=%~dp0\r\n"
         "set TARGET_DIR=%PROJECT_DIR%\\bin\r\n"
         "\"" +
         tools +
         "\\vregtool.exe\" \"%TARGET_DIR%\\Package.ro.tvr\" ImportDir \"%PROJECT_DIR%\" -Loomwise\r\n"
         "\"" +
         tools +
         "\\vftool.exe\" \"%TARGET_DIR%\\Package.ro.tvr\" ImportDir \"%PROJECT_DIR%\" -Loomwise\r\n"
         "\"" +
         tools + "\\tlink.exe\" \"%PROJECT_DIR%\\Package.ini\" -OutDir \"%TARGET_DIR%\" -Loomwise\r\n";
}

class Run {
 public:
  Run(Kind kind, std::vector<std::wstring> args) : kind_(kind), args_(std::move(args)) {}

  // Executes a scenario section; returns the exit code.
  DWORD Script(const std::vector<std::string>& lines, const std::wstring& baseFolder) {
    base_ = baseFolder;
    for (const std::string& raw : lines) {
      size_t start = raw.find_first_not_of(" \t");
      if (start == std::string::npos || raw[start] == '#' || raw[start] == ';') continue;
      size_t space = raw.find(' ', start);
      std::string name = raw.substr(start, space == std::string::npos ? std::string::npos : space - start);
      std::wstring arg = space == std::string::npos ? std::wstring() : Utf8ToWide(raw.substr(space + 1));
      bool ok = true;
      unsigned long n = 0;
      if (name == "out") {
        out_.Line(Unescape(arg));
      } else if (name == "outraw") {
        out_.Text(Unescape(arg));
      } else if (name == "eol") {
        ok = arg == L"crlf" || arg == L"lf" || arg == L"cr";
        out_.eol = arg == L"lf" ? L"\n" : arg == L"cr" ? L"\r" : L"\r\n";
      } else if (name == "lines") {
        size_t sp = arg.find(L' ');
        ok = Number(arg.substr(0, sp), &n);
        if (ok) Lines(n, sp == std::wstring::npos ? std::wstring() : Unescape(arg.substr(sp + 1)));
      } else if (name == "chunk") {
        size_t sp = arg.find(L' ');
        unsigned long pause = 0;
        ok = Number(arg.substr(0, sp), &n) && (sp == std::wstring::npos || Number(arg.substr(sp + 1), &pause));
        out_.chunk = n;
        out_.pauseMs = pause;
      } else if (name == "delay") {
        ok = Number(arg, &n);
        if (ok) Sleep(n);
      } else if (name == "result") {
        ok = arg == L"yes" || arg == L"no" || arg == L"now";
        if (arg == L"now") WriteResult();
        writeResult_ = arg != L"no";
      } else if (name == "resultfrom") {
        resultFrom_ = Resolve(arg);
      } else if (name == "pidfile") {
        WriteBytes(Resolve(arg), std::to_string(GetCurrentProcessId()));
      } else if (name == "waitfile") {
        std::wstring path = Resolve(arg);
        for (int i = 0; i < 10 * 60 * 50 && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(20);
      } else if (name == "exit") {
        ok = Number(arg, &n);
        if (ok) return Finish(n);
      } else if (name == "crash") {
        TerminateProcess(GetCurrentProcess(), 0xC0000005);
      } else if (name == "hang") {
        for (;;) Sleep(INFINITE);
      } else {
        ok = false;
      }
      if (!ok) {
        out_.chunk = 0;
        out_.Text(L"E stand-in: bad directive: " + Utf8ToWide(raw) + L"\r\n");
        return 2;
      }
    }
    return Finish(0);
  }

  // The built-in behaviour: a realistic run with progress output.
  DWORD Default() {
    switch (kind_) {
      case Kind::Scan: Scan(); break;
      case Kind::Suggest:
        for (const wchar_t* step : {L"I 正在读取预扫描", L"I 正在读取扫描后", L"I 正在比较预扫描和扫描后"}) {
          out_.Text(std::wstring(step) + L"\r\n");
          Sleep(150);
        }
        out_.Text(L"I 正在写入项目 " + SwitchArg(L"-SuggestProject", 2) + L"\r\n");
        break;
      case Kind::Generate:
        out_.Text(L"I 正在保存项目到 " + SwitchArg(L"-GenerateProject", 1) + L"\r\n");
        Sleep(150);
        out_.Text(L"I Package.ini\r\nI build.bat\r\nI 项目已保存\r\n");
        break;
      case Kind::VRegTool:
      case Kind::VFTool:
      case Kind::TLink: Build(); break;
    }
    return Finish(0);
  }

 private:
  static bool Number(const std::wstring& s, unsigned long* n) {
    if (s.empty() || s.find_first_not_of(L"0123456789") != std::wstring::npos || s.size() > 9) return false;
    *n = std::wcstoul(s.c_str(), nullptr, 10);
    return true;
  }

  static std::wstring Unescape(const std::wstring& s) {
    std::wstring r;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] != L'\\' || i + 1 == s.size()) {
        r += s[i];
        continue;
      }
      wchar_t c = s[++i];
      if (c == L'r')
        r += L'\r';
      else if (c == L'n')
        r += L'\n';
      else if (c == L't')
        r += L'\t';
      else if (c == L'u' && i + 4 < s.size() &&
               s.substr(i + 1, 4).find_first_not_of(L"0123456789abcdefABCDEF") == std::wstring::npos) {
        r += static_cast<wchar_t>(std::wcstoul(s.substr(i + 1, 4).c_str(), nullptr, 16));
        i += 4;
      } else
        r += c;  // "\\" and any other escaped character stand for themselves
    }
    return r;
  }

  std::wstring Resolve(const std::wstring& p) const { return IsAbsolute(p) || base_.empty() ? p : base_ + L"\\" + p; }

  std::wstring Arg(size_t i) const { return i < args_.size() ? args_[i] : std::wstring(); }

  // The argument `offset` places after the switch (case-insensitive match).
  std::wstring SwitchArg(const wchar_t* sw, size_t offset) const {
    for (size_t i = 0; i < args_.size(); ++i)
      if (SameNoCase(args_[i], sw)) return Arg(i + offset);
    return {};
  }

  void Lines(unsigned long n, const std::wstring& text) {
    std::wstring batch;
    for (unsigned long i = 1; i <= n; ++i) {
      batch += text + L" " + std::to_wstring(i) + out_.eol;
      if (batch.size() >= 16384) {
        out_.Text(batch);
        batch.clear();
      }
    }
    out_.Text(batch);
  }

  DWORD Finish(DWORD code) {
    if (writeResult_) WriteResult();
    return code;
  }

  std::string Content(const std::string& fallback) const {
    std::string bytes;
    if (!resultFrom_.empty() && ReadBytes(resultFrom_, &bytes)) return bytes;
    return fallback;
  }

  void WriteResult() {
    std::string note = WideToUtf8(std::wstring(L"stand-in ") + KindName(kind_) + L" result\r\n");
    switch (kind_) {
      case Kind::Scan: WriteBytes(Arg(0), Content(note + WideToUtf8(Join(args_)) + "\r\n" + scanned_)); break;
      case Kind::Suggest: WriteBytes(SwitchArg(L"-SuggestProject", 2), Content(SuggestedProject())); break;
      case Kind::Generate: {
        std::wstring folder = SwitchArg(L"-GenerateProject", 1);
        CreateFolders(folder);
        std::string project;
        if (resultFrom_.empty() && ReadBytes(Arg(0), &project))
          WriteBytes(folder + L"\\Package.ini", project);
        else
          WriteBytes(folder + L"\\Package.ini", Content(SuggestedProject()));
        WriteBytes(folder + L"\\build.bat", BuildScript());
        WriteBytes(folder + L"\\HKEY_LOCAL_MACHINE.reg",
                   "\xFF\xFE" + loom::ToUtf16LeBytes(loom::snap::RegFileText({})));
        break;
      }
      case Kind::VRegTool:
      case Kind::VFTool:
        if (!FolderExists(FolderOf(Arg(0)).empty() ? L"." : FolderOf(Arg(0)))) break;
        WriteBytes(Arg(0), Content(note));
        if (kind_ == Kind::VFTool) WriteBytes(Arg(0) + L".thfd", note);
        if (kind_ == Kind::VRegTool) ImportRegistry(SwitchArg(L"ImportDir", 1), Arg(0) + L".reg");
        break;
      case Kind::TLink: Link(); break;
    }
  }

  // vregtool: the project's registry files (HKEY_*.reg) with the folder
  // macros in their string data expanded for this system, in one .reg file
  // beside the result: what the package's registry would hold.
  static void ImportRegistry(const std::wstring& folder, const std::wstring& target) {
    loom::InitFolderMacros();
    std::vector<loom::snap::RegRecord> all;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\HKEY_*.reg").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
      std::string bytes;
      if (!ReadBytes(folder + L"\\" + fd.cFileName, &bytes) || bytes.compare(0, 2, "\xFF\xFE") != 0) continue;
      std::vector<loom::snap::RegRecord> records;
      loom::snap::ParseRegFile(loom::FromUtf16LeBytes(bytes.data() + 2, (bytes.size() - 2) & ~size_t(1)), records);
      for (loom::snap::RegRecord& r : records) {
        r.data = loom::snap::RewriteRegistryStrings(
            r.type, r.data, [](std::u16string_view text) { return loom::ExpandFolderMacros(text, false); });
        all.push_back(std::move(r));
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    WriteBytes(target, "\xFF\xFE" + loom::ToUtf16LeBytes(loom::snap::RegFileText(all)));
  }

  // tlink: one package file per enabled entry point, and one for a separate
  // data container, each carrying the attribute table a built package has:
  // InventoryName; AppID and VersionID when the project has an AppID ("genid"
  // gets a fresh identity); ReadOnlyData on the primary data container.
  void Link() {
    const std::wstring ini = Arg(0), outDir = SwitchArg(L"-OutDir", 1);
    CreateFolders(outDir);
    std::wstring inventory = Profile(ini, L"BuildOptions", L"InventoryName");
    std::wstring appId = Profile(ini, L"BuildOptions", L"AppID");
    std::wstring version = Profile(ini, L"BuildOptions", L"VersionID");
    std::wstring primary = Profile(ini, L"BuildOptions", L"PrimaryDataContainer");
    if (SameNoCase(appId, L"genid")) appId = FreshId();
    if (!appId.empty() && version.empty()) version = L"1";
    std::vector<std::wstring> files = EntryPoints(ini);
    if (primary.empty()) primary = files.front();
    bool separate = true;
    for (const std::wstring& f : files) separate &= !SameNoCase(f, primary.c_str());
    if (separate) files.push_back(primary);
    for (const std::wstring& name : files) {
      loom::PackageAttributeList attrs;
      attrs.emplace_back(u"InventoryName", U16(inventory));
      if (!appId.empty()) {
        attrs.emplace_back(u"AppID", U16(appId));
        attrs.emplace_back(u"VersionID", U16(version));
      }
      if (SameNoCase(name, primary.c_str())) attrs.emplace_back(u"ReadOnlyData", u"Package.ro.tvr");
      std::optional<std::string> bytes =
          loom::MakePackageFile(attrs, Content(WideToUtf8(L"stand-in package " + name + L"\r\n")));
      if (bytes) WriteBytes(outDir.empty() ? name : outDir + L"\\" + name, *bytes);
    }
  }

  static std::u16string U16(const std::wstring& w) { return std::u16string(w.begin(), w.end()); }

  static std::wstring Profile(const std::wstring& ini, const wchar_t* section, const wchar_t* key) {
    std::vector<wchar_t> value(4096);
    DWORD n = GetPrivateProfileStringW(section, key, L"", value.data(), DWORD(value.size()), ini.c_str());
    return std::wstring(value.data(), n);
  }

  static std::wstring FreshId() {
    GUID g;
    if (CoCreateGuid(&g) != S_OK) return L"{00000000-0000-0000-0000-000000000001}";
    wchar_t text[64];
    StringFromGUID2(g, text, 64);
    return text;
  }

  // Enabled entry points (sections with a Source key) of a Package.ini.
  static std::vector<std::wstring> EntryPoints(const std::wstring& ini) {
    std::vector<std::wstring> names;
    std::vector<wchar_t> sections(65536);
    DWORD n = GetPrivateProfileSectionNamesW(sections.data(), static_cast<DWORD>(sections.size()), ini.c_str());
    for (const wchar_t* s = sections.data(); s < sections.data() + n && *s; s += wcslen(s) + 1) {
      wchar_t value[MAX_PATH];
      if (GetPrivateProfileStringW(s, L"Source", L"", value, MAX_PATH, ini.c_str()) == 0) continue;
      if (GetPrivateProfileIntW(s, L"Disabled", 0, ini.c_str()) != 0) continue;
      std::wstring name = s;
      if (name.size() < 4 || lstrcmpiW(name.c_str() + name.size() - 4, L".exe") != 0) name += L".exe";
      names.push_back(name);
    }
    if (names.empty()) names.push_back(L"Package.exe");
    return names;
  }

  static std::wstring Join(const std::vector<std::wstring>& parts) {
    std::wstring r;
    for (const std::wstring& p : parts) r += (r.empty() ? L"" : L" ") + p;
    return r;
  }

  // Walks up to about 300 real entries under the drive roots (at most two
  // seconds), reporting each, then names the registry hives.
  void Scan() {
    DWORD start = GetTickCount();
    int count = 0;
    for (size_t i = 1; i < args_.size(); ++i) {
      const std::wstring& root = args_[i];
      if (root.size() == 3 && root[1] == L':' && root[2] == L'\\') {
        std::deque<std::wstring> folders{root.substr(0, 2)};
        while (!folders.empty() && count < 300 && GetTickCount() - start < 2000) {
          std::wstring folder = folders.front();
          folders.pop_front();
          WIN32_FIND_DATAW fd;
          HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
          if (h == INVALID_HANDLE_VALUE) continue;
          do {
            if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
            std::wstring path = folder + L"\\" + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(path);
            out_.Text(L"I 正在扫描 " + path + L"\r\n");
            scanned_ += WideToUtf8(path) + "\r\n";
            if (++count % 20 == 0) Sleep(40);
          } while (count < 300 && FindNextFileW(h, &fd));
          FindClose(h);
        }
      } else if (root.rfind(L"HKEY_", 0) == 0) {
        out_.Text(L"I 正在扫描 " + root + L"\r\n");
        scanned_ += WideToUtf8(root) + "\r\n";
        Sleep(100);
      }
    }
    out_.Text(L"I 扫描完成，共 " + std::to_wstring(count) + L" 个条目\r\n");
  }

  void Build() {
    std::wstring target = kind_ == Kind::TLink ? SwitchArg(L"-OutDir", 1) : Arg(0);
    std::wstring what = kind_ == Kind::VRegTool ? L"Importing registry from "
                        : kind_ == Kind::VFTool ? L"Importing files from "
                                                : L"Linking executables from ";
    out_.Text(std::wstring(KindName(kind_)) + L" (stand-in): " + what +
              (kind_ == Kind::TLink ? Arg(0) : SwitchArg(L"ImportDir", 1)) + L"\n");
    for (int p = 10; p <= 100; p += 10) {
      out_.Text(std::to_wstring(p) + (p == 100 ? L"%\n" : L"%\r"));
      Sleep(40);
    }
    if (kind_ != Kind::TLink && !FolderExists(FolderOf(target).empty() ? L"." : FolderOf(target)))
      out_.Text(L"Folder of " + target + L" does not exist; nothing written\n");
    else
      out_.Text(L"Wrote " + target + L"\n");
  }

  Kind kind_;
  std::vector<std::wstring> args_;
  Output out_;
  std::wstring base_, resultFrom_;
  std::string scanned_;
  bool writeResult_ = true;
};

Kind KindOf(const std::vector<std::wstring>& args) {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring name(self, n);
  name = name.substr(name.find_last_of(L"\\/") + 1);
  name = name.substr(0, name.rfind(L'.'));
  if (SameNoCase(name, L"vregtool")) return Kind::VRegTool;
  if (SameNoCase(name, L"vftool")) return Kind::VFTool;
  if (SameNoCase(name, L"tlink")) return Kind::TLink;
  for (const std::wstring& a : args) {
    if (SameNoCase(a, L"-SuggestProject")) return Kind::Suggest;
    if (SameNoCase(a, L"-GenerateProject")) return Kind::Generate;
  }
  return Kind::Scan;
}

// Lines of one section of the scenario: the kind's own, else [any]. False
// when neither exists (or there is no scenario).
bool ScenarioSection(Kind kind, std::vector<std::string>* lines, std::wstring* folder) {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetEnvironmentVariableW(L"LOOM_STANDIN_SCENARIO", path, MAX_PATH * 2);
  std::string text;
  if (n == 0 || n >= MAX_PATH * 2 || !ReadBytes(path, &text)) return false;
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  *folder = FolderOf(path);
  std::string want = WideToUtf8(std::wstring(L"[") + KindName(kind) + L"]");
  std::vector<std::string> own, any;
  std::vector<std::string>* current = nullptr;
  bool haveOwn = false, haveAny = false;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find('\n', at);
    std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? text.size() + 1 : end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '[') {
      std::string header = line.substr(first, line.find_last_not_of(" \t") - first + 1);
      for (char& c : header) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      current = header == want ? &own : header == "[any]" ? &any : nullptr;
      haveOwn |= current == &own;
      haveAny |= current == &any;
    } else if (current) {
      current->push_back(line);
    }
  }
  if (!haveOwn && !haveAny) return false;
  *lines = haveOwn ? own : any;
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  LogCommandLine();
  std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  Kind kind = KindOf(args);
  Run run(kind, args);
  std::vector<std::string> lines;
  std::wstring folder;
  DWORD code = ScenarioSection(kind, &lines, &folder) ? run.Script(lines, folder) : run.Default();
  ExitProcess(code);
}
