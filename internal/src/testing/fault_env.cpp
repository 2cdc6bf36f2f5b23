#include "tesk/testing/fault_env.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tesk::testing {

std::size_t FaultEnv::Allow(std::size_t n) {
  std::uint64_t room = room_.load();
  for (;;) {
    const std::uint64_t take = std::min<std::uint64_t>(room, n);
    if (take == 0) {
      errno = ENOSPC;
      return 0;
    }
    if (room == UINT64_MAX || room_.compare_exchange_weak(room, room - take)) {
      return static_cast<std::size_t>(take);
    }
  }
}

ssize_t FaultEnv::Read(int fd, void* buffer, std::size_t n) {
  if (read_limit_ > 0) n = std::min(n, read_limit_);
  if (read_fail_at_ != UINT64_MAX) {
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && static_cast<std::uint64_t>(at) + n > read_fail_at_) {
      errno = EIO;
      return -1;
    }
  }
  return Env::Read(fd, buffer, n);
}

ssize_t FaultEnv::ReadAt(int fd, void* buffer, std::size_t n, off_t offset) {
  if (read_limit_ > 0) n = std::min(n, read_limit_);
  if (static_cast<std::uint64_t>(offset) + n > read_fail_at_) {
    errno = EIO;
    return -1;
  }
  return Env::ReadAt(fd, buffer, n, offset);
}

ssize_t FaultEnv::Write(int fd, const void* buffer, std::size_t n) {
  const std::size_t take = Allow(n);
  if (take == 0 && n > 0) return -1;
  return Env::Write(fd, buffer, take);
}

ssize_t FaultEnv::WriteAt(int fd, const void* buffer, std::size_t n, off_t offset) {
  const std::size_t take = Allow(n);
  if (take == 0 && n > 0) return -1;
  return Env::WriteAt(fd, buffer, take, offset);
}

int FaultEnv::Truncate(int fd, off_t size) {
  // Growing a file takes room on a full disk.
  struct stat st;
  const off_t now = ::fstat(fd, &st) == 0 ? st.st_size : 0;
  if (size > now && room_.load() != UINT64_MAX &&
      static_cast<std::uint64_t>(size - now) > room_.load()) {
    errno = ENOSPC;
    return -1;
  }
  return Env::Truncate(fd, size);
}

void* FaultEnv::Map(std::size_t length, int prot, int flags, int fd, off_t offset) {
  if (fail_maps_) {
    errno = ENOMEM;
    return MAP_FAILED;
  }
  return Env::Map(length, prot, flags, fd, offset);
}

int FaultEnv::Rename(const char* from, const char* to) {
  if (fail_renames_) {
    errno = EXDEV;
    return -1;
  }
  return Env::Rename(from, to);
}

}  // namespace tesk::testing
