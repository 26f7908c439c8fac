// POSIX implementation of util/FileIo.h (native builds and tests).
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/FileIo.h"
#include "util/Text.h"

namespace loom {
namespace {

uint32_t FromErrno(int e) {
  switch (e) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    case ENOSPC: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorInvalidName;
    case ENOMEM: return kErrorNotEnoughMemory;
    default: return kErrorReadFault;
  }
}

void SetError(uint32_t* error, uint32_t code) {
  if (error) *error = code;
}

std::string Native(std::u16string_view path) { return Utf16ToUtf8(path); }

class PosixFile : public ReadOnlyFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { close(fd_); }
  bool Size(uint64_t& size, uint32_t* error) override {
    struct stat st;
    if (fstat(fd_, &st) != 0) {
      SetError(error, FromErrno(errno));
      return false;
    }
    size = uint64_t(st.st_size);
    return true;
  }
  size_t ReadAt(uint64_t offset, void* buffer, size_t count, uint32_t* error) override {
    if (offset > uint64_t(INT64_MAX)) return 0;
    size_t done = 0;
    while (done < count) {
      ssize_t n = pread(fd_, static_cast<char*>(buffer) + done, count - done, off_t(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        SetError(error, FromErrno(errno));
        return SIZE_MAX;
      }
      if (n == 0) break;
      done += size_t(n);
    }
    return done;
  }

 private:
  int fd_;
};

int OpenRegularForRead(std::u16string_view path, uint32_t* error) {
  int fd = open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetError(error, FromErrno(errno));
    return -1;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    SetError(error, kErrorAccessDenied);
    return -1;
  }
  return fd;
}

}  // namespace

bool ReadWholeFile(std::u16string_view path, std::string& bytes, uint32_t* error) {
  int fd = OpenRegularForRead(path, error);
  if (fd < 0) return false;
  std::string data;
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, FromErrno(errno));
      close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buf, size_t(n));
  }
  close(fd);
  bytes.swap(data);
  return true;
}

bool ReplaceFileContents(std::u16string_view path, std::string_view bytes, uint32_t* error) {
  std::string target = Native(path);
  if (target.empty()) {
    SetError(error, kErrorInvalidName);
    return false;
  }
  struct stat st;
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) {
      SetError(error, kErrorAccessDenied);
      return false;
    }
    if ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) {
      SetError(error, kErrorFileReadOnly);
      return false;
    }
    // Edit the file a link points to, not the link.
    struct stat lst;
    if (lstat(target.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
      char* resolved = realpath(target.c_str(), nullptr);
      if (!resolved) {
        SetError(error, FromErrno(errno));
        return false;
      }
      target = resolved;
      std::free(resolved);
    }
  }
  std::string temp = target + ".loomtmp-XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    SetError(error, FromErrno(errno));
    return false;
  }
  if (exists) {
    // Owner first (only possible with the right to), then the mode, which a
    // change of owner may have cleared of its set-id bits.
    if (fchown(fd, st.st_uid, st.st_gid) != 0) { /* not ours to give away: keep ours */
    }
    fchmod(fd, st.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, errno == ENOSPC ? kErrorDiskFull : kErrorWriteFault);
      ok = false;
      break;
    }
    done += size_t(n);
  }
  if (ok && fsync(fd) != 0) {
    SetError(error, kErrorWriteFault);
    ok = false;
  }
  if (close(fd) != 0 && ok) {
    SetError(error, kErrorWriteFault);
    ok = false;
  }
  if (ok && rename(temp.c_str(), target.c_str()) != 0) {
    SetError(error, FromErrno(errno));
    ok = false;
  }
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool MakeFullPath(std::u16string_view path, std::u16string& full) {
  if (path.empty()) return false;
  if (path[0] == u'/') {
    full.assign(path);
    return true;
  }
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return false;
  full = Utf8ToUtf16(cwd);
  if (full.empty() || full.back() != u'/') full.push_back(u'/');
  full.append(path);
  return true;
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::Open(std::u16string_view path, uint32_t* error) {
  int fd = OpenRegularForRead(path, error);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixFile>(fd);
}

bool DeleteFileAt(std::u16string_view path) { return unlink(Native(path).c_str()) == 0; }

bool ListFolderItems(std::u16string_view folder, std::vector<FolderItem>& items) {
  const std::string base = Native(folder);
  DIR* dir = opendir(base.c_str());
  if (!dir) return false;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    if (stat((base + "/" + name).c_str(), &st) != 0) continue;
    items.push_back({Utf8ToUtf16(name), S_ISDIR(st.st_mode), S_ISDIR(st.st_mode) ? 0 : uint64_t(st.st_size)});
  }
  closedir(dir);
  return true;
}

bool FileExists(std::u16string_view path) {
  struct stat st;
  return stat(Native(path).c_str(), &st) == 0;
}

bool FolderExists(std::u16string_view path) {
  struct stat st;
  return stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace loom
