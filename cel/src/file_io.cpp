#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <algorithm>

namespace parvel {

InFile::~InFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool InFile::Open(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat st;
  if (::fstat(fd_, &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return false;
  size_ = S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  return true;
}

std::int64_t InFile::Read(void* dst, std::size_t n) {
  auto* p = static_cast<char*>(dst);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r = ::read(fd_, p + done, n - done);
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    done += static_cast<std::size_t>(r);
  }
  return static_cast<std::int64_t>(done);
}

std::int64_t InFile::ReadAt(void* dst, std::size_t n, std::uint64_t offset) {
  auto* p = static_cast<char*>(dst);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    done += static_cast<std::size_t>(r);
  }
  return static_cast<std::int64_t>(done);
}

void ByteBuffer::Resize(std::size_t n) {
  if (n > capacity_) {
    auto bigger = std::make_unique_for_overwrite<unsigned char[]>(n);
    if (size_ > 0) std::memcpy(bigger.get(), data_.get(), size_);
    data_ = std::move(bigger);
    capacity_ = n;
  }
  size_ = n;
}

bool InFile::ReadRest(ByteBuffer& out) {
  // Sized from the file system; a file that grows meanwhile is read on in steps.
  std::size_t have = out.size();
  std::size_t want = size_ > have ? static_cast<std::size_t>(size_) - have + 1 : 65536;
  for (;;) {
    out.Resize(have + want);
    const std::int64_t got = Read(out.data() + have, want);
    if (got < 0) return false;
    have += static_cast<std::size_t>(got);
    if (static_cast<std::size_t>(got) < want) break;
    want = have;  // doubling keeps a growing read linear
  }
  out.Resize(have);
  return true;
}

bool AtomicWriter::Open(const std::string& target) {
  if (file_.Create(target) != 0) return false;
  buffer_ = std::make_unique_for_overwrite<char[]>(kBuffer);
  fill_ = 0;
  flushed_ = 0;
  failed_ = false;
  return true;
}

void AtomicWriter::Flush() {
  if (!failed_ && tesk::internal::WriteAll(file_.fd(), buffer_.get(), fill_) != 0) failed_ = true;
  flushed_ += fill_;
  fill_ = 0;
}

void AtomicWriter::PatchAt(std::uint64_t offset, const void* data, std::size_t n) {
  if (offset + n > flushed_ + fill_) {
    failed_ = true;
    return;
  }
  if (offset >= flushed_) {
    std::memcpy(buffer_.get() + (offset - flushed_), data, n);
    return;
  }
  Flush();
  const char* p = static_cast<const char*>(data);
  while (!failed_ && n > 0) {
    const ssize_t r = ::pwrite(file_.fd(), p, n, static_cast<off_t>(offset));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      failed_ = true;
      break;
    }
    p += r;
    n -= static_cast<std::size_t>(r);
    offset += static_cast<std::uint64_t>(r);
  }
}

void AtomicWriter::Put(const void* data, std::size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    if (fill_ == kBuffer) Flush();
    const std::size_t take = std::min(n, kBuffer - fill_);
    std::memcpy(buffer_.get() + fill_, p, take);
    fill_ += take;
    p += take;
    n -= take;
  }
}

bool AtomicWriter::Commit() {
  if (file_.fd() < 0) return false;
  Flush();
  if (!failed_ && file_.Commit() != 0) failed_ = true;
  if (failed_) {
    file_.Discard();
    return false;
  }
  return true;
}

}  // namespace parvel
