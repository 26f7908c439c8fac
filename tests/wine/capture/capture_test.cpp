// The real capture tool end to end under Wine: scan, install the sample
// application, scan again, suggest, generate; and the ways a run fails.
// Runs from the Windows build tree: capture\snapshot64.exe and
// sample\SampleSetup.exe beside this program's folder.
#include <shlobj.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "WizardDriver.h"
#include "macros/FolderMacros.h"
#include "project/IniDocument.h"
#include "snapshot/RegFile.h"
#include "util/Text.h"

using namespace loomtest;

namespace {

std::wstring W(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
std::u16string U(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }
std::string N(std::u16string_view s) { return loom::Utf16ToUtf8(s); }

std::wstring Temp() { return TempFolder() + L"\\loomcapture"; }

struct ToolRun {
  DWORD code = 0xFFFFFFFF;
  std::vector<std::u16string> lines;
  std::u16string Lines(char16_t kind) const {
    std::u16string out;
    for (const auto& l : lines)
      if (l.size() >= 2 && l[0] == kind && l[1] == u' ') out += l.substr(2) + u"\n";
    return out;
  }
};

// Runs a command line with standard output and error in one pipe, as the
// wizard does, and splits the UTF-16LE output into lines.
ToolRun Start(const std::wstring& commandLine) {
  ToolRun run;
  Captured c = RunCaptured(commandLine, {}, L"", INFINITE);
  if (c.finished) run.code = c.exitCode;
  std::u16string text = loom::FromUtf16LeBytes(c.output.data(), c.output.size() & ~size_t(1));
  size_t i = 0;
  while (i < text.size()) {
    size_t e = text.find_first_of(u"\r\n", i);
    if (e == std::u16string::npos) e = text.size();
    if (e > i) run.lines.push_back(text.substr(i, e - i));
    i = e + 1;
  }
  return run;
}

std::wstring Tool() { return BuildFolder() + L"\\capture\\snapshot64.exe"; }
const std::wstring kRoots = L"C:\\ HKEY_LOCAL_MACHINE HKEY_USERS";

ToolRun Scan(const std::wstring& snapshot, const std::wstring& roots = kRoots) {
  return Start(Quoted(Tool()) + L" " + Quoted(snapshot) + L" " + roots + L" -Loomwise");
}
ToolRun Suggest(const std::wstring& before, const std::wstring& after, const std::wstring& ini) {
  return Start(Quoted(Tool()) + L" " + Quoted(before) + L" -SuggestProject " + Quoted(after) + L" " + Quoted(ini) +
               L" -IESelection 0 -Loomwise");
}
ToolRun Generate(const std::wstring& ini, const std::wstring& folder) {
  return Start(Quoted(Tool()) + L" " + Quoted(ini) + L" -GenerateProject " + Quoted(folder) + L" -Loomwise");
}

bool Exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string Bytes(const std::wstring& p) { return ReadBytes(p).value_or("<missing>"); }

std::u16string Utf16File(const std::wstring& p) {
  std::string b = Bytes(p);
  if (b.size() < 2 || b.compare(0, 2, "\xFF\xFE") != 0) return u"<no byte-order mark>";
  return loom::FromUtf16LeBytes(b.data() + 2, b.size() - 2);
}

// Every file below `folder`, relative.
void ListFiles(const std::wstring& folder, const std::wstring& rel, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\" + rel + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring n = fd.cFileName;
    if (n == L"." || n == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(folder, rel + n + L"\\", out);
    else
      out.push_back(rel + n);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

// A folder chain below the sample's folder whose full path passes 260
// characters, with names in Chinese (长路径 = long path).
std::wstring DeepFolder(const std::wstring& programFiles) {
  std::wstring p = programFiles + L"\\Sample App";
  for (int i = 0; i < 6; ++i) p += L"\\\u957F\u8DEF\u5F84 " + std::wstring(40, wchar_t(L'a' + i));
  return p;
}

std::wstring ProgramFiles() {
  wchar_t p[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"ProgramFiles", p, MAX_PATH);
  return std::wstring(p, n);
}

// One capture shared by the tests: the sample installed between two scans,
// with noise in excluded places and a file deleted meanwhile.
class Capture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CreateDirectoryW(Temp().c_str(), nullptr);
    // The tool writes its current default exclusions (a list left by an
    // older build would lack the newer ones).
    DeleteFileW((BuildFolder() + L"\\capture\\snapshot-exclude.txt").c_str());
    WriteBytes(L"C:\\victim.txt", "deleted between the scans");
    WriteBytes(Temp() + L"\\stopped.snapshot.new", "left by a scan that was stopped");
    before_ = Scan(Temp() + L"\\before.snapshot");
    WriteBytes(Temp() + L"\\noise.txt", "temp files are left out");
    DeleteFileW(L"C:\\victim.txt");
    install_ = Start(Quoted(BuildFolder() + L"\\sample\\SampleSetup.exe") + L" /S");
    std::wstring deep = DeepFolder(ProgramFiles());
    for (size_t cut = deep.find(L'\\', ProgramFiles().size() + 12); cut != std::wstring::npos;
         cut = deep.find(L'\\', cut + 1))
      CreateDirectoryW((L"\\\\?\\" + deep.substr(0, cut)).c_str(), nullptr);
    CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    WriteBytes(L"\\\\?\\" + deep + L"\\\u6570\u636E.bin", std::string("deep\0data", 9));  // 数据.bin
    after_ = Scan(Temp() + L"\\after.snapshot");
    suggest_ = Suggest(Temp() + L"\\before.snapshot", Temp() + L"\\after.snapshot", Temp() + L"\\work.ini");
  }
  static ToolRun before_, install_, after_, suggest_;
};
ToolRun Capture::before_, Capture::install_, Capture::after_, Capture::suggest_;

TEST_F(Capture, ScansFollowTheProtocol) {
  for (const ToolRun* r : {&before_, &after_, &suggest_}) {
    EXPECT_EQ(r->code, 0u) << N(r->Lines(u'E'));
    EXPECT_TRUE(r->Lines(u'E').empty()) << N(r->Lines(u'E'));
    for (const auto& line : r->lines) EXPECT_TRUE(line.rfind(u"I ", 0) == 0 || line.rfind(u"W ", 0) == 0) << N(line);
  }
  EXPECT_EQ(install_.code, 0u);
  EXPECT_TRUE(Exists(Temp() + L"\\after.snapshot"));
  EXPECT_FALSE(Exists(Temp() + L"\\after.snapshot.new"));
  EXPECT_FALSE(Exists(Temp() + L"\\stopped.snapshot.new"));  // a stopped scan's leftover is cleared
  // Paced progress: a scan of a fresh prefix takes a few seconds at most.
  EXPECT_LT(after_.lines.size(), 200u);
  EXPECT_NE(after_.Lines(u'I').find(u"Scan complete"), std::u16string::npos);
}

TEST_F(Capture, SuggestedProjectOffersTheSample) {
  ASSERT_EQ(suggest_.code, 0u) << N(suggest_.Lines(u'E'));
  loom::IniDocument doc;
  ASSERT_TRUE(doc.Load(U(Temp() + L"\\work.ini")));
  ASSERT_EQ(doc.Text()[0], 0xFEFF);
  EXPECT_NE(doc.Text().find(u"\r\n[BuildOptions]\r\n"), std::u16string::npos);
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"InventoryName"), u"Sample App");
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"OutDir"), u"bin");
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"EstimatedDataContainerSize"), u"1");
  std::u16string source = doc.GetValue(u"Sample App.exe", u"Source");
  EXPECT_EQ(source.rfind(u"%ProgramFiles", 0), 0u) << N(source);
  EXPECT_NE(source.find(u"%\\Sample App\\SampleApp.exe"), std::u16string::npos) << N(source);
  EXPECT_EQ(doc.GetValue(u"Sample App.exe", u"PreSelected"), u"1");
  std::vector<std::u16string> entries;
  for (const auto& s : doc.ListSections())
    if (!doc.GetValue(s, u"Source").empty()) entries.push_back(s);
  EXPECT_EQ(entries, std::vector<std::u16string>{u"Sample App.exe"});  // not the uninstaller
  EXPECT_EQ(doc.Text().find(u"noise"), std::u16string::npos);
}

TEST_F(Capture, GeneratedProjectHoldsTheInstallation) {
  const std::wstring project = L"C:\\Projects\\Sample App";
  ToolRun gen = Generate(Temp() + L"\\work.ini", project);
  ASSERT_EQ(gen.code, 0u) << N(gen.Lines(u'E'));
  loom::IniDocument doc;
  ASSERT_TRUE(doc.Load(U(project + L"\\Package.ini")));
  EXPECT_EQ(doc.GetValue(u"BuildOptions", u"InventoryName"), u"Sample App");
  EXPECT_EQ(doc.Text().find(u"CaptureSnapshots"), std::u16string::npos);

  std::u16string source = doc.GetValue(u"Sample App.exe", u"Source");
  std::wstring macroFolder = W(source.substr(0, source.find(u'\\')));  // "%ProgramFilesDir...%"
  const std::wstring live = ProgramFiles() + L"\\Sample App";
  for (const wchar_t* f : {L"SampleApp.exe", L"sample.dll", L"Sample.ini", L"uninstall.exe"}) {
    std::wstring copy = project + L"\\" + macroFolder + L"\\Sample App\\" + f;
    EXPECT_EQ(Bytes(copy), Bytes(live + L"\\" + f)) << N(U(copy));
  }
  // A path beyond 260 characters, in Chinese, arrives too.
  std::wstring deep = DeepFolder(project + L"\\" + macroFolder);
  ASSERT_GT(deep.size(), 260u);
  EXPECT_EQ(Bytes(L"\\\\?\\" + deep + L"\\\u6570\u636E.bin"), std::string("deep\0data", 9));
  std::vector<std::wstring> files;
  ListFiles(project, L"", files);
  bool shortcut = false;
  for (const auto& f : files) {
    EXPECT_EQ(f.find(L"victim"), std::wstring::npos);
    EXPECT_EQ(f.find(L"noise"), std::wstring::npos);
    EXPECT_EQ(f.find(L"snapshot"), std::wstring::npos);
    shortcut = shortcut || f.find(L"Sample App.lnk") != std::wstring::npos;
  }
  EXPECT_TRUE(shortcut);

  // The registry files: see Engines below.
  std::string bat = Bytes(project + L"\\build.bat");
  EXPECT_NE(bat.find("\\vregtool.exe\" \"%TARGET_DIR%\\Package.ro.tvr\" ImportDir \"%PROJECT_DIR%\" -Loomwise\r\n"),
            std::string::npos);
}

TEST_F(Capture, KeptExclusionListNamesTheDefaultItLacks) {
  // A copy of the tool beside a list kept from an older version.
  const std::wstring folder = Temp() + L"\\oldtool", tool = folder + L"\\snapshot64.exe";
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(Tool().c_str(), tool.c_str(), FALSE));
  std::string list = Bytes(BuildFolder() + L"\\capture\\snapshot-exclude.txt");
  size_t at = list.find("%SystemRoot%\\Installer\r\n");
  ASSERT_NE(at, std::string::npos);
  WriteBytes(folder + L"\\snapshot-exclude.txt", list.erase(at, 24));
  ToolRun r = Start(Quoted(tool) + L" " + Quoted(Temp() + L"\\before.snapshot") + L" -SuggestProject " +
                    Quoted(Temp() + L"\\after.snapshot") + L" " + Quoted(Temp() + L"\\old.ini") + L" -IESelection 0");
  EXPECT_EQ(r.code, 0u);
  EXPECT_NE(r.Lines(u'I').find(u"lacks 1 of this version's default lines (first: %SystemRoot%\\Installer)"),
            std::u16string::npos)
      << N(r.Lines(u'I'));
  EXPECT_EQ(suggest_.Lines(u'I').find(u"lacks"), std::u16string::npos);  // the current list lacks nothing
}

TEST_F(Capture, FailuresSayWhatToDo) {
  const std::wstring t = Temp();
  std::string after = Bytes(t + L"\\after.snapshot");
  WriteBytes(t + L"\\cut.snapshot", after.substr(0, after.size() / 2));
  WriteBytes(t + L"\\foreign.ini", std::string("\xFF\xFE;\0\r\0\n\0", 8));

  struct Case {
    const char* what;
    ToolRun run;
    std::wstring mustNotExist;
    const char16_t* mentions;
  };
  std::vector<Case> cases;
  cases.push_back({"unwritable snapshot path", Scan(L"C:\\no\\such\\folder\\x.snapshot", L"HKEY_USERS"),
                   L"C:\\no\\such\\folder\\x.snapshot", u"C:\\no\\such\\folder\\x.snapshot"});
  cases.push_back({"missing scan root", Scan(t + L"\\q.snapshot", L"Q:\\ HKEY_USERS"), t + L"\\q.snapshot", u"Q:\\"});
  cases.push_back({"truncated snapshot", Suggest(t + L"\\before.snapshot", t + L"\\cut.snapshot", t + L"\\cut.ini"),
                   t + L"\\cut.ini", u"cut.snapshot"});
  cases.push_back({"project in a drive root", Generate(t + L"\\work.ini", L"C:\\"), L"C:\\Package.ini", u"root"});
  cases.push_back({"project in the application's folder",
                   Generate(t + L"\\work.ini", ProgramFiles() + L"\\Sample App\\Project"),
                   ProgramFiles() + L"\\Sample App\\Project", u"Sample App"});
  cases.push_back({"working file without its scans", Generate(t + L"\\foreign.ini", L"C:\\Projects\\Foreign"),
                   L"C:\\Projects\\Foreign", u"foreign.ini"});
  {
    // Another program holds a captured file open without sharing.
    std::wstring dll = ProgramFiles() + L"\\Sample App\\sample.dll";
    HANDLE lock = CreateFileW(dll.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(lock, INVALID_HANDLE_VALUE);
    cases.push_back({"locked file", Generate(t + L"\\work.ini", L"C:\\Projects\\Locked"), L"", u"sample.dll"});
    CloseHandle(lock);
    EXPECT_EQ(Bytes(L"C:\\Projects\\Locked\\Package.ini").substr(0, 2), "\xFF\xFE");  // the rest was written
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(c.run.code, 0u);
    std::u16string errors = c.run.Lines(u'E');
    EXPECT_FALSE(errors.empty());
    EXPECT_NE((errors + c.run.Lines(u'W')).find(c.mentions), std::u16string::npos) << N(errors);
    if (!c.mustNotExist.empty()) { EXPECT_FALSE(Exists(c.mustNotExist)); }
  }
}

// ---- installers built by real installer engines ----

// Every key and value below a live key, named from its hive ("HKEY_LOCAL_MACHINE\...").
struct LiveValue {
  std::u16string key, name;
  DWORD type = 0;
  std::string data;
};
void WalkKey(HKEY root, const std::u16string& hive, const std::u16string& sub, std::set<std::u16string>& keys,
             std::vector<LiveValue>& values) {
  HKEY k;
  if (RegOpenKeyExW(root, W(sub).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &k)) return;
  keys.insert(hive + u"\\" + sub);
  wchar_t name[16384];
  std::vector<BYTE> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD n = 16384, type = 0, size = DWORD(data.size());
    if (RegEnumValueW(k, i, name, &n, nullptr, &type, data.data(), &size)) break;
    values.push_back({hive + u"\\" + sub, U(std::wstring_view(name, n)), type,
                      std::string(reinterpret_cast<char*>(data.data()), size)});
  }
  std::vector<std::u16string> subs;
  for (DWORD i = 0;; ++i) {
    DWORD n = 16384;
    if (RegEnumKeyExW(k, i, name, &n, nullptr, nullptr, nullptr, nullptr)) break;
    subs.push_back(sub + u"\\" + U(std::wstring_view(name, n)));
  }
  RegCloseKey(k);
  for (const auto& s : subs) WalkKey(root, hive, s, keys, values);
}
void WalkKey(const std::u16string& full, std::set<std::u16string>& keys, std::vector<LiveValue>& values) {
  size_t cut = full.find(u'\\');
  std::u16string hive = full.substr(0, cut);
  WalkKey(hive == u"HKEY_CURRENT_USER" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, hive, full.substr(cut + 1), keys,
          values);
}

std::u16string Upper(std::u16string s) {
  for (char16_t& c : s) c = c >= u'a' && c <= u'z' ? c - 32 : c;
  return s;
}
bool Within(const std::u16string& path, const std::u16string& folder) {
  std::u16string p = Upper(path), f = Upper(folder);
  return p.rfind(f, 0) == 0 && (p.size() == f.size() || p[f.size()] == u'\\');
}

std::wstring ShellFolder(int csidl) {
  wchar_t p[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, 0, p);
  return p;
}

// The project's registry files, as written.
std::vector<loom::snap::RegRecord> ProjectRegistry(const std::wstring& project) {
  std::vector<loom::snap::RegRecord> records;
  for (const wchar_t* hive : {L"HKEY_LOCAL_MACHINE", L"HKEY_CURRENT_USER", L"HKEY_USERS"}) {
    std::wstring path = project + L"\\" + hive + L".reg";
    if (!Exists(path)) continue;
    size_t bad = 0;
    EXPECT_TRUE(loom::snap::ParseRegFile(Utf16File(path), records, &bad)) << N(U(path)) << " line " << bad;
  }
  return records;
}

struct EngineCase {
  const char* what;
  std::wstring install;                                              // command line
  std::u16string folder;                                             // the program folder it makes
  std::u16string menuName;                                           // its Start Menu folder's name
  std::vector<std::u16string> roots;                                 // the keys it makes, from the hive
  std::u16string entry;                                              // the one entry point
  std::vector<std::pair<std::u16string, std::u16string>> macroData;  // value name -> data with folder macros
};

std::wstring ImportFolder() { return BuildFolder() + L"\\capture-import"; }

// Installs each case between two real scans, checks its project, and leaves
// the registry for the import into a fresh prefix (RegImport below).
class Engines : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitFolderMacrosOnce();
    CreateDirectoryW(Temp().c_str(), nullptr);
    CreateDirectoryW(ImportFolder().c_str(), nullptr);
    for (const wchar_t* f : {L"nsis.reg", L"nsis.expected", L"msi.reg", L"msi.expected"})
      DeleteFileW((ImportFolder() + L"\\" + f).c_str());  // none left from an earlier run
    before_ = Scan(Temp() + L"\\e0.snapshot");
  }
  static void InitFolderMacrosOnce() { loom::InitFolderMacros(); }

  void Capture(EngineCase c, int n) {
    SCOPED_TRACE(c.what);
    std::wstring s0 = Temp() + L"\\e" + std::to_wstring(n) + L".snapshot",
                 s1 = Temp() + L"\\e" + std::to_wstring(n + 1) + L".snapshot";
    ToolRun install = Start(c.install);
    ASSERT_EQ(install.code, 0u);
    ASSERT_EQ(Scan(s1).code, 0u);
    // Its uninstall entry, found by its display name (an MSI names it by the product code).
    const std::u16string uninstall = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    std::set<std::u16string> keys;
    std::vector<LiveValue> values;
    WalkKey(u"HKEY_LOCAL_MACHINE\\" + uninstall, keys, values);
    for (const LiveValue& v : values)
      if (v.name == u"DisplayName" && v.data == loom::ToUtf16LeBytes(c.menuName) + std::string(2, '\0'))
        c.roots.push_back(v.key);
    // The projects go to the temp folder, which the scans leave out.
    std::wstring ini = Temp() + L"\\" + U16W(c.what) + L".ini", project = Temp() + L"\\Projects\\" + U16W(c.what);
    ToolRun suggest = Suggest(s0, s1, ini);
    ASSERT_EQ(suggest.code, 0u) << N(suggest.Lines(u'E'));
    // The last line sums up the project.
    ASSERT_FALSE(suggest.lines.empty());
    EXPECT_EQ(suggest.lines.back().rfind(u"I Suggested project \"", 0), 0u) << N(suggest.lines.back());
    loom::IniDocument doc;
    ASSERT_TRUE(doc.Load(U(ini)));
    std::vector<std::u16string> entries;
    for (const auto& s : doc.ListSections())
      if (!doc.GetValue(s, u"Source").empty()) entries.push_back(s);
    EXPECT_EQ(entries, std::vector<std::u16string>{c.entry});  // no uninstaller
    ToolRun gen = Generate(ini, project);
    ASSERT_EQ(gen.code, 0u) << N(gen.Lines(u'E'));

    // Files: exactly the program folder and the Start Menu folder, byte for byte.
    std::vector<std::u16string> menus = {U(ShellFolder(CSIDL_COMMON_PROGRAMS)) + u"\\" + c.menuName,
                                         U(ShellFolder(CSIDL_PROGRAMS)) + u"\\" + c.menuName};
    std::set<std::u16string> live, captured;
    for (const std::u16string& f : {c.folder, menus[0], menus[1]}) {
      std::vector<std::wstring> files;
      ListFiles(W(f), L"", files);
      for (const auto& x : files) live.insert(Upper(f + u"\\" + U(x)));
    }
    std::vector<std::wstring> files;
    ListFiles(project, L"", files);
    for (const std::wstring& f : files) {
      if (f == L"Package.ini" || f == L"build.bat" || (f.size() > 4 && f.substr(f.size() - 4) == L".reg")) continue;
      std::u16string path = loom::ExpandFolderMacros(U(f), false);
      captured.insert(Upper(path));
      EXPECT_TRUE(Bytes(project + L"\\" + f) == Bytes(W(path))) << N(path);
    }
    EXPECT_EQ(captured, live);
    EXPECT_GE(live.size(), 3u);

    // Registry: exactly the keys the installer made, each value with its
    // type and data once the folder macros are expanded.
    std::vector<loom::snap::RegRecord> records = ProjectRegistry(project);
    std::set<std::u16string> liveKeys, regKeys;
    std::vector<LiveValue> liveValues;
    for (const auto& r : c.roots) WalkKey(r, liveKeys, liveValues);
    size_t found = 0;
    std::vector<bool> seen(liveValues.size());
    for (const auto& r : records) {
      bool inRoot =
          std::any_of(c.roots.begin(), c.roots.end(), [&](const std::u16string& k) { return Within(r.key, k); });
      bool parent =
          std::any_of(c.roots.begin(), c.roots.end(), [&](const std::u16string& k) { return Within(k, r.key); });
      EXPECT_TRUE(inRoot || (parent && r.kind == loom::snap::RegRecord::kKey)) << N(r.key);
      EXPECT_NE(r.kind, loom::snap::RegRecord::kDeletedKey);
      if (inRoot) regKeys.insert(Upper(r.key));
      if (r.kind != loom::snap::RegRecord::kValue) continue;
      // Path data is in macro form: no string holds the system drive.
      std::u16string raw = loom::FromUtf16LeBytes(r.data.data(), r.data.size() & ~size_t(1));
      if (r.type == REG_SZ || r.type == REG_EXPAND_SZ || r.type == REG_MULTI_SZ) {
        EXPECT_EQ(Upper(raw).find(u"C:\\"), std::u16string::npos) << N(raw);
      }
      for (const auto& [name, data] : c.macroData)
        if (r.name == name) {
          EXPECT_EQ(N(raw), N(data + std::u16string(1, u'\0'))) << N(name);
          ++found;
        }
      std::string expanded = loom::snap::RewriteRegistryStrings(
          r.type, r.data, [](std::u16string_view t) { return loom::ExpandFolderMacros(t, false); });
      auto v = std::find_if(liveValues.begin(), liveValues.end(), [&](const LiveValue& l) {
        return Upper(l.key) == Upper(r.key) && Upper(l.name) == Upper(r.name);
      });
      ASSERT_NE(v, liveValues.end()) << N(r.key + u" " + r.name);
      EXPECT_EQ(v->type, r.type) << N(r.name);
      EXPECT_EQ(v->data, expanded) << N(r.name);
      seen[size_t(v - liveValues.begin())] = true;
    }
    EXPECT_EQ(found, c.macroData.size());
    for (size_t i = 0; i < liveValues.size(); ++i) EXPECT_TRUE(seen[i]) << "not captured: " << N(liveValues[i].name);
    for (const auto& k : liveKeys) EXPECT_TRUE(regKeys.count(Upper(k))) << "key not captured: " << N(k);

    // For the import into a fresh prefix: the registry as the stand-in
    // registry build tool imports it (macros expanded), and the originals.
    ToolRun reg = Start(Quoted(BuildFolder() + L"\\vregtool.exe") + L" " + Quoted(Temp() + L"\\Package.ro.tvr") +
                        L" ImportDir " + Quoted(project) + L" -Loomwise");
    EXPECT_EQ(reg.code, 0u);
    std::string imported = Bytes(Temp() + L"\\Package.ro.tvr.reg");
    EXPECT_EQ(imported.substr(0, 2), "\xFF\xFE");
    WriteBytes(ImportFolder() + L"\\" + U16W(c.what) + L".reg", imported);
    std::vector<loom::snap::RegRecord> originals;
    for (const LiveValue& v : liveValues)
      originals.push_back({loom::snap::RegRecord::kValue, v.key, v.name, v.type, v.data});
    ASSERT_FALSE(originals.empty());
    WriteBytes(ImportFolder() + L"\\" + U16W(c.what) + L".expected",
               "\xFF\xFE" + loom::ToUtf16LeBytes(loom::snap::RegFileText(originals)));
  }
  static std::wstring U16W(const char* s) { return std::wstring(s, s + strlen(s)); }
  static ToolRun before_;
};
ToolRun Engines::before_;

TEST_F(Engines, RealInstallersAreCapturedExactlyAndPortably) {
  ASSERT_EQ(before_.code, 0u);
  const std::u16string pf = U(ProgramFiles());
  std::u16string macro;
  loom::PathToFolderMacros(pf, macro);  // the Program Files folder's macro in this view
  const std::u16string classes = u"HKEY_LOCAL_MACHINE\\Software\\Classes\\";
  EngineCase nsis{"nsis",
                  Quoted(BuildFolder() + L"\\sample\\SampleNsis.exe") + L" /S",
                  pf + u"\\Sample NSIS",
                  u"Sample NSIS",
                  {u"HKEY_LOCAL_MACHINE\\Software\\Fernhill Labs\\Sample NSIS", classes + u".fhnsis",
                   classes + u"FernhillSampleNsis.Document",
                   u"HKEY_CURRENT_USER\\Software\\Fernhill Labs\\Sample NSIS"},  // and its uninstall entry
                  u"Sample NSIS.exe",
                  {{u"InstallDir", macro + u"\\Sample NSIS"},
                   {u"LogFolder", macro + u"\\Sample NSIS\\logs;#25TEMP#25\\Sample NSIS"},
                   {u"QuietUninstallString", u"\"" + macro + u"\\Sample NSIS\\uninst.exe\" /S"},
                   {u"LastDocument", u"%Profile%\\Sample #231.fhnsis"}}};
  Capture(nsis, 0);
  EngineCase msi{"msi",
                 L"msiexec.exe /i " + Quoted(BuildFolder() + L"\\sample\\SampleMsi.msi") + L" /qn",
                 pf + u"\\Sample MSI",
                 u"Sample MSI",
                 {u"HKEY_LOCAL_MACHINE\\Software\\Fernhill Labs\\Sample MSI", classes + u".fhmsi",
                  classes + u"FernhillSampleMsi.Document", u"HKEY_CURRENT_USER\\Software\\Fernhill Labs\\Sample MSI"},
                 u"Sample MSI.exe",
                 {{u"InstallDir", macro + u"\\Sample MSI\\"}}};
  Capture(msi, 1);
  // Windows Installer's own state stayed out: its cache and registration.
  std::vector<std::wstring> files;
  ListFiles(Temp() + L"\\Projects\\msi", L"", files);
  for (const auto& f : files) EXPECT_EQ(f.find(L".msi"), std::wstring::npos) << N(U(f));
  for (const auto& r : ProjectRegistry(Temp() + L"\\Projects\\msi"))
    EXPECT_EQ(Upper(r.key).find(u"\\INSTALLER\\"), std::u16string::npos);
}

}  // namespace

// The registry files of the captures, imported by the system's own "reg
// import" into a fresh prefix (a second run of this program, ctest entry
// wine.capture_import): every value reads back with its type and data.
TEST(RegImport, CapturedRegistryImportsIntoAFreshSystem) {
  std::vector<std::wstring> names = {L"nsis", L"msi"};
  for (const std::wstring& name : names) {
    SCOPED_TRACE(N(U(name)));
    std::wstring file = ImportFolder() + L"\\" + name + L".reg";
    ASSERT_TRUE(Exists(file)) << "run wine.capture first";
    Captured c = RunCaptured(L"reg.exe import " + Quoted(file), {}, L"", 60000);
    ASSERT_TRUE(c.finished);
    EXPECT_EQ(c.exitCode, 0u);
    std::vector<loom::snap::RegRecord> expected;
    ASSERT_TRUE(loom::snap::ParseRegFile(Utf16File(ImportFolder() + L"\\" + name + L".expected"), expected));
    size_t values = 0;
    std::set<DWORD> types;
    for (const auto& r : expected) {
      if (r.kind != loom::snap::RegRecord::kValue) continue;
      size_t cut = r.key.find(u'\\');
      HKEY root = r.key.substr(0, cut) == u"HKEY_CURRENT_USER" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
      std::wstring key = W(r.key.substr(cut + 1)), value = W(r.name);
      HKEY k;
      ASSERT_EQ(RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &k), ERROR_SUCCESS) << N(r.key);
      DWORD type = 0, got = 1 << 16;
      std::string data(got, '\0');
      EXPECT_EQ(RegQueryValueExW(k, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got), 0)
          << N(r.key + u" " + r.name);
      RegCloseKey(k);
      EXPECT_EQ(type, r.type) << N(r.name);
      EXPECT_EQ(data.substr(0, got), r.data) << N(r.name);
      types.insert(type);
      ++values;
    }
    EXPECT_GT(values, 10u);
    if (name == L"nsis") {  // every type the capture writes
      EXPECT_EQ(types,
                (std::set<DWORD>{REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_QWORD}));
    }
  }
}
