// Black-box tests of the project pages: the entry points (rows, icons, the
// debug box, select all / none, the pre-selection and variant rules), the
// project location and inventory name (every check, the name following the
// location), and the package settings; after each Next the working project
// file is compared line for line with what the page may change.
#include "WizardDriver.h"

#include <shlobj.h>

#include <optional>

using namespace loomtest;

namespace {

// The fixture the stand-in writes, as the wizard reads it (CR LF lines).
std::wstring SuggestedProject() {
  std::wstring text = Widen(ReadBytes(BuildFolder() + L"\\suggested-project.ini").value_or(""));
  std::wstring crlf;
  for (wchar_t c : text) {
    if (c == L'\n') crlf += L'\r';
    crlf += c;
  }
  return crlf;
}

class ProjectPagesTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    if (!TestInstall::Built(L"sample-app.exe")) GTEST_SKIP() << "sample-app.exe is not built yet";
    reg::WriteString(reg::kSettingsKey, L"SkipInstallationConfirmation", L"1");
  }

  // Installs the wizard; with `project`, the comparison writes that text.
  void Install(const std::wstring& project = L"") {
    InstallOptions o;
    o.scenario = "[any]\n";
    ASSERT_NO_FATAL_FAILURE(MakeInstall(o));
    ASSERT_TRUE(install_->InstallSampleApplication());
    if (!project.empty()) UseProject(project);
  }

  void UseProject(const std::wstring& project) {
    WriteBytes(install_->Path(L"project.ini"), Utf16Bytes(project));
    install_->WriteScenario("[suggest]\nresultfrom project.ini\n[any]\n");
  }

  // Starts the wizard and walks to the entry points.
  void StartToEntryPoints() {
    ASSERT_TRUE(w_.Start(*install_));
    ASSERT_TRUE(w_.WaitForMainWindow());
    ASSERT_TRUE(w_.NextUntil(kEntryPoints));
  }

  std::vector<std::wstring> Rows(int column = 0) {
    std::vector<std::wstring> rows;
    for (int i = 0; i < w_.RowCount(IDC_ENTRY_LIST); ++i) rows.push_back(w_.RowText(IDC_ENTRY_LIST, i, column));
    return rows;
  }
  std::vector<bool> Checks() {
    std::vector<bool> checks;
    for (int i = 0; i < w_.RowCount(IDC_ENTRY_LIST); ++i) checks.push_back(w_.RowChecked(IDC_ENTRY_LIST, i));
    return checks;
  }
};

}  // namespace

TEST_F(ProjectPagesTest, EntryPointRowsDebugBoxSelectionAndSave) {
  Install();
  StartToEntryPoints();
  // Enabled before disabled; the debugging entry hidden.
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Demo App.exe", L"Demo Settings.exe", L"Demo Help.exe"}));
  EXPECT_EQ(Rows(1), (std::vector<std::wstring>{L"%ProgramFilesDir%\\Demo App\\app.exe",
                                                L"\"%ProgramFilesDir%\\Demo App\\settings.exe\" /profile",
                                                L"%ProgramFilesDir%\\Demo App\\help.exe"}));
  EXPECT_EQ(Checks(), (std::vector<bool>{true, true, false}));
  EXPECT_TRUE(w_.HasSmallImages(IDC_ENTRY_LIST));
  for (int row = 0; row < 3; ++row) EXPECT_EQ(w_.RowImage(IDC_ENTRY_LIST, row), row);
  EXPECT_FALSE(w_.IsChecked(IDC_ENTRY_SHOW_DEBUG));
  EXPECT_TRUE(w_.IsEnabled(IDC_ENTRY_SHOW_DEBUG));

  // The debug box shows and hides exactly the last row.
  ASSERT_TRUE(w_.Click(IDC_ENTRY_SHOW_DEBUG));
  ASSERT_TRUE(WaitUntil([&] { return w_.RowCount(IDC_ENTRY_LIST) == 4; }));
  EXPECT_EQ(w_.RowText(IDC_ENTRY_LIST, 3), L"Demo App (Debug).exe");
  EXPECT_FALSE(w_.RowChecked(IDC_ENTRY_LIST, 3));
  EXPECT_EQ(w_.RowImage(IDC_ENTRY_LIST, 3), 3);
  ASSERT_TRUE(w_.Click(IDC_ENTRY_SHOW_DEBUG));
  ASSERT_TRUE(WaitUntil([&] { return w_.RowCount(IDC_ENTRY_LIST) == 3; }));

  ASSERT_TRUE(w_.Click(IDC_ENTRY_SELECT_NONE));
  ASSERT_TRUE(WaitUntil([&] { return !w_.IsEnabled(IDOK); })) << "nothing chosen: no Next";
  EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false}));
  ASSERT_TRUE(w_.Click(IDC_ENTRY_SELECT_ALL));
  ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDOK); }));
  EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true}));
  ASSERT_TRUE(w_.SetRowChecked(IDC_ENTRY_LIST, 1, false));
  ASSERT_TRUE(WaitUntil([&] { return !w_.RowChecked(IDC_ENTRY_LIST, 1); }));

  ASSERT_TRUE(w_.Next(kPortal));
  // Help chosen loses "Disabled"; Settings gets it first in its section; the
  // hidden debugging entry keeps it; every other line stays as it was.
  std::wstring expected = SuggestedProject();
  expected =
      Edited(expected, {{L"[Demo Settings.exe]\r\n", L"[Demo Settings.exe]\r\nDisabled=1\r\n"},
                        {L"Icon=%ProgramFilesDir%\\Demo App\\help.ico\r\nShortcut=Demo App.dat\r\nDisabled=1\r\n",
                         L"Icon=%ProgramFilesDir%\\Demo App\\help.ico\r\nShortcut=Demo App.dat\r\n"}});
  EXPECT_EQ(ReadUtf16File(w_.WorkingProject()), expected);

  // Coming back shows the saved choice.
  ASSERT_TRUE(w_.Back(kEntryPoints));
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Demo App.exe", L"Demo Help.exe", L"Demo Settings.exe"}));
  EXPECT_EQ(Checks(), (std::vector<bool>{true, true, false}));
}

TEST_F(ProjectPagesTest, PreSelectedVariantsAndAnEmptyListOnALaterVisit) {
  const std::wstring project =
      L"[BuildOptions]\r\nOutDir=bin\r\n\r\n"
      L"[Full]\r\nSource=C:\\v\\x.exe\r\nTemplate=T1\r\nPreSelected=1\r\n\r\n"
      L"[Kiosk]\r\nSource=c:\\V\\X.EXE\r\nTemplate=T4\r\nPreSelected=1\r\n\r\n"
      L"[Lite]\r\nSource=C:\\v\\x.exe\r\nTemplate=T2\r\n\r\n"
      L"[Mini]\r\nSource=C:\\v\\x.exe\r\nTemplate=T3\r\n\r\n"
      L"[Lite2]\r\nSource=C:\\v\\x.exe\r\nTemplate=t2\r\nDisabled=1\r\n\r\n"
      L"[Other]\r\nSource=C:\\v\\y.exe\r\nIcon=missing.ico,2\r\n";
  Install(project);
  StartToEntryPoints();
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Full", L"Kiosk", L"Lite", L"Mini", L"Other", L"Lite2"}));
  EXPECT_EQ(w_.RowImage(IDC_ENTRY_LIST, 4), 4) << "a missing icon file falls back to the standard icon";
  const std::wstring cannotDeselect = L"这个入口点不能取消选择";

  // Unchecking a pre-selected row: checked again, one message, no loop
  // between the two pre-selected variants.
  ASSERT_TRUE(w_.SetRowChecked(IDC_ENTRY_LIST, 0, false));
  ASSERT_TRUE(w_.AnswerMessage(cannotDeselect));
  Sleep(300);
  EXPECT_FALSE(w_.FindPopup()) << "the rule ran more than once";
  EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true, true, true, false}));

  // Select none: one message for each pre-selected row.
  ASSERT_TRUE(w_.Click(IDC_ENTRY_SELECT_NONE));
  ASSERT_TRUE(w_.AnswerMessage(cannotDeselect));
  ASSERT_TRUE(w_.AnswerMessage(cannotDeselect));
  Sleep(300);
  EXPECT_FALSE(w_.FindPopup());
  EXPECT_EQ(Checks(), (std::vector<bool>{true, true, false, false, false, false}));

  // Back to the installation deletes the postscan and the working project
  // and keeps the prescan; the next postscan takes the same path. A new
  // comparison without entry points: no rows are left standing for entries
  // that no longer exist.
  std::vector<std::wstring> log = w_.ToolLog();
  const std::wstring prescan = SplitCommandLine(log[0])[1], postscan = SplitCommandLine(log[1])[1];
  const std::wstring working = w_.WorkingProject();
  UseProject(L"[BuildOptions]\r\nOutDir=bin\r\n");
  ASSERT_TRUE(w_.Back(kInstall));
  EXPECT_TRUE(FileExists(prescan));
  EXPECT_FALSE(FileExists(postscan));
  EXPECT_FALSE(FileExists(working));
  ASSERT_TRUE(w_.Next(kEntryPoints, 15000));
  EXPECT_EQ(SplitCommandLine(w_.ToolLog()[3])[1], postscan);
  EXPECT_EQ(w_.RowCount(IDC_ENTRY_LIST), 0);
  EXPECT_FALSE(w_.IsEnabled(IDOK));
  EXPECT_FALSE(w_.IsEnabled(IDC_ENTRY_LIST));
}

TEST_F(ProjectPagesTest, LocationProposalFollowingAndEveryCheck) {
  Install();
  StartToEntryPoints();
  ASSERT_TRUE(w_.NextUntil(kLocation));
  const std::wstring captures = install_->ProgramFolder() + L"\\Captures\\";
  EXPECT_EQ(w_.Text(IDC_LOCATION_NAME), L"Demo App") << "the first chosen entry without its extension";
  EXPECT_EQ(w_.Text(IDC_LOCATION_PATH), captures + L"Demo App");

  // The last folder name follows the name while the user types ...
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_NAME, L"Demo App 2"));
  EXPECT_EQ(w_.Text(IDC_LOCATION_PATH), captures + L"Demo App 2");
  // ... and no longer once the user gave the location a name of its own.
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_PATH, captures + L"Mine"));
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_NAME, L"Demo App 3"));
  EXPECT_EQ(w_.Text(IDC_LOCATION_PATH), captures + L"Mine");
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_PATH, captures));
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_NAME, L"Four"));
  EXPECT_EQ(w_.Text(IDC_LOCATION_PATH), captures + L"Four") << "a location ending in a backslash gets the name";

  // One refusal of each message: the message, the focus on its box, no page
  // change (the captured application's folder read from the working project,
  // a file found at the location).
  WriteBytes(install_->Path(L"a-file.txt"), "x");
  CreateDirectoryW(install_->Path(L"full").c_str(), nullptr);
  WriteBytes(install_->Path(L"full\\old.txt"), "x");
  CreateDirectoryW(install_->Path(L"empty").c_str(), nullptr);
  const std::wstring aFile = install_->Path(L"a-file.txt");
  wchar_t programFiles[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);
  const std::wstring inApp = std::wstring(programFiles) + L"\\demo app\\Project";  // an entry point's folder
  struct {
    const wchar_t *name, *location, *message;
    int focus;
  } refusals[] = {
      {L"   ", L"C:\\p", L"名称包含无效字符", IDC_LOCATION_NAME},
      {L"A[1]", L"C:\\p", L"库存名称不能包含任何以下字符：[ ]", IDC_LOCATION_NAME},
      {L"A", inApp.c_str(), L"指定的项目位置无效", IDC_LOCATION_PATH},
      {L"A", aFile.c_str(), L"指定的项目位置无效", IDC_LOCATION_PATH},
  };
  for (const auto& r : refusals) {
    ASSERT_TRUE(w_.SetText(IDC_LOCATION_NAME, r.name));
    ASSERT_TRUE(w_.SetText(IDC_LOCATION_PATH, r.location));
    ASSERT_TRUE(w_.Click(IDOK));
    ASSERT_TRUE(w_.AnswerMessage(r.message));
    EXPECT_EQ(w_.Title(), kLocation);
    EXPECT_TRUE(WaitUntil([&] { return w_.FocusedId() == r.focus; }, 2000)) << Narrow(r.location);
  }

  // Browse opens the folder picker; cancelling it changes nothing.
  ASSERT_TRUE(w_.Click(IDC_LOCATION_BROWSE));
  Popup picker = w_.WaitMessageBox();
  ASSERT_TRUE(picker) << "no folder picker";
  ASSERT_TRUE(w_.Answer(picker, IDCANCEL));
  EXPECT_EQ(w_.Text(IDC_LOCATION_PATH), aFile);

  // An existing folder with files: the overwrite question, No keeps the page.
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_PATH, install_->Path(L"full")));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"您指定的项目位置存在。\r\n你想要覆盖它吗？", IDNO));
  EXPECT_EQ(w_.Title(), kLocation);
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"您指定的项目位置存在。\r\n你想要覆盖它吗？", IDYES));
  ASSERT_TRUE(w_.WaitForTitle(kPackage));

  std::wstring file = ReadUtf16File(w_.WorkingProject());
  EXPECT_NE(file.find(L"InventoryName=A\r\nSandboxName=A\r\n"), std::wstring::npos);

  // An empty existing folder passes without a question; a name with blanks is trimmed.
  ASSERT_TRUE(w_.Back(kLocation));
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_NAME, L"  Trimmed "));
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_PATH, install_->Path(L"empty") + L"\\"));
  ASSERT_TRUE(w_.Next(kPackage));
  EXPECT_FALSE(w_.FindPopup());
  file = ReadUtf16File(w_.WorkingProject());
  EXPECT_NE(file.find(L"InventoryName=Trimmed\r\nSandboxName=Trimmed\r\n"), std::wstring::npos);
}

TEST_F(ProjectPagesTest, TooLittleFreeSpaceAndABlankLocation) {
  std::wstring project =
      Edited(SuggestedProject(), {{L"EstimatedDataContainerSize=12", L"EstimatedDataContainerSize=2000000000"}});
  Install(project);
  StartToEntryPoints();
  ASSERT_TRUE(w_.NextUntil(kLocation));
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_PATH, L""));
  EXPECT_FALSE(w_.IsEnabled(IDOK)) << "no location: no Next";
  ASSERT_TRUE(w_.SetText(IDC_LOCATION_PATH, install_->Path(L"not\\yet")));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"在你选定的位置上，没有足够的可用磁盘空间。"));
  EXPECT_EQ(w_.Title(), kLocation);
}

TEST_F(ProjectPagesTest, PackageSettingsContainerMsiAndCompression) {
  MachineValue organisation(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"RegisteredOrganization");
  organisation.Set(L"Loom Test Org");
  Install();
  StartToEntryPoints();
  ASSERT_TRUE(w_.NextUntil(kPackage));
  EXPECT_EQ(w_.Text(IDOK), L"保存");
  EXPECT_TRUE(w_.IsChecked(IDC_MSI_USE_ENTRY)) << "12 MB: an entry point stays the container";
  EXPECT_EQ(w_.Text(IDC_MSI_ENTRY), L"Demo App.exe");
  EXPECT_EQ(w_.Text(IDC_MSI_DATA_FILE), L"Demo App.dat");
  EXPECT_EQ(w_.Text(IDC_MSI_FILE_NAME), L"Demo App.msi");
  EXPECT_FALSE(w_.IsEnabled(IDC_MSI_DATA_FILE));
  EXPECT_FALSE(w_.IsEnabled(IDC_MSI_FILE_NAME));

  // A separate data file with a bad name, an MSI without a name: refused.
  ASSERT_TRUE(w_.Click(IDC_MSI_USE_DATA_FILE));
  ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDC_MSI_DATA_FILE); }));
  ASSERT_TRUE(w_.SetText(IDC_MSI_DATA_FILE, L"Data]"));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"名称包含无效字符"));
  ASSERT_TRUE(w_.SetText(IDC_MSI_DATA_FILE, L""));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"文件名必须输入。"));
  ASSERT_TRUE(w_.SetText(IDC_MSI_DATA_FILE, L"Demo#Data.dat"));
  ASSERT_TRUE(w_.Click(IDC_MSI_BUILD));
  ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDC_MSI_FILE_NAME); }));
  ASSERT_TRUE(w_.SetText(IDC_MSI_FILE_NAME, L""));
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(L"文件名必须输入。"));
  EXPECT_EQ(w_.Title(), kPackage);

  ASSERT_TRUE(w_.SetText(IDC_MSI_FILE_NAME, L"Setup.msi"));
  ASSERT_TRUE(w_.Click(IDC_MSI_COMPRESS));
  std::wstring working = w_.WorkingProject();
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(WaitUntil([&] { return w_.Title() != kPackage; }, 15000));
  std::wstring file = ReadUtf16File(working);
  for (const wchar_t* line :
       {L"[Demo#Data.dat]\r\nSource=", L"\r\nCompressionType=Fast\r\n",
        L"[Demo App.exe]\r\nSource=%ProgramFilesDir%\\Demo App\\app.exe\r\nShortcut=Demo#23Data.dat\r\n",
        L"\r\nMSIFilename=Setup.msi\r\n", L"\r\nMSIProductVersion=1.0\r\n", L"\r\nMSIManufacturer=Loom Test Org\r\n",
        L"\r\nMSIInstallDirectory=Demo App (Corvel Wrenlow)\r\n", L"\r\n;MSIProductCode={"})
    EXPECT_NE(file.find(line), std::wstring::npos) << Narrow(line);
  EXPECT_EQ(file.find(L"[Demo App.dat]"), std::wstring::npos);
  EXPECT_EQ(file.find(L"MetaDataContainerOnly=1\r\nDisabled=1"), std::wstring::npos) << "the container is enabled";
}

TEST_F(ProjectPagesTest, IconsByGroupPositionIconFilesAndFallbacks) {
  Install();
  const std::wstring app = L"%ProgramFilesDir%\\Demo App\\app.exe";
  const std::wstring longSource = L"C:\\" + std::wstring(1500, L'a') + L"\\x.exe";
  auto entry = [](const std::wstring& name, const std::wstring& source, const std::wstring& icon = L"") {
    return L"\r\n[" + name + L"]\r\nSource=" + source + L"\r\n" + (icon.empty() ? L"" : L"Icon=" + icon + L"\r\n");
  };
  UseProject(L"[BuildOptions]\r\nOutDir=bin\r\n" + entry(L"G0", app) + entry(L"G1", app, app + L",1") +
             entry(L"G5", app, app + L",5") + entry(L"Negative", app, app + L",-1") +
             entry(L"IconFile", app, L"%ProgramFilesDir%\\Demo App\\help.ico") + entry(L"Gone", L"C:\\nowhere\\x.exe") +
             entry(L"Long", longSource));
  StartToEntryPoints();
  ASSERT_EQ(Rows(), (std::vector<std::wstring>{L"G0", L"G1", L"G5", L"Negative", L"IconFile", L"Gone", L"Long"}));
  EXPECT_EQ(w_.RowText(IDC_ENTRY_LIST, 6, 1), longSource) << "a long Source is read whole";
  Sleep(500);  // painted
  std::vector<std::vector<uint32_t>> icons;
  for (int row = 0; row < 6; ++row) icons.push_back(w_.RowIconPixels(IDC_ENTRY_LIST, row));
  const std::vector<uint32_t>& standard = icons[5];
  ASSERT_EQ(standard.size(), 256u);
  EXPECT_NE(icons[0], standard) << "the first icon group of the executable";
  EXPECT_NE(icons[1], standard) << "the second icon group";
  EXPECT_NE(icons[1], icons[0]);
  EXPECT_EQ(icons[2], standard) << "no sixth group: the standard icon";
  EXPECT_EQ(icons[3], standard) << "a negative position: the standard icon";
  EXPECT_NE(icons[4], standard) << "an icon file";

  // A later visit where every entry is for debugging only: the box is set
  // and cannot be changed, the rows are shown.
  UseProject(L"[BuildOptions]\r\nOutDir=bin\r\n\r\n[Dbg]\r\nSource=C:\\d.exe\r\nDisabled=1\r\nForDebugOnly=1\r\n");
  ASSERT_TRUE(w_.Back(kInstall));
  ASSERT_TRUE(w_.Next(kEntryPoints, 15000));
  EXPECT_EQ(Rows(), std::vector<std::wstring>{L"Dbg"});
  EXPECT_TRUE(w_.IsChecked(IDC_ENTRY_SHOW_DEBUG));
  EXPECT_FALSE(w_.IsEnabled(IDC_ENTRY_SHOW_DEBUG));
}

TEST_F(ProjectPagesTest, LargePackageProposesTheDataFileAndAsksBeforeAnEntryPoint) {
  Install(Edited(SuggestedProject(), {{L"EstimatedDataContainerSize=12", L"EstimatedDataContainerSize=300"}}));
  StartToEntryPoints();
  ASSERT_TRUE(w_.NextUntil(kPackage));
  EXPECT_TRUE(w_.IsChecked(IDC_MSI_USE_DATA_FILE)) << "300 MB on the first visit";
  EXPECT_TRUE(w_.IsEnabled(IDC_MSI_USE_ENTRY));
  ASSERT_TRUE(w_.Click(IDC_MSI_USE_ENTRY));
  ASSERT_TRUE(WaitUntil([&] { return w_.IsEnabled(IDC_MSI_ENTRY); }));
  ASSERT_TRUE(w_.Click(IDOK));
  const std::wstring question =
      L"你应该选择.dat文件作为主数据容器。\r\n如果不这样做可能会导致某些图标无法正确显示。\r\n"
      L"你确定你要选择一个非.dat文件作为主数据容器吗？";
  ASSERT_TRUE(w_.AnswerMessage(question, IDNO));
  EXPECT_TRUE(
      WaitUntil([&] { return w_.IsChecked(IDC_MSI_USE_DATA_FILE) && w_.FocusedId() == IDC_MSI_DATA_FILE; }, 2000));
  EXPECT_EQ(w_.Title(), kPackage);

  // Back and forth: the 200 threshold proposes only once.
  ASSERT_TRUE(w_.Click(IDC_MSI_USE_ENTRY));
  ASSERT_TRUE(w_.Back(kLocation));
  ASSERT_TRUE(w_.Next(kPackage));
  EXPECT_TRUE(w_.IsChecked(IDC_MSI_USE_ENTRY));
  std::wstring working = w_.WorkingProject();
  ASSERT_TRUE(w_.Click(IDOK));
  ASSERT_TRUE(w_.AnswerMessage(question, IDYES));
  ASSERT_TRUE(WaitUntil([&] { return w_.Title() != kPackage; }, 15000));
  std::wstring file = ReadUtf16File(working);
  EXPECT_EQ(file.find(L"[Demo App.dat]"), std::wstring::npos) << "the metadata container goes";
  EXPECT_NE(
      file.find(L"[Demo App.exe]\r\nReadOnlyData=Package.ro.tvr\r\nSource=%ProgramFilesDir%\\Demo App\\app.exe\r\n"
                L"WorkingDirectory="),
      std::wstring::npos)
      << "the chosen entry holds the data and loses Shortcut";
  EXPECT_NE(file.find(L"[Demo Settings.exe]\r\nSource="), std::wstring::npos);
  EXPECT_NE(file.find(L"Shortcut=Demo App.exe\r\n"), std::wstring::npos);
}
