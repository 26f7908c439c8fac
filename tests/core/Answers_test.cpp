// The answers file of an unattended capture: what is refused before the scan,
// how the answers edit the suggested project, and that the answers written
// from a project give that project again.
#include "capture/Answers.h"

#include <gtest/gtest.h>

#include "IniText.h"
#include "macros/FolderMacros.h"
#include "project/IniDocument.h"
#include "project/ProjectLocation.h"
#include "util/Text.h"

namespace loom {
namespace {

using test::Doc;

class NoFolders : public LocationPlatform {
 public:
  Kind folderKind = Kind::Missing;
  Kind Lookup(const std::u16string&) override { return folderKind; }
  std::u16string FullPath(const std::u16string& p) override { return p; }
  std::optional<uint64_t> FreeBytes(const std::u16string&) override { return std::nullopt; }
  bool HasEntries(const std::u16string&) override { return true; }
};

// A suggested project as the scan tool writes it (shortened).
const char16_t kSuggested[] =
    u"[Compression]\r\nCompressionType=None\r\n\r\n[Isolation]\r\nDirectoryIsolationMode=Merged\r\n\r\n"
    u"[BuildOptions]\r\nOutDir=bin\r\nInventoryName=Demo App\r\nSandboxName=Demo App\r\n"
    u"EstimatedDataContainerSize=12\r\n;PermittedGroups=\r\n;AccessDeniedMsg=You may not.\r\n"
    u";MSIFilename=Demo App.msi\r\n;MSIProductVersion=1.0\r\n;MSIInstallDirectory=Demo App (Corvel Wrenlow)\r\n"
    u"\r\n[Demo App.dat]\r\nSource=%ProgramFilesDir%\\Demo App\\app.exe\r\nReadOnlyData=Package.ro.tvr\r\n"
    u"MetaDataContainerOnly=1\r\nDisabled=1\r\n\r\n[Demo App.exe]\r\nSource=%ProgramFilesDir%\\Demo App\\app.exe\r\n"
    u"Shortcut=Demo App.dat\r\n\r\n[Demo Settings.exe]\r\nSource=%ProgramFilesDir%\\Demo App\\settings.exe\r\n"
    u"Shortcut=Demo App.dat\r\n\r\n[Demo Help.exe]\r\nSource=%ProgramFilesDir%\\Demo App\\help.exe\r\n"
    u"Shortcut=Demo App.dat\r\nDisabled=1\r\n";

const char16_t kInstall[] = u"[Capture]\nInstall=setup.exe /S\n";

TEST(AnswersTest, RefusedBeforeTheScan) {
  struct Case {
    std::u16string text;
    int line;
    std::u16string section, key;
    Refusal reason;        // a page's refusal, or None
    std::u16string words;  // part of the own words, when no refusal
  } cases[] = {
      {u"[Capture]\nInstall=x\nInstal=y\n", 3, u"Capture", u"Instal", Refusal::None, u"unknown key"},
      {u"[Capture]\nInstall=x\n[Pages]\n", 3, u"Pages", u"", Refusal::None, u"unknown section"},
      {u"[Capture]\nInstall=x\nInstall=y\n", 3, u"Capture", u"Install", Refusal::None, u"twice"},
      {u"[Capture]\nInstall=x\njust text\n", 3, u"Capture", u"", Refusal::None, u"key=value"},
      {u"[Capture]\nInstall=x\nInstallTimeout=ten\n", 3, u"Capture", u"InstallTimeout", Refusal::None, u"seconds"},
      {u"[Capture]\nInstall=x\nInstallTimeout=0\n", 3, u"Capture", u"InstallTimeout", Refusal::None, u"seconds"},
      {u"[Capture]\nInstall=x\nInstallTimeout=-1\n", 3, u"Capture", u"InstallTimeout", Refusal::None, u"seconds"},
      {u"[Capture]\nInstall=x\nInstallExitCodes=0,x\n", 3, u"Capture", u"InstallExitCodes", Refusal::None,
       u"exit codes"},
      {u"[Capture]\nInstall=x\nInstallTimeout=4294967296\n", 3, u"Capture", u"InstallTimeout", Refusal::None,
       u"seconds"},
      {u"[Capture]\nInstall=x\nBrowser=3\n", 3, u"Capture", u"Browser", Refusal::None, u"0, 1 or 2"},
      {u"[Capture]\nInstall=x\nLocations=C:\\ HKEY_NOWHERE\n", 3, u"Capture", u"Locations", Refusal::None,
       u"HKEY_USERS"},
      {u"[Capture]\nInstall=x\n[Project]\nInventoryName=a[b]\n",
       4,
       u"Project",
       u"InventoryName",
       Refusal::NameBrackets,
       {}},
      {u"[Capture]\nInstall=x\n[Project]\nInventoryName=  \n",
       4,
       u"Project",
       u"InventoryName",
       Refusal::NameInvalid,
       {}},
      {u"[Capture]\nInstall=x\n[Project]\nLocation=\n", 4, u"Project", u"Location", Refusal::LocationMissing, {}},
      {u"[Capture]\nInstall=x\n[Project]\nLocation=Captures\\App\n",
       4,
       u"Project",
       u"Location",
       Refusal::LocationInvalid,
       {}},
      {u"[Capture]\nInstall=x\n[Project]\nOverwrite=yes\n", 4, u"Project", u"Overwrite", Refusal::None, u"0 or 1"},
      {u"[Capture]\nInstall=x\n[Options]\nSandbox=C:\\a|b\n", 4, u"Options", u"Sandbox", Refusal::NameInvalid, {}},
      {u"[Capture]\nInstall=x\n[Options]\nPortalUrl=ftp://x\n",
       4,
       u"Options",
       u"PortalUrl",
       Refusal::PortalUrlInvalid,
       {}},
      {u"[Capture]\nInstall=x\n[Options]\nBasePackage=\n",
       4,
       u"Options",
       u"BasePackage",
       Refusal::BaseFolderMissing,
       {}},
      {u"[Capture]\nInstall=x\n[Options]\nIsolation=full\n", 4, u"Options", u"Isolation", Refusal::None, u"write-copy"},
      {u"[Capture]\nInstall=x\n[Package]\nDataFile=\n", 4, u"Package", u"DataFile", Refusal::FileNameMissing, {}},
      {u"[Capture]\nInstall=x\n[Package]\nDataFile=a]b.dat\n", 4, u"Package", u"DataFile", Refusal::NameInvalid, {}},
      {u"[Capture]\nInstall=x\n[Package]\nMsiFile=\n", 4, u"Package", u"MsiFile", Refusal::FileNameMissing, {}},
      {u"[Capture]\nInstall=x\n[Package]\nDataContainer=disk\n", 4, u"Package", u"DataContainer", Refusal::None,
       u"entry or file"},
      {u"[Build]\nSkip=1\n", 0, u"Capture", u"Install", Refusal::None, u"required"},
  };
  for (const Case& c : cases) {
    Answers a;
    AnswersRefusal r;
    EXPECT_FALSE(ParseAnswers(c.text, a, r)) << Utf16ToUtf8(c.text);
    EXPECT_EQ(r.line, c.line) << Utf16ToUtf8(c.text);
    EXPECT_EQ(r.section, c.section) << Utf16ToUtf8(c.text);
    EXPECT_EQ(r.key, c.key) << Utf16ToUtf8(c.text);
    EXPECT_EQ(r.reason, c.reason) << Utf16ToUtf8(c.text);
    EXPECT_NE(r.text.find(c.words), std::u16string::npos) << Utf16ToUtf8(c.text) << ": " << Utf16ToUtf8(r.text);
  }
}

TEST(AnswersTest, ReadsEveryEncodingAndForm) {
  const std::string utf8 =
      "; comment\r\n[capture]\r\ninstall = \"C:\\Setup\\\xe5\xae\x89\xe8\xa3\x85.exe\" /S\r\nInstallTimeout=90\r\n"
      "InstallExitCodes=0, 3010\r\nLocations=C:\\ HKEY_LOCAL_MACHINE\r\nBrowser=2\r\n[EntryPoints]\r\n"
      "Select=Demo App.exe; Demo Help.exe\r\n[Options]\r\nIsolation=write-copy\r\nSandbox=application\r\n"
      "Groups=Staff;staff;Admins\r\nPortal=1\r\nPortalUrl= https://portal.example/ \r\n[Build]\r\nSkip=1\r\n";
  const std::u16string text = Utf8ToUtf16(utf8);
  for (const std::string& bytes : {utf8, "\xef\xbb\xbf" + utf8, "\xff\xfe" + ToUtf16LeBytes(text)})
    EXPECT_EQ(DecodeAnswersText(bytes), text);
  EXPECT_FALSE(DecodeAnswersText("\xff\xfe\x41"));  // odd UTF-16
  EXPECT_FALSE(DecodeAnswersText("\xc3\x28"));      // not UTF-8

  Answers a;
  AnswersRefusal r;
  ASSERT_TRUE(ParseAnswers(text, a, r)) << Utf16ToUtf8(r.text);
  EXPECT_EQ(a.install, u"\"C:\\Setup\\\u5b89\u88c5.exe\" /S");  // 安装
  EXPECT_EQ(a.installTimeout, 90u);
  EXPECT_EQ(a.installExitCodes, (std::vector<uint32_t>{0, 3010}));
  EXPECT_EQ(a.locations, u"C:\\ HKEY_LOCAL_MACHINE");
  EXPECT_EQ(a.browser, 2);
  EXPECT_EQ(a.select, (std::vector<std::u16string>{u"Demo App.exe", u"Demo Help.exe"}));
  EXPECT_TRUE(a.writeCopy);
  EXPECT_EQ(a.sandbox->choice, kSandboxAppFolder);
  EXPECT_EQ(a.groups, (std::vector<std::u16string>{u"Staff", u"Admins"}));
  EXPECT_EQ(a.portalUrl, u"https://portal.example/");
  EXPECT_TRUE(a.skipBuild);
}

struct Applied {
  bool ok = false;
  std::u16string text;
  CaptureChoices choices;
  AnswersRefusal refusal;
};

Applied Apply(std::u16string_view answers, NoFolders platform = {}) {
  InitFolderMacros();
  Applied out;
  Answers a;
  EXPECT_TRUE(ParseAnswers(answers, a, out.refusal)) << Utf16ToUtf8(out.refusal.text);
  IniDocument doc = Doc(kSuggested);
  CaptureContext ctx;
  ctx.defaultDeniedMessage = u"denied";
  ctx.owner = u"Owner";
  ctx.originOrProgramPath = u"C:\\Tools\\Loomwise.exe";
  out.ok = ApplyAnswers(doc, a, ctx, platform, out.choices, out.refusal);
  out.text = doc.Text();
  return out;
}

TEST(AnswersTest, AppliesThePagesDefaultsAndAnswers) {
  Applied d = Apply(kInstall);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.choices.inventoryName, u"Demo App");
  EXPECT_EQ(d.choices.projectFolder, u"C:\\Tools\\Captures\\Demo App");
  // The defaults: the help entry stays off, everyone may run it, merged.
  EXPECT_NE(d.text.find(u"[Demo Help.exe]\r\nSource=%ProgramFilesDir%\\Demo App\\help.exe"), std::u16string::npos);
  EXPECT_NE(d.text.find(u"AccessDeniedMsg=denied"), std::u16string::npos);
  EXPECT_NE(d.text.find(u"DirectoryIsolationMode=Merged"), std::u16string::npos);

  Applied help = Apply(std::u16string(kInstall) + u"[EntryPoints]\nSelect=demo help.exe\n");
  ASSERT_TRUE(help.ok);
  // Only the help entry: the others are switched off, its name is the package's.
  EXPECT_NE(help.text.find(u"[Demo App.exe]\r\nDisabled=1\r\n"), std::u16string::npos);
  EXPECT_NE(help.text.find(u"[Demo Help.exe]\r\nReadOnlyData=Package.ro.tvr\r\nSource="), std::u16string::npos);
  EXPECT_EQ(help.choices.inventoryName, u"Demo Help");
  Applied missing = Apply(std::u16string(kInstall) + u"[EntryPoints]\nSelect=Other.exe\n");
  ASSERT_FALSE(missing.ok);
  EXPECT_EQ(missing.refusal.key, u"Select");
  EXPECT_NE(missing.refusal.text.find(u"Demo App.exe;Demo Settings.exe;Demo Help.exe"), std::u16string::npos);

  NoFolders full;
  full.folderKind = LocationPlatform::Kind::Folder;
  Applied taken = Apply(kInstall, full);
  ASSERT_FALSE(taken.ok);
  EXPECT_EQ(taken.refusal.reason, Refusal::LocationExists);
  EXPECT_TRUE(Apply(std::u16string(kInstall) + u"[Project]\nOverwrite=1\n", full).ok);
}

TEST(AnswersTest, AnswersWrittenFromAProjectGiveItAgain) {
  const std::u16string chosen = std::u16string(kInstall) +
                                u"[EntryPoints]\nSelect=Demo Settings.exe;Demo Help.exe\n"
                                u"[Project]\nInventoryName=Demo Two\nLocation=D:\\Packages\\Two\n"
                                u"[Options]\nIsolation=write-copy\nSandbox=%AppData%\\Two\nGroups=Staff;Admins\n"
                                u"AccessDeniedMessage=\nPortal=1\nPortalUrl=https://p.example/\n"
                                u"[Package]\nDataContainer=file\nDataFile=Two.dat\nMsi=1\nMsiFile=Two.msi\n"
                                u"Compression=1\n";
  Applied first = Apply(chosen);
  ASSERT_TRUE(first.ok) << Utf16ToUtf8(first.refusal.text);
  const std::u16string written = WriteAnswers(Doc(first.text), u"D:\\Packages\\Two");
  std::u16string filled = written;
  filled.replace(filled.find(u";Install="), 9, u"Install=setup.exe");
  Applied again = Apply(filled);
  ASSERT_TRUE(again.ok) << Utf16ToUtf8(again.refusal.text);
  EXPECT_EQ(again.text, first.text);
}

}  // namespace
}  // namespace loom
