// Black-box tests of the option pages (portal, groups, isolation, sandbox,
// quality reporting, browser redirection): their starting state from a
// prepared working project, every message they show, the working project file
// byte for byte after Next, and the skip rules between them.
#include "WizardDriver.h"
#include "util/PackageAttributesWriter.h"

#include <functional>

using namespace loomtest;

namespace {

// The prepared working project: what the comparison hands to the pages.
const wchar_t kProject[] =
    L"; prepared working project\r\n"
    L"\r\n"
    L"[Isolation]\r\n"
    L"DirectoryIsolationMode=Merged\r\n"
    L"\r\n"
    L"[BuildOptions]\r\n"
    L";-------- Parameters used only during the build --------\r\n"
    L"OutDir=bin\r\n"
    L"InventoryName=Demo App\r\n"
    L"SandboxName=Demo App\r\n"
    L";PermittedGroups=\r\n"
    L";AccessDeniedMsg=You are not authorized to run this application.\r\n"
    L";QualityReportingEnabled=0\r\n"
    L";RemoveSandboxOnExit=1\r\n"
    L"\r\n"
    L"[Demo App.exe]\r\n"
    L"Source=%ProgramFilesDir%\\Demo App\\app.exe\r\n"
    L"ReadOnlyData=Package.ro.tvr\r\n";

// A captured browser, for the redirection page (its entry point is chosen).
const wchar_t kBrowserSection[] =
    L"\r\n"
    L"[Browser.exe]\r\n"
    L"Source=%ProgramFilesDir%\\Fox\\firefox.exe\r\n"
    L"IsBrowser=1\r\n";

// The groups page's default message, and the edit that writes a message.
const std::wstring kDefaultMessage = L"您目前无权运行此应用程序。请联系您的管理员联系。";
std::pair<std::wstring, std::wstring> Message(const std::wstring& text = kDefaultMessage) {
  return {L";AccessDeniedMsg=You are not authorized to run this application.", L"AccessDeniedMsg=" + text};
}

// A package file carrying these attributes, as the stand-in link tool writes it.
using Attrs = std::vector<std::pair<std::wstring, std::wstring>>;
std::string PackageFile(const Attrs& attrs) {
  loom::PackageAttributeList list;
  for (auto& [name, value] : attrs)
    list.emplace_back(std::u16string(name.begin(), name.end()), std::u16string(value.begin(), value.end()));
  return loom::MakePackageFile(list).value();
}

class OptionsTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
  }

  // Installs the wizard with `project` as the comparison's result and walks
  // to the portal page.
  void StartAtPortal(const std::wstring& project = kProject, Place branding = Place::Absent) {
    InstallOptions o;
    o.branding = branding;
    ASSERT_NO_FATAL_FAILURE(MakeInstall(o));
    ASSERT_TRUE(WriteBytes(install_->Path(L"project.ini"), Utf16Bytes(project)));
    install_->WriteScenario("[suggest]\nresultfrom project.ini\n[any]\n");
    ASSERT_TRUE(w_.Start(*install_));
    ASSERT_TRUE(w_.WaitForMainWindow());
    ASSERT_TRUE(w_.NextUntil(kPortal));
  }

  void ExpectWorkingFile(const std::wstring& expected) {
    std::optional<std::string> bytes = ReadBytes(w_.WorkingProject());
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, Utf16Bytes(expected)) << Narrow(ReadUtf16File(w_.WorkingProject()));
  }

  // Next refused with a message box of `text`; the box is answered and the
  // page stays.
  void ExpectRefused(const std::wstring& text, const std::wstring& page) {
    ASSERT_TRUE(w_.Click(IDOK));
    ASSERT_TRUE(w_.AnswerMessage(text, IDOK, L"Loomwise"));
    EXPECT_EQ(w_.Title(), page);
  }
};

}  // namespace

TEST_F(OptionsTest, GroupsIsolationAndSandboxWriteExactlyTheirLines) {
  ASSERT_NO_FATAL_FAILURE(StartAtPortal());
  // No AppID: the portal is off, its other controls disabled.
  EXPECT_FALSE(w_.IsChecked(IDC_PORTAL_MANAGE));
  EXPECT_FALSE(w_.IsEnabled(IDC_PORTAL_URL));
  EXPECT_FALSE(w_.IsEnabled(IDC_PORTAL_BASE_FOLDER));
  ASSERT_TRUE(w_.Next(kGroups));

  // Groups: everyone, the default message; only-these-groups needs a group,
  // and under Wine the picker returns as if cancelled (nothing added, no message).
  EXPECT_TRUE(w_.IsChecked(IDC_AUTH_EVERYONE));
  EXPECT_FALSE(w_.IsEnabled(IDC_AUTH_MESSAGE));
  EXPECT_EQ(w_.Text(IDC_AUTH_MESSAGE), kDefaultMessage);
  ASSERT_TRUE(w_.Click(IDC_AUTH_GROUPS_ONLY));
  EXPECT_TRUE(WaitUntil([&] { return !w_.IsEnabled(IDOK); }));
  EXPECT_TRUE(w_.IsEnabled(IDC_AUTH_ADD));
  EXPECT_FALSE(w_.IsEnabled(IDC_AUTH_REMOVE));
  ASSERT_TRUE(w_.Click(IDC_AUTH_ADD));
  Sleep(1000);
  EXPECT_FALSE(w_.FindPopup()) << w_.Describe();
  EXPECT_FALSE(w_.IsEnabled(IDOK));
  // A message of several lines is written on one line.
  ASSERT_TRUE(w_.SetText(IDC_AUTH_MESSAGE, L"Ask IT.\r\nRoom=12\r\n\r\nThanks"));
  ASSERT_TRUE(w_.Click(IDC_AUTH_EVERYONE));
  EXPECT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDOK); }));
  ASSERT_TRUE(w_.Next(kIsolation));

  // Isolation: merged to start with; write-copy chosen.
  EXPECT_TRUE(w_.IsChecked(IDC_ISOLATION_MERGED));
  ASSERT_TRUE(w_.Click(IDC_ISOLATION_WRITECOPY));
  ASSERT_TRUE(w_.Next(kSandbox));

  // Sandbox: no SandboxPath, so the profile; custom needs a usable path.
  EXPECT_TRUE(w_.IsChecked(IDC_SANDBOX_PROFILE));
  EXPECT_FALSE(w_.IsEnabled(IDC_SANDBOX_PATH));
  ASSERT_TRUE(w_.Click(IDC_SANDBOX_CUSTOM));
  EXPECT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDC_SANDBOX_PATH) && w_.IsEnabled(IDC_SANDBOX_BROWSE); }));
  EXPECT_FALSE(w_.IsEnabled(IDOK)) << "custom with an empty path";
  ASSERT_TRUE(w_.SetText(IDC_SANDBOX_PATH, L"D:\\Box?"));
  EXPECT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDOK); }));
  ExpectRefused(L"名称包含无效字符", kSandbox);
  ASSERT_TRUE(w_.SetText(IDC_SANDBOX_PATH, L"D:\\Sandbox"));
  ASSERT_TRUE(w_.Next(kLocation));

  ExpectWorkingFile(Edited(kProject, {{L"=Merged", L"=WriteCopy"},
                                      {L"OutDir=bin", L"SandboxPath=D:\\Sandbox\r\nOutDir=bin"},
                                      Message(L"Ask IT. Room=12  Thanks")}));

  // Back keeps the choices; the sandbox choice is read from the file only once.
  ASSERT_TRUE(w_.Back(kSandbox));
  EXPECT_TRUE(w_.IsChecked(IDC_SANDBOX_CUSTOM));
  EXPECT_EQ(w_.Text(IDC_SANDBOX_PATH), L"D:\\Sandbox");
  ASSERT_TRUE(w_.Click(IDC_SANDBOX_APP_FOLDER));
  ASSERT_TRUE(w_.Back(kIsolation));
  EXPECT_TRUE(w_.IsChecked(IDC_ISOLATION_WRITECOPY));
  ASSERT_TRUE(w_.Click(IDC_ISOLATION_MERGED));
  ASSERT_TRUE(w_.Next(kSandbox));
  EXPECT_TRUE(w_.IsChecked(IDC_SANDBOX_APP_FOLDER));
  ASSERT_TRUE(w_.Next(kLocation));
  ExpectWorkingFile(
      Edited(kProject, {{L"OutDir=bin", L"SandboxPath=.\r\nOutDir=bin"}, Message(L"Ask IT. Room=12  Thanks")}));
}

TEST_F(OptionsTest, PortalOnSkipsGroupsAndItsBlockGoesWhenTurnedOff) {
  ASSERT_NO_FATAL_FAILURE(StartAtPortal());
  ASSERT_TRUE(w_.Click(IDC_PORTAL_MANAGE));
  EXPECT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDC_PORTAL_URL) && w_.IsEnabled(IDC_PORTAL_BASE_UPDATE); }));
  EXPECT_FALSE(w_.IsEnabled(IDC_PORTAL_BASE_FOLDER));
  ASSERT_TRUE(w_.SetText(IDC_PORTAL_URL, L"portal.example"));
  ExpectRefused(L"输入http://或https://开头的有效网址", kPortal);
  ASSERT_TRUE(w_.SetText(IDC_PORTAL_URL, L"  https://portal.example  "));
  ASSERT_TRUE(w_.Next(kIsolation)) << "the groups page is skipped";
  const std::wstring block =
      L";-------- Corvel Meridel Portal Parameters ----------\r\n"
      L"AppID=genid\r\nNotificationDLLs=MeridelPlugin.dll\r\n"
      L"MeridelOrgUrl=https://portal.example\r\n\r\n";
  const std::wstring withBlock = Edited(kProject, {{L"[Demo App.exe]", block + L"[Demo App.exe]"}});
  ExpectWorkingFile(withBlock);

  // Back from isolation returns to the portal page, which shows the file's state.
  ASSERT_TRUE(w_.Back(kPortal));
  EXPECT_TRUE(w_.IsChecked(IDC_PORTAL_MANAGE));
  EXPECT_EQ(w_.Text(IDC_PORTAL_URL), L"https://portal.example");
  ASSERT_TRUE(w_.Next(kIsolation));
  ExpectWorkingFile(withBlock);  // the same values again, in place

  // Turned off: the block and the URL go; the groups page is back on the road.
  ASSERT_TRUE(w_.Back(kPortal));
  ASSERT_TRUE(w_.Click(IDC_PORTAL_MANAGE));
  ASSERT_TRUE(w_.Next(kGroups));
  ExpectWorkingFile(kProject);
  ASSERT_TRUE(w_.Back(kPortal));
  EXPECT_FALSE(w_.IsChecked(IDC_PORTAL_MANAGE));
}

TEST_F(OptionsTest, BasePackageUpdate) {
  ASSERT_NO_FATAL_FAILURE(StartAtPortal());
  const std::wstring base = install_->Path(L"base");
  auto folder = [&](const std::wstring& name, std::vector<std::pair<std::wstring, std::string>> files) {
    std::wstring path = base + L"\\" + name;
    CreateDirectoryW(base.c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
    for (auto& [file, bytes] : files) EXPECT_TRUE(WriteBytes(path + L"\\" + file, bytes));
    return path;
  };
  const Attrs good = {{L"ReadOnlyData", L"Package.ro.tvr"},
                      {L"AppID", L"{5A7E}"},
                      {L"VersionID", L"5"},
                      {L"InventoryName", L"Base App"}};
  auto versioned = [](const std::wstring& appId, const std::wstring& version) {
    return PackageFile({{L"ReadOnlyData", L"x"}, {L"AppID", appId}, {L"VersionID", version}});
  };
  // One case of each message (OptionEditsPortal.BasePackageScan and
  // UrlAndVersionRules hold the rules).
  struct Case {
    const char* name;
    std::wstring folder;
    std::wstring message;
  };
  const Case cases[] = {
      {"empty location", L"", L"空基础包的位置！"},
      {"a file, not a folder", folder(L"f", {{L"x.exe", "x"}}) + L"\\x.exe",
       L"无效的基础包位置。指定的路径，包含基础Wrenlow包可执行文件的文件夹。"},
      {"no AppID", folder(L"noid", {{L"a.exe", PackageFile({{L"ReadOnlyData", L"x"}, {L"VersionID", L"2"}})}}),
       L"没有发现AppID。\r\n基础包不是Corvel工作区启用的Wrenlow包。"},
      {"huge VersionID", folder(L"huge", {{L"a.dat", versioned(L"{1}", L"9999999")}}), L"坏的VersionID在基础包中"},
  };
  ASSERT_TRUE(w_.Click(IDC_PORTAL_MANAGE));
  ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDC_PORTAL_BASE_UPDATE); }));
  ASSERT_TRUE(w_.Click(IDC_PORTAL_BASE_UPDATE));
  ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDC_PORTAL_BASE_FOLDER) && w_.IsEnabled(IDC_PORTAL_BASE_BROWSE); }));
  // A bad base package is reported before a bad URL.
  ASSERT_TRUE(w_.SetText(IDC_PORTAL_URL, L"ftp://x"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(w_.SetText(IDC_PORTAL_BASE_FOLDER, c.folder));
    ExpectRefused(c.message, kPortal);
  }
  ASSERT_TRUE(w_.SetText(IDC_PORTAL_URL, L""));
  // A truncated file, a package file without ReadOnlyData and short names are
  // passed over; the primary container gives the identity.
  const std::wstring good1 = folder(L"good", {{L".ex", "x"},
                                              {L"broken.exe", PackageFile(good).substr(0, 100)},
                                              {L"entry.exe", PackageFile({{L"AppID", L"{WRONG}"}})},
                                              {L"z-primary.dat", PackageFile(good)}});
  ASSERT_TRUE(w_.SetText(IDC_PORTAL_BASE_FOLDER, good1));
  ASSERT_TRUE(w_.Next(kIsolation));
  const std::wstring block =
      L";-------- Corvel Meridel Portal Parameters ----------\r\n"
      L"AppID={5A7E}\r\nVersionID=6\r\nNotificationDLLs=MeridelPlugin.dll\r\n\r\n";
  ExpectWorkingFile(Edited(kProject, {{L"[Demo App.exe]", block + L"[Demo App.exe]"}}));

  // Version 1 (or none) gives 2; the folder and the switch are kept on return.
  ASSERT_TRUE(w_.Back(kPortal));
  EXPECT_TRUE(w_.IsChecked(IDC_PORTAL_BASE_UPDATE));
  EXPECT_EQ(w_.Text(IDC_PORTAL_BASE_FOLDER), good1);
  const std::wstring one = folder(L"one", {{L"p.exe", versioned(L"{5A7E}", L"1")}});
  ASSERT_TRUE(w_.SetText(IDC_PORTAL_BASE_FOLDER, one));
  ASSERT_TRUE(w_.Next(kIsolation));
  ExpectWorkingFile(
      Edited(kProject, {{L"[Demo App.exe]", Edited(block, {{L"VersionID=6", L"VersionID=2"}}) + L"[Demo App.exe]"}}));
}

TEST_F(OptionsTest, QualityPageFollowsTheBrandingSwitch) {
  ASSERT_NO_FATAL_FAILURE(StartAtPortal(kProject, Place::Modules3));
  ASSERT_TRUE(w_.NextUntil(kQuality));
  EXPECT_TRUE(w_.IsChecked(IDC_QUALITY_SEND));
  EXPECT_FALSE(w_.IsChecked(IDC_QUALITY_DONT_SEND));
  ASSERT_TRUE(w_.Click(IDC_QUALITY_DONT_SEND));
  EXPECT_TRUE(WaitUntil([&] { return !w_.IsChecked(IDC_QUALITY_SEND); }));
  ASSERT_TRUE(w_.Next(kLocation));
  ExpectWorkingFile(Edited(kProject, {{L";QualityReportingEnabled=0", L"QualityReportingEnabled=0"}, Message()}));
  ASSERT_TRUE(w_.Back(kQuality));
  EXPECT_TRUE(w_.IsChecked(IDC_QUALITY_DONT_SEND));
  ASSERT_TRUE(w_.Click(IDC_QUALITY_SEND));
  ASSERT_TRUE(w_.Next(kLocation));
  ExpectWorkingFile(Edited(kProject, {{L";QualityReportingEnabled=0", L"QualityReportingEnabled=1"}, Message()}));
  ASSERT_TRUE(w_.Back(kQuality));
  ASSERT_TRUE(w_.Back(kSandbox));
}

// Needs the entry-point list to report its chosen browser entry (IsBrowser=1);
// skipped while no entry counts as a browser.
TEST_F(OptionsTest, RedirectionListWrittenAtSaveAndRemovedWhenCleared) {
  ASSERT_NO_FATAL_FAILURE(StartAtPortal(std::wstring(kProject) + kBrowserSection));
  // The browser's entry point is checked, so its redirection page is on the road.
  ASSERT_TRUE(w_.NextUntil(kRedirection));
  EXPECT_EQ(w_.Text(IDC_ROUTELLE_BROWSER), L"firefox.exe (Browser)");
  ASSERT_TRUE(w_.SetText(IDC_ROUTELLE_LIST, L"www.a.example\r\nb.example/*.jsp"));
  ASSERT_TRUE(w_.Next(kLocation));
  // Location and package settings, then the save: the list file is written
  // and recorded; the generation has run once it is logged.
  ASSERT_TRUE(w_.Next(kPackage));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.WaitToolRuns(4, 15000));
  ASSERT_TRUE(w_.WaitForTitle(kReadyToBuild, 15000)) << w_.Describe();
  std::wstring text = ReadUtf16File(w_.WorkingProject());
  size_t at = text.find(L"\r\nRoutelle=");
  ASSERT_NE(at, std::wstring::npos) << Narrow(text);
  std::wstring listPath = text.substr(at + 11, text.find(L"\r\n", at + 2) - at - 11);
  std::wstring list = ReadUtf16File(listPath);
  EXPECT_NE(list.find(L"\r\n\r\n[Browser.exe]\r\nwww.a.example\r\nb.example/*.jsp\r\n"), std::wstring::npos);
  EXPECT_EQ(list.substr(0, 2), L"# ");
  // Back to the list, cleared: the next save removes the key and the old file.
  // The project folder now holds the first save, so the location page asks
  // before it is overwritten.
  ASSERT_TRUE(w_.Back(kPackage));
  ASSERT_TRUE(w_.Back(kLocation));
  ASSERT_TRUE(w_.Back(kRedirection));
  ASSERT_TRUE(w_.SetText(IDC_ROUTELLE_LIST, L"  \r\n"));
  ASSERT_TRUE(w_.Next(kLocation));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"您指定的项目位置存在。\r\n你想要覆盖它吗？", IDYES));
  ASSERT_TRUE(w_.WaitForTitle(kPackage));
  ASSERT_TRUE(w_.Next(kReadyToBuild, 15000));
  EXPECT_EQ(ReadUtf16File(w_.WorkingProject()).find(L"Routelle="), std::wstring::npos);
  EXPECT_FALSE(FileExists(listPath));
}

TEST_F(OptionsTest, AFailedSaveKeepsThePageAndAVanishedFileIsNotRecreated) {
  ASSERT_NO_FATAL_FAILURE(StartAtPortal());
  ASSERT_TRUE(w_.NextUntil(kIsolation));
  const std::wstring working = w_.WorkingProject();
  ASSERT_TRUE(w_.Click(IDC_ISOLATION_WRITECOPY));
  // Held open (readable, but not to be replaced): the load works, the save fails.
  HANDLE held = CreateFileW(working.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"无法创建文件" + working, IDOK, L"Error"));
  EXPECT_EQ(w_.Title(), kIsolation);
  EXPECT_TRUE(w_.IsChecked(IDC_ISOLATION_WRITECOPY)) << "the choice is kept";
  CloseHandle(held);
  // (The groups page has written its default message.)
  const std::wstring afterGroups = Edited(kProject, {Message()});
  ExpectWorkingFile(afterGroups);
  ASSERT_TRUE(w_.Next(kSandbox));
  ExpectWorkingFile(Edited(afterGroups, {{L"=Merged", L"=WriteCopy"}}));

  // A working file that is gone is not written back (the generation reports it).
  ASSERT_TRUE(DeleteFileW(working.c_str()));
  ASSERT_TRUE(w_.Click(IDC_SANDBOX_APP_FOLDER));
  ASSERT_TRUE(w_.Next(kLocation));
  EXPECT_FALSE(FileExists(working));
}

TEST_F(OptionsTest, SandboxBrowsePrefersTheShellFolderMacroForm) {
  ASSERT_NO_FATAL_FAILURE(StartAtPortal());
  ASSERT_TRUE(w_.NextUntil(kSandbox));
  ASSERT_TRUE(w_.Click(IDC_SANDBOX_CUSTOM));
  ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDC_SANDBOX_BROWSE); }));
  wchar_t programData[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH), 0u);
  const std::wstring inAppData = std::wstring(programData) + L"\\Loom Sandbox Test";
  const std::wstring plain = L"C:\\LoomPlainSandbox";
  CreateDirectoryW(inAppData.c_str(), nullptr);
  CreateDirectoryW(plain.c_str(), nullptr);
  struct Case {
    std::wstring typed, shown;
  };
  // The dialog opens on the typed folder (a leading macro expanded) and its
  // choice comes back in macro form; a drive-letter macro form is never
  // shown, the plain path is. (Under Wine the first dialog of a run may not
  // open deep folders, so a shallow one goes first.)
  for (const Case& c :
       {Case{plain, plain}, Case{L"%Common AppData%\\Loom Sandbox Test", L"%Common AppData%\\Loom Sandbox Test"},
        Case{inAppData, L"%Common AppData%\\Loom Sandbox Test"}}) {
    SCOPED_TRACE(Narrow(c.typed));
    ASSERT_TRUE(w_.SetText(IDC_SANDBOX_PATH, c.typed));
    ASSERT_TRUE(w_.Click(IDC_SANDBOX_BROWSE));
    Popup dlg = w_.WaitMessageBox();
    ASSERT_TRUE(dlg) << w_.Describe();
    Sleep(1500);  // the tree opens down to the preselected folder
    ASSERT_TRUE(Wizard::ClickIn(dlg.hwnd, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg.hwnd); }));
    EXPECT_TRUE(WaitUntil([&] { return w_.Text(IDC_SANDBOX_PATH) == c.shown; })) << Narrow(w_.Text(IDC_SANDBOX_PATH));
  }
  // Cancelled: the path stays.
  ASSERT_TRUE(w_.Click(IDC_SANDBOX_BROWSE));
  Popup dlg = w_.WaitMessageBox();
  ASSERT_TRUE(dlg);
  ASSERT_TRUE(w_.Answer(dlg, IDCANCEL));
  EXPECT_EQ(w_.Text(IDC_SANDBOX_PATH), L"%Common AppData%\\Loom Sandbox Test");
  RemoveDirectoryW(inAppData.c_str());
  RemoveDirectoryW(plain.c_str());
}
