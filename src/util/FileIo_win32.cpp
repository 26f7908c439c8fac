// Win32 implementation of util/FileIo.h.
#include <windows.h>

#include "util/FileIo.h"

namespace loom {
namespace {

std::wstring W(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

void SetError(uint32_t* error, uint32_t code) {
  if (error) *error = code;
}

class Win32File : public ReadOnlyFile {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { CloseHandle(h_); }
  bool Size(uint64_t& size, uint32_t* error) override {
    LARGE_INTEGER li;
    if (!GetFileSizeEx(h_, &li)) {
      SetError(error, GetLastError());
      return false;
    }
    size = uint64_t(li.QuadPart);
    return true;
  }
  size_t ReadAt(uint64_t offset, void* buffer, size_t count, uint32_t* error) override {
    size_t done = 0;
    while (done < count) {
      OVERLAPPED ov = {};
      uint64_t at = offset + done;
      if (at < offset) break;  // past the largest offset: nothing to read
      ov.Offset = DWORD(at);
      ov.OffsetHigh = DWORD(at >> 32);
      DWORD chunk = DWORD(count - done > 0x10000000 ? 0x10000000 : count - done);
      DWORD got = 0;
      if (!ReadFile(h_, static_cast<char*>(buffer) + done, chunk, &got, &ov)) {
        DWORD e = GetLastError();
        if (e == ERROR_HANDLE_EOF) break;
        SetError(error, e);
        return SIZE_MAX;
      }
      if (got == 0) break;
      done += got;
    }
    return done;
  }

 private:
  HANDLE h_;
};

HANDLE OpenForRead(std::u16string_view path, uint32_t* error) {
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) SetError(error, GetLastError());
  return h;
}

}  // namespace

bool ReadWholeFile(std::u16string_view path, std::string& bytes, uint32_t* error) {
  HANDLE h = OpenForRead(path, error);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size)) size.QuadPart = -1;
  if (size.QuadPart < 0 || size.QuadPart > 0x7FFFFFFF) {
    SetError(error, size.QuadPart < 0 ? uint32_t(GetLastError()) : kErrorNotEnoughMemory);
    CloseHandle(h);
    return false;
  }
  std::string data(size_t(size.QuadPart), '\0');
  DWORD got = 0;
  bool ok = data.empty() || (ReadFile(h, data.data(), DWORD(data.size()), &got, nullptr) && got == data.size());
  if (!ok) SetError(error, GetLastError() ? GetLastError() : kErrorReadFault);
  CloseHandle(h);
  if (ok) bytes.swap(data);
  return ok;
}

namespace {

// The file a link (or any reparse point) finally names; the path itself when
// it names none or the query fails.
std::wstring FinalPath(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return path;
  std::wstring out(MAX_PATH, L'\0');
  DWORD n = GetFinalPathNameByHandleW(h, out.data(), DWORD(out.size()), FILE_NAME_NORMALIZED);
  if (n >= out.size()) {
    out.resize(n + 1);
    n = GetFinalPathNameByHandleW(h, out.data(), DWORD(out.size()), FILE_NAME_NORMALIZED);
  }
  CloseHandle(h);
  if (n == 0 || n >= out.size()) return path;
  out.resize(n);
  return out;
}

}  // namespace

bool ReplaceFileContents(std::u16string_view path, std::string_view bytes, uint32_t* error) {
  if (path.empty()) {
    SetError(error, kErrorInvalidName);
    return false;
  }
  std::wstring target = W(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      SetError(error, kErrorAccessDenied);
      return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      SetError(error, kErrorFileReadOnly);
      return false;
    }
    // Edit the file a symbolic link points to, not the link.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) target = FinalPath(target);
  }
  wchar_t suffix[40];
  wsprintfW(suffix, L".loomtmp-%lu-%lu", GetCurrentProcessId(), GetTickCount());
  std::wstring temp = target + suffix;
  // No sharing while the new content is written.
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetError(error, GetLastError());
    return false;
  }
  bool ok = true;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    DWORD chunk = DWORD(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
    DWORD put = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &put, nullptr) || put == 0) {
      SetError(error, GetLastError() ? GetLastError() : kErrorWriteFault);
      ok = false;
    }
    done += put;
  }
  if (ok && !FlushFileBuffers(h)) {
    SetError(error, GetLastError());
    ok = false;
  }
  CloseHandle(h);
  if (ok && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    SetError(error, GetLastError());
    ok = false;
  }
  if (!ok) DeleteFileW(temp.c_str());
  // The new file takes the old one's attributes (hidden, system, archive...).
  constexpr DWORD kKept =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (ok && attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept))
    SetFileAttributesW(target.c_str(), attributes & kKept);
  return ok;
}

bool MakeFullPath(std::u16string_view path, std::u16string& full) {
  if (path.empty()) return false;
  std::wstring in = W(path);
  DWORD n = GetFullPathNameW(in.c_str(), 0, nullptr, nullptr);
  if (n == 0) return false;
  std::wstring out(n, L'\0');
  n = GetFullPathNameW(in.c_str(), n, out.data(), nullptr);
  if (n == 0 || n >= out.size()) return false;
  out.resize(n);
  full.assign(out.begin(), out.end());
  return true;
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::Open(std::u16string_view path, uint32_t* error) {
  HANDLE h = OpenForRead(path, error);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(h);
    SetError(error, kErrorAccessDenied);
    return nullptr;
  }
  return std::make_unique<Win32File>(h);
}

bool DeleteFileAt(std::u16string_view path) { return DeleteFileW(W(path).c_str()) != 0; }

bool ListFolderItems(std::u16string_view folder, std::vector<FolderItem>& items) {
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((W(folder) + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    items.push_back({std::u16string(name.begin(), name.end()), isFolder,
                     isFolder ? 0 : (uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow});
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  return true;
}

bool FileExists(std::u16string_view path) { return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool FolderExists(std::u16string_view path) {
  DWORD attributes = GetFileAttributesW(W(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace loom
