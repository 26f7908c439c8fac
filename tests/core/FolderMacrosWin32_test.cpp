// The process-wide table on the real system (run under Wine or Windows).
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "macros/FolderMacros.h"
#include "util/Text.h"

using namespace loom;

namespace {

std::u16string Env(const wchar_t* name, bool* present = nullptr) {
  wchar_t buffer[1024];
  SetLastError(0);
  const DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
  if (present) *present = n != 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), n < 1024 ? n : 0);
}

std::u16string ShortPathOf(const std::u16string& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetShortPathNameW(reinterpret_cast<const wchar_t*>(path.c_str()), buffer, MAX_PATH);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), n < MAX_PATH ? n : 0);
}

}  // namespace

TEST(FolderMacrosWin32, FillsFromTheRealSystem) {
  bool hadTemp = false, hadProfile = false;
  const std::u16string temp = Env(L"TEMP", &hadTemp), profile = Env(L"USERPROFILE", &hadProfile);
  InitFolderMacros();
  bool hasTemp = false, hasProfile = false;
  EXPECT_EQ(Env(L"TEMP", &hasTemp), temp);
  EXPECT_EQ(Env(L"USERPROFILE", &hasProfile), profile);
  EXPECT_EQ(hasTemp, hadTemp);
  EXPECT_EQ(hasProfile, hadProfile);

  const std::u16string programFiles = Env(L"ProgramFiles");
  ASSERT_FALSE(programFiles.empty());
  EXPECT_TRUE(EqualsNoCaseUnicode(ExpandFolderMacros(u"%ProgramFilesDir%", false), programFiles))
      << Utf16ToUtf8(ExpandFolderMacros(u"%ProgramFilesDir%", false));

  wchar_t windows[MAX_PATH];
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  ASSERT_GT(n, 0u);
  std::u16string out;
  EXPECT_TRUE(PathToFolderMacros(std::u16string(reinterpret_cast<char16_t*>(windows), n) + u"\\x.txt", out));
  EXPECT_EQ(out, u"%SystemRoot%\\x.txt");
}

TEST(FolderMacrosWin32, RealShortPathRoundTrips) {
  InitFolderMacros();
  // Something that exists inside a folder with a short form of its own.
  const std::u16string folder = ExpandFolderMacros(u"%Program Files Common%", false);
  const std::u16string folderShort = ShortPathOf(folder);
  if (folderShort.empty() || EqualsNoCaseUnicode(folderShort, folder)) GTEST_SKIP() << "no short form";
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(reinterpret_cast<const wchar_t*>((folder + u"\\*").c_str()), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  std::u16string child;
  do {
    child = reinterpret_cast<const char16_t*>(found.cFileName);
  } while ((child == u"." || child == u"..") && FindNextFileW(find, &found));
  FindClose(find);
  ASSERT_NE(child, u"..");

  for (const std::u16string& shortPath : {ShortPathOf(folder + u"\\" + child), folderShort + u"\\new"}) {
    std::u16string macro;
    EXPECT_TRUE(PathToFolderMacros(shortPath, macro));
    EXPECT_EQ(macro.rfind(u"%Program Files Common~", 0), 0u) << Utf16ToUtf8(macro);
    const std::u16string back = ExpandFolderMacros(macro, false);
    EXPECT_TRUE(EqualsNoCaseUnicode(back, shortPath))
        << Utf16ToUtf8(shortPath) << " -> " << Utf16ToUtf8(macro) << " -> " << Utf16ToUtf8(back);
  }
}
#endif
