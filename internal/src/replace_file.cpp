#include "tesk/internal/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "tesk/internal/env.h"

namespace tesk::internal {

std::string ResolveLink(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  std::free(real);
  return resolved;
}

bool IsDiskFull(int err) { return err == ENOSPC || err == EDQUOT || err == EFBIG; }

int ReplacementFile::Create(const std::string& path) {
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
    fd_ = CurrentEnv().Open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    err = fd_ < 0 ? errno : 0;
    if (err != 0 && err != EEXIST) break;
  }
  if (fd_ < 0) {
    temp_.clear();
    return err;
  }
  struct stat st;
  if (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    (void)::fchmod(fd_, st.st_mode & 07777);
  }
  return 0;
}

int ReplacementFile::Commit() {
  if (fd_ < 0) return EBADF;
  int err = ::close(std::exchange(fd_, -1)) != 0 ? errno : 0;
  if (err == 0 && CurrentEnv().Rename(temp_.c_str(), target_.c_str()) != 0) err = errno;
  if (err != 0) {
    Discard();
    return err;
  }
  temp_.clear();
  return 0;
}

int ReplacementFile::CommitKeepOpen() {
  if (fd_ < 0 || temp_.empty()) return EBADF;
  if (CurrentEnv().Rename(temp_.c_str(), target_.c_str()) != 0) return errno;
  temp_.clear();
  return 0;
}

int ReplacementFile::Release() { return std::exchange(fd_, -1); }

void ReplacementFile::Discard() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

int ReplaceFile(const std::string& path, std::string_view contents) {
  ReplacementFile file;
  if (int err = file.Create(path)) return err;
  if (int err = WriteAll(file.fd(), contents.data(), contents.size())) return err;
  return file.Commit();
}

bool BufferedReplacement::Open(const std::string& target) {
  if (file_.Create(target) != 0) return false;
  buffer_ = std::make_unique_for_overwrite<char[]>(kBuffer);
  fill_ = 0;
  flushed_ = 0;
  failed_ = false;
  return true;
}

void BufferedReplacement::Flush() {
  if (!failed_ && WriteAll(file_.fd(), buffer_.get(), fill_) != 0) failed_ = true;
  flushed_ += fill_;
  fill_ = 0;
}

void BufferedReplacement::PatchAt(std::uint64_t offset, const void* data, std::size_t n) {
  if (offset + n > flushed_ + fill_) {
    failed_ = true;
    return;
  }
  if (offset >= flushed_) {
    std::memcpy(buffer_.get() + (offset - flushed_), data, n);
    return;
  }
  Flush();
  File view(file_.fd());
  if (!failed_ && !view.WriteAt(data, n, offset)) failed_ = true;
  view.Release();  // the descriptor stays the replacement's
}

void BufferedReplacement::Put(const void* data, std::size_t n) {
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

bool BufferedReplacement::Commit() {
  if (file_.fd() < 0) return false;
  Flush();
  if (!failed_ && file_.Commit() != 0) failed_ = true;
  if (failed_) {
    file_.Discard();
    return false;
  }
  return true;
}

}  // namespace tesk::internal
