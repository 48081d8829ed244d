// libc's file-changing functions, replaced in the test binary by ones that
// count each call inside the armed directory and forward to libc.
//
// Definitions in the executable come first in the dynamic linker's search,
// so they catch the engine's calls and, once exported, those that libstdc++
// makes (std::filesystem::rename calls rename). dlsym(RTLD_NEXT) then finds
// the function they stand for. Calls that libc makes to itself (fwrite's
// write, remove's unlink) never reach here, so each change is counted once.
//
// Each hook counts before it forwards: a kill at the point means the change
// never reached the kernel, while every change before it did.
#undef _FORTIFY_SOURCE    // its inline open() would clash with the hook
#undef _FILE_OFFSET_BITS  // the plain and the 64 names are hooked apart

#include "common/testing/kill_points_hooks.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <string>
#include <string_view>
#include <system_error>

namespace kaslo::testing::internal {
namespace {

std::atomic<bool> g_armed{false};
std::atomic<int> g_count{0};
int g_kill_at = 0;
// The directory as given (for paths the code builds from it) and as the
// kernel names it (for /proc/self/fd): they differ under a symbolic link.
std::string g_dir;
std::string g_real_dir;

std::string WithoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

bool Under(std::string_view path, std::string_view dir) {
  return path.starts_with(dir) && (path.size() == dir.size() || path[dir.size()] == '/');
}

bool Inside(const std::string& path) { return Under(path, g_dir) || Under(path, g_real_dir); }

// What a descriptor is open on now, asked each time: descriptors are reused,
// and pipes, terminals and sockets ("pipe:[123]") never match.
std::string FdPath(int fd) {
  char link[32];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[PATH_MAX];
  ssize_t n = ::readlink(link, target, sizeof target);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
}

std::string AbsolutePath(int dirfd, const char* path) {
  if (path[0] == '/') return std::filesystem::path(path).lexically_normal().string();
  std::string base;
  if (dirfd == AT_FDCWD) {
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd)) base = cwd;
  } else {
    base = FdPath(dirfd);
  }
  return (std::filesystem::path(base) / path).lexically_normal().string();
}

// SIGKILL rather than an exception or exit: nothing of the operation runs
// after the point, no destructor, no buffered flush, as in a real crash.
void Count() {
  int n = g_count.fetch_add(1) + 1;
  if (n == g_kill_at) ::raise(SIGKILL);
}

// The hooks keep errno as the caller left it: only libc's answer sets it.
void BeforeFd(int fd) {
  if (!g_armed.load(std::memory_order_relaxed) || fd < 0) return;
  int saved = errno;
  if (Inside(FdPath(fd))) Count();
  errno = saved;
}

bool InsidePath(int dirfd, const char* path) { return path && Inside(AbsolutePath(dirfd, path)); }

// One change even when it names two paths (a rename into the directory).
void BeforePaths(int dirfd, const char* path, int other_dirfd = AT_FDCWD, const char* other = nullptr) {
  if (!g_armed.load(std::memory_order_relaxed)) return;
  int saved = errno;
  if (InsidePath(dirfd, path) || InsidePath(other_dirfd, other)) Count();
  errno = saved;
}

// A stream changes its file only when it is open for writing.
void BeforeStream(FILE* stream) {
  if (!g_armed.load(std::memory_order_relaxed) || !stream) return;
  int fd = ::fileno(stream);
  int flags = fd >= 0 ? ::fcntl(fd, F_GETFL) : -1;
  if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY) BeforeFd(fd);
}

bool Changes(int open_flags) { return (open_flags & (O_CREAT | O_TRUNC)) != 0; }
bool NeedsMode(int open_flags) { return (open_flags & O_CREAT) || (open_flags & O_TMPFILE) == O_TMPFILE; }
bool Changes(const char* fopen_mode) { return fopen_mode && (fopen_mode[0] == 'w' || fopen_mode[0] == 'a'); }

}  // namespace

void ArmKillPoints(const std::filesystem::path& dir, int kill_at) {
  g_dir = WithoutTrailingSlash(std::filesystem::absolute(dir).lexically_normal().string());
  std::error_code ec;
  g_real_dir = WithoutTrailingSlash(std::filesystem::weakly_canonical(dir, ec).string());
  if (ec) g_real_dir = g_dir;
  g_kill_at = kill_at;
  g_count = 0;
  g_armed = true;
}

int DisarmKillPoints() {
  g_armed = false;
  return g_count;
}

}  // namespace kaslo::testing::internal

using namespace kaslo::testing::internal;  // NOLINT: the hooks below are its users

// The libc function the hook stands for, looked up once.
#define KASLO_REAL(name) \
  static const auto real = reinterpret_cast<decltype(&name)>(::dlsym(RTLD_NEXT, #name))

// Hooks whose first argument is the descriptor written to.
#define KASLO_FD_HOOK(ret, name, params, args, except) \
  extern "C" ret name params except {                  \
    BeforeFd(fd);                                      \
    KASLO_REAL(name);                                  \
    return real args;                                  \
  }

KASLO_FD_HOOK(ssize_t, write, (int fd, const void* b, size_t n), (fd, b, n), )
KASLO_FD_HOOK(ssize_t, writev, (int fd, const iovec* v, int n), (fd, v, n), )
KASLO_FD_HOOK(ssize_t, pwrite, (int fd, const void* b, size_t n, off_t o), (fd, b, n, o), )
KASLO_FD_HOOK(ssize_t, pwrite64, (int fd, const void* b, size_t n, off64_t o), (fd, b, n, o), )
KASLO_FD_HOOK(ssize_t, pwritev, (int fd, const iovec* v, int n, off_t o), (fd, v, n, o), )
KASLO_FD_HOOK(ssize_t, pwritev64, (int fd, const iovec* v, int n, off64_t o), (fd, v, n, o), )
KASLO_FD_HOOK(int, ftruncate, (int fd, off_t n), (fd, n), noexcept)
KASLO_FD_HOOK(int, ftruncate64, (int fd, off64_t n), (fd, n), noexcept)
KASLO_FD_HOOK(int, fallocate, (int fd, int m, off_t o, off_t n), (fd, m, o, n), )
KASLO_FD_HOOK(int, fallocate64, (int fd, int m, off64_t o, off64_t n), (fd, m, o, n), )
KASLO_FD_HOOK(int, fsync, (int fd), (fd), )
KASLO_FD_HOOK(int, fdatasync, (int fd), (fd), )
KASLO_FD_HOOK(ssize_t, sendfile, (int fd, int in, off_t* o, size_t n), (fd, in, o, n), noexcept)
KASLO_FD_HOOK(ssize_t, sendfile64, (int fd, int in, off64_t* o, size_t n), (fd, in, o, n), noexcept)

extern "C" ssize_t copy_file_range(int in, off64_t* in_off, int fd, off64_t* out_off, size_t n, unsigned flags) {
  BeforeFd(fd);
  KASLO_REAL(copy_file_range);
  return real(in, in_off, fd, out_off, n, flags);
}

// Hooks that name what they change by path (relative to d for *at).
#define KASLO_PATH_HOOK(ret, name, params, dirfd, path, args, except) \
  extern "C" ret name params except {                                  \
    BeforePaths(dirfd, path);                                          \
    KASLO_REAL(name);                                                  \
    return real args;                                                  \
  }

KASLO_PATH_HOOK(int, link, (const char* a, const char* b), AT_FDCWD, b, (a, b), noexcept)
KASLO_PATH_HOOK(int, symlink, (const char* a, const char* b), AT_FDCWD, b, (a, b), noexcept)
KASLO_PATH_HOOK(int, unlink, (const char* p), AT_FDCWD, p, (p), noexcept)
KASLO_PATH_HOOK(int, unlinkat, (int d, const char* p, int f), d, p, (d, p, f), noexcept)
KASLO_PATH_HOOK(int, remove, (const char* p), AT_FDCWD, p, (p), noexcept)
KASLO_PATH_HOOK(int, rmdir, (const char* p), AT_FDCWD, p, (p), noexcept)
KASLO_PATH_HOOK(int, mkdir, (const char* p, mode_t m), AT_FDCWD, p, (p, m), noexcept)
KASLO_PATH_HOOK(int, mkdirat, (int d, const char* p, mode_t m), d, p, (d, p, m), noexcept)
KASLO_PATH_HOOK(int, truncate, (const char* p, off_t n), AT_FDCWD, p, (p, n), noexcept)
KASLO_PATH_HOOK(int, truncate64, (const char* p, off64_t n), AT_FDCWD, p, (p, n), noexcept)
KASLO_PATH_HOOK(int, creat, (const char* p, mode_t m), AT_FDCWD, p, (p, m), )
KASLO_PATH_HOOK(int, creat64, (const char* p, mode_t m), AT_FDCWD, p, (p, m), )

extern "C" int rename(const char* a, const char* b) noexcept {
  BeforePaths(AT_FDCWD, a, AT_FDCWD, b);
  KASLO_REAL(rename);
  return real(a, b);
}

extern "C" int renameat(int da, const char* a, int db, const char* b) noexcept {
  BeforePaths(da, a, db, b);
  KASLO_REAL(renameat);
  return real(da, a, db, b);
}

extern "C" int renameat2(int da, const char* a, int db, const char* b, unsigned flags) noexcept {
  BeforePaths(da, a, db, b);
  KASLO_REAL(renameat2);
  return real(da, a, db, b, flags);
}

// open() counts only when it creates or empties a file. Its mode argument
// is there only when the flags ask for one.
#define KASLO_MODE_ARG(flags)    \
  mode_t mode = 0;               \
  if (NeedsMode(flags)) {        \
    va_list ap;                  \
    va_start(ap, flags);         \
    mode = va_arg(ap, mode_t);   \
    va_end(ap);                  \
  }

extern "C" int open(const char* p, int flags, ...) {
  KASLO_MODE_ARG(flags);
  if (Changes(flags)) BeforePaths(AT_FDCWD, p);
  KASLO_REAL(open);
  return real(p, flags, mode);
}

extern "C" int open64(const char* p, int flags, ...) {
  KASLO_MODE_ARG(flags);
  if (Changes(flags)) BeforePaths(AT_FDCWD, p);
  KASLO_REAL(open64);
  return real(p, flags, mode);
}

extern "C" int openat(int d, const char* p, int flags, ...) {
  KASLO_MODE_ARG(flags);
  if (Changes(flags)) BeforePaths(d, p);
  KASLO_REAL(openat);
  return real(d, p, flags, mode);
}

extern "C" int openat64(int d, const char* p, int flags, ...) {
  KASLO_MODE_ARG(flags);
  if (Changes(flags)) BeforePaths(d, p);
  KASLO_REAL(openat64);
  return real(d, p, flags, mode);
}

// Streams: opening for writing, writing and flushing are the moments their
// bytes can reach the file; libc's own write under them is not seen.
extern "C" FILE* fopen(const char* p, const char* mode) {
  if (Changes(mode)) BeforePaths(AT_FDCWD, p);
  KASLO_REAL(fopen);
  return real(p, mode);
}

extern "C" FILE* fopen64(const char* p, const char* mode) {
  if (Changes(mode)) BeforePaths(AT_FDCWD, p);
  KASLO_REAL(fopen64);
  return real(p, mode);
}

extern "C" size_t fwrite(const void* b, size_t size, size_t n, FILE* stream) {
  BeforeStream(stream);
  KASLO_REAL(fwrite);
  return real(b, size, n, stream);
}

extern "C" int fflush(FILE* stream) {
  BeforeStream(stream);
  KASLO_REAL(fflush);
  return real(stream);
}

extern "C" int fclose(FILE* stream) {
  BeforeStream(stream);
  KASLO_REAL(fclose);
  return real(stream);
}
