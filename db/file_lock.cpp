// POSIX implementation of db::internal::File and its byte-range locks.
#include "db/file_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "db/error.h"

namespace kaslo::db::internal {
namespace {

std::string SysError(const std::string& name, const char* what) {
  return name + ": " + what + " (" + std::strerror(errno) + ")";
}

#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
constexpr int kSetLockWait = F_OFD_SETLKW;
#else
#error "open file description locks (F_OFD_SETLK) are required"
#endif

}  // namespace

File File::Open(const std::filesystem::path& path, const std::string& display_name, bool read_only) {
  File f;
  f.name_ = display_name;
  f.fd_ = read_only ? -1 : ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  f.writable_ = f.fd_ >= 0;
  if (read_only || (f.fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))) {
    f.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (f.fd_ < 0) throw Error(SysError(display_name, "cannot open"));
  return f;
}

File File::Create(const std::filesystem::path& path, const std::string& display_name) {
  File f;
  f.name_ = display_name;
  f.fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (f.fd_ < 0) throw Error(SysError(display_name, "cannot create"));
  f.writable_ = true;
  return f;
}

File::~File() { Close(); }

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(other.writable_), name_(std::move(other.name_)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    writable_ = other.writable_;
    name_ = std::move(other.name_);
  }
  return *this;
}

void File::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

uint64_t File::Size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) throw Error(SysError(name_, "cannot read the file size"));
  return static_cast<uint64_t>(st.st_size);
}

size_t File::ReadAt(uint64_t offset, void* data, size_t size) const {
  size_t done = 0;
  auto* p = static_cast<char*>(data);
  while (done < size) {
    ssize_t n = ::pread(fd_, p + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Error(SysError(name_, "read error"));
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

void File::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (!writable_) throw Error(name_ + ": the file is read-only");
  size_t done = 0;
  const auto* p = static_cast<const char*>(data);
  while (done < size) {
    ssize_t n = ::pwrite(fd_, p + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Error(SysError(name_, "write error"));
    }
    done += static_cast<size_t>(n);
  }
}

void File::Truncate(uint64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw Error(SysError(name_, "cannot truncate"));
}

void File::Sync() {
  if (fd_ >= 0 && writable_) ::fdatasync(fd_);
}

namespace {
struct flock MakeLock(short type, int64_t offset) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(offset);
  fl.l_len = 1;
  fl.l_pid = 0;  // required 0 for OFD locks
  return fl;
}
}  // namespace

bool File::TryLock(int64_t offset, bool exclusive) {
  // A write lock needs a descriptor open for writing; a read-only table can
  // still be opened shared.
  if (exclusive && !writable_) return false;
  struct flock fl = MakeLock(exclusive ? F_WRLCK : F_RDLCK, offset);
  while (::fcntl(fd_, kSetLock, &fl) != 0) {
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return false;
    throw Error(SysError(name_, "lock error"));
  }
  return true;
}

void File::Lock(int64_t offset, bool exclusive) {
  struct flock fl = MakeLock(exclusive && writable_ ? F_WRLCK : F_RDLCK, offset);
  while (::fcntl(fd_, kSetLockWait, &fl) != 0) {
    if (errno == EINTR) continue;
    throw Error(SysError(name_, "lock error"));
  }
}

void File::Unlock(int64_t offset) {
  if (fd_ < 0) return;
  struct flock fl = MakeLock(F_UNLCK, offset);
  ::fcntl(fd_, kSetLock, &fl);
}

}  // namespace kaslo::db::internal
