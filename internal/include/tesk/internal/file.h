// Reading files: an owned descriptor with whole, positioned and rest-of-file reads, a buffer
// that grows without zero-filling, whole-file reads and existence. Everything goes through
// the current Env (env.h).
#ifndef TESK_INTERNAL_INCLUDE_TESK_INTERNAL_FILE_H_
#define TESK_INTERNAL_INCLUDE_TESK_INTERNAL_FILE_H_

#include <fcntl.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace tesk::internal {

// A byte buffer that is not zero-filled on growth (it is about to be overwritten by a read).
class ByteBuffer {
 public:
  unsigned char* data() { return data_.get(); }
  const unsigned char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void Resize(std::size_t n);  // keeps the first min(n, size()) bytes

 private:
  std::unique_ptr<unsigned char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// An owned file descriptor, closed on destruction.
class File {
 public:
  File() = default;
  explicit File(int fd) : fd_(fd) {}
  ~File() { Reset(); }
  File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  File& operator=(File&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens path with the open(2) flags (O_CLOEXEC is added), retrying interrupted calls. An
  // empty path or a failure gives a closed File (errno says why).
  static File Open(const std::string& path, int flags, mode_t mode = 0644);

  int fd() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void Reset(int fd = -1);
  int Release() { return std::exchange(fd_, -1); }

  // Size from the file system, or -1.
  std::int64_t Size() const;
  // True for a regular file.
  bool IsRegular() const;

  // Reads up to n bytes, retrying short and interrupted reads; stops only at the end of the
  // file. The count read, or -1 on an error.
  std::int64_t Read(void* dst, std::size_t n);
  // As Read, at offset, leaving the file position alone.
  std::int64_t ReadAt(void* dst, std::size_t n, std::uint64_t offset);
  // Reads everything from the current position to the end, appending to out; `expected` sizes
  // the first step (the file may grow or shrink meanwhile).
  bool ReadRest(ByteBuffer& out, std::uint64_t expected = 0);
  // Writes all n bytes at offset; false on any error or a write that makes no progress.
  bool WriteAt(const void* src, std::size_t n, std::uint64_t offset);
  // Sets the file's size; false on failure.
  bool Truncate(std::uint64_t size);

 private:
  int fd_ = -1;
};

// The same operations on a descriptor the caller owns (a mapping's file, say).
std::int64_t FileSize(int fd);  // -1 on failure
std::int64_t ReadAt(int fd, void* dst, std::size_t n, std::uint64_t offset);
bool WriteAt(int fd, const void* src, std::size_t n, std::uint64_t offset);
bool Truncate(int fd, std::uint64_t size);

// Writes all n bytes to fd at its position, retrying short and interrupted writes: 0, or the
// errno (ENOSPC for a write that makes no progress).
int WriteAll(int fd, const void* data, std::size_t n);

// Reads the whole named file into out: false when it cannot be opened, is a directory, or a
// read fails. Any kind of file that can be read to its end is accepted (pipes included).
bool ReadWholeFile(const std::string& path, ByteBuffer& out);
bool ReadWholeFile(const std::string& path, std::string& out);

// Whether the file system reports an entry under path (links are not followed). False for an
// empty path.
bool Exists(const std::string& path);

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_INCLUDE_TESK_INTERNAL_FILE_H_
