// Operating-system file access for the table engine: a file descriptor with
// whole-buffer reads and writes, and the byte-range locks that make
// exclusive opens, shared opens and record locks visible to every process
// on the data directory.
//
// Locks are Linux open-file-description locks (F_OFD_SETLK): unlike classic
// fcntl locks they belong to one open file, so two Table objects of the same
// process conflict with each other exactly as two processes do, and closing
// one table never drops the locks of another. The lock bytes lie far beyond
// any real table, so they never block reads or writes of the data.
//
// OFFSET            SIZE DESCRIPTION
// 999,999,990       1    open lock: shared (read) lock for a shared open,
//                        exclusive (write) lock for an exclusive open
// 999,999,991       1    append lock: held while a row is posted (header
//                        count, memo file growth)
// 1,000,000,000+n   1    record lock of record n (edit, delete)
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kaslo::db::internal {

constexpr int64_t kOpenLockOffset = 999'999'990;
constexpr int64_t kAppendLockOffset = 999'999'991;
constexpr int64_t kRecordLockBase = 1'000'000'000;

class File {
 public:
  File() = default;
  // Opens read-write, or read-only when the file may not be written.
  // Throws db::Error naming `display_name` when it cannot be opened.
  static File Open(const std::filesystem::path& path, const std::string& display_name, bool read_only = false);
  static File Create(const std::filesystem::path& path, const std::string& display_name);
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool valid() const { return fd_ >= 0; }
  bool writable() const { return writable_; }
  const std::string& name() const { return name_; }

  uint64_t Size() const;
  // Reads exactly size bytes at offset; returns the bytes actually read
  // (fewer only at end of file).
  size_t ReadAt(uint64_t offset, void* data, size_t size) const;
  void WriteAt(uint64_t offset, const void* data, size_t size);
  void Truncate(uint64_t size);
  void Sync();
  void Close();

  // Non-blocking lock of one byte; false when another open file holds a
  // conflicting lock.
  bool TryLock(int64_t offset, bool exclusive);
  // Blocking lock of one byte (waits for the other holder).
  void Lock(int64_t offset, bool exclusive);
  void Unlock(int64_t offset);

 private:
  int fd_ = -1;
  bool writable_ = false;
  std::string name_;
};

}  // namespace kaslo::db::internal
