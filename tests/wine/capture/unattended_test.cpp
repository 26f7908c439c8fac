// loomctl.exe capture with the real capture tool and the stand-in build tools:
// the sample installer captured unattended in a fresh prefix (ctest entry
// wine.unattended, a prefix of its own: the sample is installed once).
#include <string>

#include "WizardDriver.h"

using namespace loomtest;

TEST(Unattended, CapturesTheSampleInstallerWhereTheAnswersSay) {
  if (!TestInstall::Built(L"loomctl.exe")) GTEST_SKIP() << "loomctl.exe is not built yet";
  InstallOptions options;
  options.snapshot = options.snapshot64 = Place::Absent;
  options.buildTools = Place::Beside;
  TestInstall install(options);
  ASSERT_TRUE(install.ok()) << Narrow(install.error());
  ASSERT_TRUE(install.Install(L"capture\\snapshot64.exe", Place::Beside, L"snapshot64.exe"));
  ASSERT_TRUE(install.Install(L"loomctl.exe", Place::Beside));
  const std::wstring project = L"C:\\Packages\\Sample", log = install.Path(L"capture.log");
  const std::wstring answers = install.Path(L"sample.answers");
  // UTF-16LE with its byte-order mark, as a Windows editor saves it.
  ASSERT_TRUE(WriteBytes(answers, Utf16Bytes(L"[Capture]\r\nInstall=\"" + BuildFolder() +
                                             L"\\sample\\SampleSetup.exe\" /S\r\nInstallTimeout=120\r\n"
                                             L"[EntryPoints]\r\nSelect=Sample App.exe\r\n[Project]\r\nLocation=" +
                                             project + L"\r\n[Options]\r\nIsolation=write-copy\r\n")));
  Captured c = RunCaptured(
      Quoted(install.ProgramFolder() + L"\\loomctl.exe") + L" capture " + Quoted(answers) + L" --log " + Quoted(log),
      {}, install.ProgramFolder(), 600000);
  ASSERT_TRUE(c.finished);
  EXPECT_EQ(c.exitCode, 0u) << c.output;
  for (const char* step : {"[1/9] prescan: ", "[2/9] install: ", "[4/9] compare: ", "[9/9] build (link): "})
    EXPECT_NE(c.output.find(step), std::string::npos) << step << "\n" << c.output;
  EXPECT_NE(c.output.find("project: " + Narrow(project)), std::string::npos) << c.output;
  EXPECT_TRUE(FileExists(project + L"\\Package.ini"));
  EXPECT_TRUE(FileExists(project + L"\\bin\\Sample App.exe")) << c.output;
  const std::wstring ini = ReadUtf16File(project + L"\\Package.ini");
  EXPECT_NE(ini.find(L"DirectoryIsolationMode=WriteCopy"), std::wstring::npos);
  // The log holds the exact command lines.
  std::string logText = ReadBytes(log).value_or("");
  EXPECT_NE(logText.find("command: \"" + Narrow(install.ProgramFolder()) + "\\snapshot64.exe\""), std::string::npos)
      << logText;
  // No snapshot or working project stays in the temp folder.
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((TempFolder() + L"\\{*}.*").c_str(), &fd);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE) << Narrow(fd.cFileName);
  if (h != INVALID_HANDLE_VALUE) FindClose(h);

  // loomctl report of it: one page, natively checked in the core tests.
  Captured r = RunCaptured(Quoted(install.ProgramFolder() + L"\\loomctl.exe") + L" report " + Quoted(project) +
                           L" -o " + Quoted(project + L"\\report.html"));
  EXPECT_EQ(r.exitCode, 0u) << r.output;
  EXPECT_NE(ReadBytes(project + L"\\report.html").value_or("").find("Sample App.exe"), std::string::npos);
}
