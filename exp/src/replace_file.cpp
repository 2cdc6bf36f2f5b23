#include "replace_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

inline namespace TESK_OSTREL_NS {
namespace detail {
namespace {

std::atomic<unsigned> g_counter{0};

bool IsFullDisk(int err) { return err == ENOSPC || err == EDQUOT || err == EFBIG; }

// The real file behind path when path is a symbolic link, so that replacing it keeps the link.
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  std::free(real);
  return resolved;
}

bool WriteAll(int fd, std::string_view data, int& err) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    if (n == 0) {
      err = ENOSPC;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

ReplaceResult ReplaceFile(const std::string& path, std::string_view contents) {
  if (path.empty()) return ReplaceResult::kCannotCreate;
  const std::string target = ResolveTarget(path);
  size_t slash = target.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "." + base + ".tmp" + std::to_string(::getpid()) + "-" +
           std::to_string(g_counter.fetch_add(1));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    return (errno == EACCES || errno == EPERM || errno == EROFS) ? ReplaceResult::kAccessDenied
                                                                 : ReplaceResult::kCannotCreate;
  }

  // A replaced file keeps its permissions.
  struct stat st;
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    (void)::fchmod(fd, st.st_mode & 07777);

  int err = 0;
  bool ok = WriteAll(fd, contents, err);
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return IsFullDisk(err) ? ReplaceResult::kDiskFull : ReplaceResult::kCannotWrite;
  }
  return ReplaceResult::kOk;
}

}  // namespace detail
}  // namespace TESK_OSTREL_NS
