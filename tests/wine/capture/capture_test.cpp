// The real capture tool end to end under Wine: scan, install the sample
// application, scan again, suggest, generate; and the ways a run fails.
// Runs from the Windows build tree: capture\snapshot64.exe and
// sample\SampleSetup.exe beside this program's folder.
#include <string>
#include <vector>

#include "WizardDriver.h"
#include "project/IniDocument.h"
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
  EXPECT_EQ(doc.GetValue(u"uninstall.exe", u"Disabled"), u"1");
  std::vector<std::u16string> entries;
  for (const auto& s : doc.ListSections())
    if (!doc.GetValue(s, u"Source").empty()) entries.push_back(s);
  EXPECT_EQ(entries, (std::vector<std::u16string>{u"Sample App.exe", u"uninstall.exe"}));
  EXPECT_EQ(doc.Text().find(u"noise"), std::u16string::npos);
  // The folders the installation created, for the project-location page.
  std::u16string created = u"|" + doc.GetValue(u"CaptureSnapshots", u"NewFolders") + u"|";
  EXPECT_NE(created.find(u"|" + U(ProgramFiles()) + u"\\Sample App|"), std::u16string::npos) << N(created);
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

  std::u16string hklm = Utf16File(project + L"\\HKEY_LOCAL_MACHINE.txt");
  for (const char16_t* line :
       {u"\r\n+ HKEY_LOCAL_MACHINE\\Software\\Fernhill Labs\\Sample App\r\n", u"  \"Version\" = REG_SZ \"1.2.0\"\r\n",
        u"  \"Build\" = REG_DWORD 120\r\n", u"  \"Channels\" = REG_MULTI_SZ \"stable\" \"beta\"\r\n",
        u"  \"DisplayName\" = REG_SZ \"Sample App\"\r\n"})
    EXPECT_NE(hklm.find(line), std::u16string::npos) << N(line);
  std::u16string hkcu = Utf16File(project + L"\\HKEY_CURRENT_USER.txt");
  EXPECT_NE(hkcu.find(u"  \"Greeting\" = REG_SZ \"\u4F60\u597D\"\r\n"), std::u16string::npos) << N(hkcu);
  // build.bat takes the build tools from QUILLMARK_BIN, else from the folder it was written with (here the
  // capture tool's, which has none), says which, and names a missing tool with where it looked.
  struct {
    std::wstring bin;
    DWORD code;
    std::string says;
  } builds[] = {
      {L"", 1, "Missing build tool: \"" + Narrow(Tool().substr(0, Tool().rfind(L'\\'))) + "\\vregtool.exe\""},
      {L"C:\\nowhere", 1, "Looked in \"C:\\nowhere\" (QUILLMARK_BIN)"},
      {BuildFolder(), 0, "Build tools from QUILLMARK_BIN: \"" + Narrow(BuildFolder()) + "\""},
  };
  for (const auto& b : builds) {
    Captured run = RunCaptured(L"cmd /c build.bat", {{L"QUILLMARK_BIN", b.bin}}, project, 60000);
    EXPECT_EQ(run.exitCode, b.code) << run.output;
    EXPECT_NE(run.output.find(b.says), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Build complete.") != std::string::npos, b.code == 0) << run.output;
  }
}

TEST_F(Capture, ConsoleTextBesideTheWizardsProtocol) {
  // The same runs with and without -Loomwise: the protocol as the wizard reads it, and text for people.
  const std::wstring t = Temp();
  WriteBytes(t + L"\\cut2.snapshot", Bytes(t + L"\\after.snapshot").substr(0, 100));
  struct {
    std::wstring args;
    DWORD code;
    std::u16string protocol, console;
  } rows[] = {
      {Quoted(t + L"\\before.snapshot") + L" -SuggestProject " + Quoted(t + L"\\cut2.snapshot") + L" x.ini", 1,
       u"E The snapshot file " + U(t) + u"\\cut2.snapshot ", u"Error: The snapshot file " + U(t) + u"\\cut2.snapshot "},
      {Quoted(t + L"\\before.snapshot") + L" -SuggestProject " + Quoted(t + L"\\cut2.snapshot") + L" x.ini", 1,
       u". Go back and scan again.\r\n", u". Scan again to make it anew.\r\n"},
      {L"x.snapshot Q:\\", 1,
       u"E The scan location Q:\\ does not exist on this computer. Choose the scan locations again.",
       u"Error: The scan location Q:\\ does not exist on this computer. Give the drive roots and hives it has."},
      {L"x.snapshot -Bogus", 2, u"E Unknown scan location -Bogus", u"Error: Unknown scan location -Bogus"},
  };
  for (const auto& r : rows) {
    Captured wizard = RunCaptured(Quoted(Tool()) + L" " + r.args + L" -Loomwise", {}, t, 60000);
    Captured console = RunCaptured(Quoted(Tool()) + L" " + r.args, {}, t, 60000);
    EXPECT_EQ(wizard.exitCode, r.code);
    EXPECT_EQ(console.exitCode, r.code);
    std::u16string protocol = loom::FromUtf16LeBytes(wizard.output.data(), wizard.output.size() & ~size_t(1));
    EXPECT_NE(protocol.find(r.protocol), std::u16string::npos) << N(protocol);
    EXPECT_NE(console.output.find(N(r.console)), std::string::npos) << console.output;  // UTF-8 when redirected
  }
  for (const wchar_t* help : {L"/?", L"-?", L"-h", L"--help"}) {
    Captured run = RunCaptured(Quoted(Tool()) + L" " + help, {}, t, 60000);
    EXPECT_EQ(run.exitCode, 0u) << Narrow(help);
    EXPECT_EQ(run.output.rfind("Loomwise capture tool\r\n  snapshot64 SNAPSHOT ROOT...", 0), 0u) << run.output;
  }
  Captured bare = RunCaptured(Quoted(Tool()), {}, t, 60000);
  EXPECT_EQ(bare.exitCode, 2u);
  EXPECT_EQ(bare.output.rfind("Loomwise capture tool", 0), 0u) << bare.output;
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

}  // namespace
