#include "tesk/internal/file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tesk/internal/env.h"

namespace tesk::internal {

void ByteBuffer::Resize(std::size_t n) {
  if (n > capacity_) {
    auto bigger = std::make_unique_for_overwrite<unsigned char[]>(n);
    if (size_ > 0) std::memcpy(bigger.get(), data_.get(), size_);
    data_ = std::move(bigger);
    capacity_ = n;
  }
  size_ = n;
}

File File::Open(const std::string& path, int flags, mode_t mode) {
  if (path.empty()) {
    errno = ENOENT;
    return File();
  }
  int fd;
  do {
    fd = CurrentEnv().Open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return File(fd);
}

void File::Reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

std::int64_t File::Size() const { return FileSize(fd_); }

std::int64_t FileSize(int fd) {
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool File::IsRegular() const {
  struct stat st;
  return fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
}

std::int64_t File::Read(void* dst, std::size_t n) {
  auto* p = static_cast<char*>(dst);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r = CurrentEnv().Read(fd_, p + done, n - done);
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    done += static_cast<std::size_t>(r);
  }
  return static_cast<std::int64_t>(done);
}

std::int64_t File::ReadAt(void* dst, std::size_t n, std::uint64_t offset) {
  return tesk::internal::ReadAt(fd_, dst, n, offset);
}

std::int64_t ReadAt(int fd, void* dst, std::size_t n, std::uint64_t offset) {
  auto* p = static_cast<char*>(dst);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r =
        CurrentEnv().ReadAt(fd, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    done += static_cast<std::size_t>(r);
  }
  return static_cast<std::int64_t>(done);
}

bool File::ReadRest(ByteBuffer& out, std::uint64_t expected) {
  // Sized from the caller's expectation; a file that grows meanwhile is read on in steps.
  std::size_t have = out.size();
  std::size_t want = expected > have ? static_cast<std::size_t>(expected) - have + 1 : 65536;
  for (;;) {
    out.Resize(have + want);
    const std::int64_t got = Read(out.data() + have, want);
    if (got < 0) {
      out.Resize(have);
      return false;
    }
    have += static_cast<std::size_t>(got);
    if (static_cast<std::size_t>(got) < want) break;
    want = have;  // doubling keeps a growing read linear
  }
  out.Resize(have);
  return true;
}

bool File::WriteAt(const void* src, std::size_t n, std::uint64_t offset) {
  return tesk::internal::WriteAt(fd_, src, n, offset);
}

bool WriteAt(int fd, const void* src, std::size_t n, std::uint64_t offset) {
  const auto* p = static_cast<const char*>(src);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r =
        CurrentEnv().WriteAt(fd, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) return false;
    done += static_cast<std::size_t>(r);
  }
  return true;
}

bool File::Truncate(std::uint64_t size) { return tesk::internal::Truncate(fd_, size); }

bool Truncate(int fd, std::uint64_t size) {
  return fd >= 0 && CurrentEnv().Truncate(fd, static_cast<off_t>(size)) == 0;
}

int WriteAll(int fd, const void* data, std::size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t r = CurrentEnv().Write(fd, p, n);
    if (r < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (r == 0) return ENOSPC;
    p += r;
    n -= static_cast<std::size_t>(r);
  }
  return 0;
}

bool ReadWholeFile(const std::string& path, ByteBuffer& out) {
  File file = File::Open(path, O_RDONLY);
  if (!file) return false;
  struct stat st;
  if (::fstat(file.fd(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  out.Resize(0);
  const std::uint64_t size =
      S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  return file.ReadRest(out, size);
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  ByteBuffer bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  out.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return true;
}

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

}  // namespace tesk::internal
