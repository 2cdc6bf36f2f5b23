#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

UniqueFd OpenFile(const std::string& path, int flags, mode_t mode) {
  if (path.empty()) return UniqueFd();
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return UniqueFd(fd);
}

std::int64_t FileSize(int fd) {
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

std::int64_t ReadAt(int fd, void* buffer, std::int64_t length, std::int64_t offset) {
  auto* out = static_cast<char*>(buffer);
  std::int64_t done = 0;
  while (done < length) {
    ssize_t n = ::pread(fd, out + done, static_cast<size_t>(length - done),
                        static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

bool WriteAt(int fd, const void* buffer, std::int64_t length, std::int64_t offset) {
  const auto* in = static_cast<const char*>(buffer);
  std::int64_t done = 0;
  while (done < length) {
    ssize_t n = ::pwrite(fd, in + done, static_cast<size_t>(length - done),
                         static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += n;
  }
  return true;
}

}  // namespace imbrel_detail
}  // inline namespace
