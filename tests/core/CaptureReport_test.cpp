// The report of a captured project, read back from its HTML: the names,
// counts and sizes are the project's.
#include "project/CaptureReport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "util/Text.h"

namespace loom {
namespace {

namespace fs = std::filesystem;

void Put(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}
std::string Utf16(std::u16string_view text) { return "\xff\xfe" + ToUtf16LeBytes(text); }

// Every match of `pattern` in `html`, its groups joined with "|".
std::vector<std::string> Rows(const std::string& html, const char* pattern) {
  std::vector<std::string> rows;
  std::regex re(pattern);
  for (auto it = std::sregex_iterator(html.begin(), html.end(), re); it != std::sregex_iterator(); ++it) {
    std::string row;
    for (size_t i = 1; i < it->size(); ++i) row += (i > 1 ? "|" : "") + (*it)[i].str();
    rows.push_back(row);
  }
  return rows;
}

TEST(CaptureReportTest, NamesCountsAndSizesAreTheProjects) {
  const fs::path p = fs::path(::testing::TempDir()) / "loom_report_test";
  fs::remove_all(p);
  Put(p / "Package.ini",
      Utf16(u"[Isolation]\r\nDirectoryIsolationMode=WriteCopy\r\n\r\n[BuildOptions]\r\nOutDir=bin\r\n"
            u"InventoryName=Sample <App>\r\n;PermittedGroups=\r\n\r\n[Sample App.exe]\r\n"
            u"Source=%ProgramFilesDir%\\Sample App\\app.exe\r\nIcon=%ProgramFilesDir%\\Sample App\\app.ico\r\n\r\n"
            u"[Old.exe]\r\nSource=%ProgramFilesDir%\\Sample App\\old.exe\r\nDisabled=1\r\n"));
  const std::string icon = std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\x04\0\0\0\x16\0\0\0icon", 26);
  Put(p / "%ProgramFilesDir%" / "Sample App" / "app.ico", icon);
  Put(p / "%ProgramFilesDir%" / "Sample App" / "data" / "big.bin", std::string(3000, 'x'));
  Put(p / "%ProgramFilesDir%" / "Other" / "x.txt", "0123456789");
  Put(p / "%AppData%" / "Sample" / "s.ini", "12345");
  Put(p / "%AppData%" / "top.txt", "12");
  Put(p / "bin" / "Sample App.exe", std::string(999, 'p'));  // built, not captured
  Put(p / "HKEY_LOCAL_MACHINE.reg",
      Utf16(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Fernhill]\r\n"
            u"\"Version\"=\"1.2\"\r\n\"Data\"=hex:01,02,\\\r\n  03,04\r\n\"Say \\\"hi\\\"\"=dword:00000001\r\n\r\n"
            u"[-HKEY_LOCAL_MACHINE\\Software\\Old]\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Fernhill\\Sub]\r\n"
            u"\"Gone\"=-\r\n@=\"default\"\r\n"));
  Put(p / "HKEY_CURRENT_USER.reg",
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Fernhill]\r\n\"Greeting\"=\"hi\"\r\n");
  Put(p / "notes.reg", "REGEDIT4\r\n[HKEY_USERS\\x]\r\n");  // not the standard format: left out

  CaptureSummary summary;
  std::u16string problem;
  ASSERT_TRUE(ReadCaptureSummary(p.u16string(), summary, problem)) << Utf16ToUtf8(problem);
  const std::string html = Utf16ToUtf8(ReportHtml(summary));

  EXPECT_EQ(Rows(html, "<h1 id=\"package\">([^<]*)</h1>"), std::vector<std::string>{"Sample &lt;App&gt;"});
  EXPECT_EQ(Rows(html,
                 "<tr class=\"entry\"><td><img alt=\"\" src=\"data:image/x-icon;base64,([^\"]+)\">"
                 "</td><td class=\"name\">([^<]*)</td>"),
            std::vector<std::string>{"AAABAAEAEBAAAAEAIAAEAAAAFgAAAGljb24=|Sample App.exe"});
  EXPECT_EQ(Rows(html,
                 "<tr class=\"macro\"><td class=\"name\">([^<]*)</td><td class=\"n files\">(\\d+)</td>"
                 "<td class=\"n size\" data-bytes=\"(\\d+)\">([^<]*)</td>"),
            (std::vector<std::string>{"%AppData%|2|7|7 bytes", "%ProgramFilesDir%|3|3036|3.0 KB"}));
  EXPECT_EQ(Rows(html, "<text [^>]*text-anchor=\"end\">([^<]*)</text><rect class=\"bar\"[^>]* width=\"(\\d+)\""),
            (std::vector<std::string>{"%ProgramFilesDir%\\Sample App|420", "%ProgramFilesDir%\\Other|1",
                                      "%AppData%\\Sample|1"}));
  EXPECT_EQ(Rows(html,
                 "<tr class=\"hive\"><td class=\"name\">([^<]*)</td><td class=\"n\">(\\d+)</td>"
                 "<td class=\"n\">(\\d+)</td><td class=\"n\">(\\d+)</td><td class=\"n\">(\\d+)</td>"),
            (std::vector<std::string>{"HKEY_CURRENT_USER|1|1|0|0", "HKEY_LOCAL_MACHINE|2|4|1|1"}));
  EXPECT_EQ(Rows(html, "<tr class=\"option\"><td class=\"name\">([^<]*)</td><td>([^<]*)</td>"),
            (std::vector<std::string>{"Isolation.DirectoryIsolationMode|WriteCopy", "BuildOptions.OutDir|bin",
                                      "BuildOptions.InventoryName|Sample &lt;App&gt;"}));
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("src=\"http"), std::string::npos);  // nothing from outside
  fs::remove_all(p);
}

}  // namespace
}  // namespace loom
