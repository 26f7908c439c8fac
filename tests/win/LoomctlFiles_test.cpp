// loomctl.exe on files that carry Windows attributes: a read-only file is
// refused and left as it was, a successful edit keeps the attributes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "util/FileIo.h"
#include "util/Text.h"

using namespace loom;

namespace {

std::wstring Beside(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

DWORD RunLoomctl(const std::wstring& args) {
  std::wstring line = L"\"" + Beside(L"loomctl.exe") + L"\" " + args;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return 9999;
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 9999;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

std::string Bytes(std::u16string_view text) { return "\xff\xfe" + ToUtf16LeBytes(text); }

}  // namespace

TEST(LoomctlAttributes, ReadOnlyRefusedOthersKept) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"loomctl_attr.ini";
  const std::u16string path(file.begin(), file.end());
  struct Case {
    DWORD attributes;
    DWORD exitCode;
    std::u16string after;
  };
  const Case cases[] = {
      {FILE_ATTRIBUTE_READONLY, 1, u"[S]\r\nA=1\r\n"},
      {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 1, u"[S]\r\nA=1\r\n"},
      {FILE_ATTRIBUTE_HIDDEN, 0, u"[S]\r\nA=2\r\n"},
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 0, u"[S]\r\nA=2\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(ReplaceFileContents(path, Bytes(u"[S]\r\nA=1\r\n")));
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), c.attributes));
    EXPECT_EQ(RunLoomctl(L"ini \"" + file + L"\" set S A 2"), c.exitCode);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, Bytes(c.after));
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    EXPECT_EQ(GetFileAttributesW(file.c_str()) & kept, c.attributes);
  }
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(file.c_str());
}
