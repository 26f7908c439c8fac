// Whole-file and positioned file access for the portable core.
// Paths are UTF-16 on every platform (UTF-8 on the way to POSIX calls).
// Failures report Windows system error codes on every platform, so the
// callers' contracts read the same under Wine and in the native tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include <string_view>

namespace loom {

// Windows system error codes.
constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorWriteFault = 29;
constexpr uint32_t kErrorReadFault = 30;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorBadExeFormat = 193;  // what an invalid-image-format status converts to
constexpr uint32_t kErrorFileReadOnly = 6009;

// Reads the whole file (opened for reading, shared for reading, existing files
// only). On failure returns false, sets *error, and leaves `bytes` untouched.
bool ReadWholeFile(std::u16string_view path, std::string& bytes, uint32_t* error = nullptr);

// Replaces the file's content without ever losing the old file: the bytes go
// to a new file beside it, which is then renamed over the old one. When any
// step fails the old file is left whole and the new one removed.
// A symbolic link is followed: the file it points to is the one replaced
// (written beside that file), and the link stays. A read-only file is refused
// with kErrorFileReadOnly (on POSIX: a file nobody may write, or one this
// process may not write). The new file keeps the old one's permissions and
// attributes. A hard link to the old file keeps the old content.
bool ReplaceFileContents(std::u16string_view path, std::string_view bytes, uint32_t* error = nullptr);

// Absolute form of a path (relative to the current directory). False when the
// path is empty or cannot be made absolute.
bool MakeFullPath(std::u16string_view path, std::u16string& full);

// A file opened for positioned reads, shared for reading.
class ReadOnlyFile {
 public:
  static std::unique_ptr<ReadOnlyFile> Open(std::u16string_view path, uint32_t* error);
  virtual ~ReadOnlyFile() = default;
  // Size in bytes; false (with *error) when it cannot be queried.
  virtual bool Size(uint64_t& size, uint32_t* error) = 0;
  // Reads up to `count` bytes at `offset`; returns the number read, or
  // SIZE_MAX on a read failure (with *error).
  virtual size_t ReadAt(uint64_t offset, void* buffer, size_t count, uint32_t* error) = 0;
};

// The entries of a folder ("." and ".." left out), in no particular order;
// false when it cannot be listed.
struct FolderItem {
  std::u16string name;
  bool folder = false;
  uint64_t size = 0;
};
bool ListFolderItems(std::u16string_view folder, std::vector<FolderItem>& items);

bool DeleteFileAt(std::u16string_view path);
bool FileExists(std::u16string_view path);
bool FolderExists(std::u16string_view path);  // an existing folder (a link to one counts)

}  // namespace loom
