// Files for the readers and writers: a plain input file, and an output file that replaces its
// target only when everything was written.
#ifndef TESK_PARVEL_FILE_IO_H_
#define TESK_PARVEL_FILE_IO_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <tesk/internal/replace_file.h>

namespace parvel {

// A byte buffer that is not zero-filled on growth (it is about to be overwritten by a read).
class ByteBuffer {
 public:
  unsigned char* data() { return data_.get(); }
  const unsigned char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }
  void Resize(std::size_t n);  // keeps the first min(n, size()) bytes

 private:
  std::unique_ptr<unsigned char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

class InFile {
 public:
  InFile() = default;
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;
  ~InFile();

  bool Open(const std::string& path);
  // Size from the file system (0 for pipes and similar).
  std::uint64_t Size() const { return size_; }
  // Reads up to n bytes, retrying short reads; returns the count read, or -1 on error.
  std::int64_t Read(void* dst, std::size_t n);
  // Reads up to n bytes at offset, leaving the file position alone; as Read.
  std::int64_t ReadAt(void* dst, std::size_t n, std::uint64_t offset);
  // Reads everything from the current position to the end.
  bool ReadRest(ByteBuffer& out);

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// Writes into a fresh file beside the target (same directory, so the final rename stays on one
// file system) through a large buffer; Commit renames it over the target. Without a successful
// Commit the temporary file is removed and the target keeps its old content.
class AtomicWriter {
 public:
  static constexpr std::size_t kBuffer = std::size_t{1} << 18;

  AtomicWriter() = default;
  AtomicWriter(const AtomicWriter&) = delete;
  AtomicWriter& operator=(const AtomicWriter&) = delete;
  ~AtomicWriter() = default;

  bool Open(const std::string& target);
  // Room for n more bytes (n <= kBuffer); flushes when needed. Write into it, then Advance.
  char* Reserve(std::size_t n) {
    if (fill_ + n > kBuffer) Flush();
    return buffer_.get() + fill_;
  }
  void Advance(std::size_t n) { fill_ += n; }
  void Put(const void* data, std::size_t n);
  void Put(const std::string& s) { Put(s.data(), s.size()); }
  // Overwrites n bytes already put at offset from the start of the file (header fields known
  // only once the rest is out).
  void PatchAt(std::uint64_t offset, const void* data, std::size_t n);
  bool Failed() const { return failed_; }
  // Flushes, closes and renames over the target; false (and nothing replaced) on any error.
  bool Commit();

 private:
  void Flush();

  tesk::internal::ReplacementFile file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t fill_ = 0;
  std::uint64_t flushed_ = 0;  // bytes handed to the file so far
  bool failed_ = false;
};

}  // namespace parvel

#endif  // TESK_PARVEL_FILE_IO_H_
