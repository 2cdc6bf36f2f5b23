// Replacing a file safely, for the libraries' writers and the tools: the new contents go into a
// fresh file beside the target (same directory, so the rename stays on one file system), which
// is renamed over the target only when everything was written. A failure leaves the old file as
// it was and no temporary file behind. Internal: not installed, linked privately.
#ifndef TESK_INTERNAL_REPLACE_FILE_H_
#define TESK_INTERNAL_REPLACE_FILE_H_

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace tesk::internal {

// The file a write to path should land in: the target of a symbolic link, so that replacing
// the file keeps the link.
inline std::string ResolveLink(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  std::free(real);
  return resolved;
}

// Errors that mean "no room": a full disk, a quota, or the file size limit.
inline bool IsDiskFull(int err) { return err == ENOSPC || err == EDQUOT || err == EFBIG; }

// Writes all n bytes, retrying short and interrupted writes: 0, or the errno.
inline int WriteAll(int fd, const void* data, std::size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t r = ::write(fd, p, n);
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

// The temporary file that becomes the target. Removed on destruction unless committed.
class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile() { Discard(); }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Creates a new, uniquely named file beside path (beside the file a link at path points
  // to), open for reading and writing, with the permissions of the file it will replace (a new
  // file gets the usual mode). 0, or the errno.
  int Create(const std::string& path) {
    Discard();
    if (path.empty()) return ENOENT;
    target_ = ResolveLink(path);
    const std::size_t slash = target_.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    static std::atomic<unsigned> counter{0};
    int err = 0;
    // O_EXCL: never take over a file someone else made.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      char suffix[48];
      std::snprintf(suffix, sizeof suffix, ".tmp%ld-%u", static_cast<long>(::getpid()),
                    counter.fetch_add(1));
      temp_.assign(dir).append(1, '.').append(base).append(suffix);
      fd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      err = fd_ < 0 ? errno : 0;
      if (err != 0 && err != EEXIST) break;
    }
    if (fd_ < 0) {
      temp_.clear();
      return err;
    }
    struct stat st;
    if (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
      (void)::fchmod(fd_, st.st_mode & 07777);
    return 0;
  }

  int fd() const { return fd_; }

  // Closes the file and renames it over the target: 0, or the errno of the failed close or
  // rename (the temporary file is then removed).
  int Commit() {
    if (fd_ < 0) return EBADF;
    int err = ::close(std::exchange(fd_, -1)) != 0 ? errno : 0;
    if (err == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) err = errno;
    if (err != 0) {
      Discard();
      return err;
    }
    temp_.clear();
    return 0;
  }

  // Renames over the target but keeps the descriptor open, for callers that go on using the
  // file (the descriptor then stays this object's until Release). 0, or the errno.
  int CommitKeepOpen() {
    if (fd_ < 0 || temp_.empty()) return EBADF;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return errno;
    temp_.clear();
    return 0;
  }

  // Hands the descriptor to the caller.
  int Release() { return std::exchange(fd_, -1); }

  // Closes the descriptor and removes the file if it was not committed.
  void Discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!temp_.empty()) {
      ::unlink(temp_.c_str());
      temp_.clear();
    }
  }

 private:
  int fd_ = -1;
  std::string temp_;
  std::string target_;
};

// Replaces path's contents with contents in one go: 0, or the errno.
inline int ReplaceFile(const std::string& path, std::string_view contents) {
  ReplacementFile file;
  if (int err = file.Create(path)) return err;
  if (int err = WriteAll(file.fd(), contents.data(), contents.size())) return err;
  return file.Commit();
}

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_REPLACE_FILE_H_
