#include "tiling/byte_source.h"

#include <fcntl.h>

#include <algorithm>
#include <cstring>

namespace tesk::tiling {

bool ByteSource::Open(const std::string& path) {
  file_ = internal::File::Open(path, O_RDONLY);
  if (!file_ || !file_.IsRegular() || file_.Size() < 0) {
    file_.Reset();
    return false;
  }
  ::posix_fadvise(file_.fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
  size_ = static_cast<std::uint64_t>(file_.Size());
  if (!buf_) buf_ = std::make_unique_for_overwrite<unsigned char[]>(kWindow);
  start_ = 0;
  len_ = pos_ = 0;
  return true;
}

bool ByteSource::Seek(std::uint64_t offset) {
  if (offset > size_) return false;
  if (offset >= start_ && offset <= start_ + len_) {
    pos_ = static_cast<std::size_t>(offset - start_);
  } else {
    start_ = offset;
    len_ = pos_ = 0;
  }
  return true;
}

bool ByteSource::Refill(std::size_t n) {
  if (!file_ || n > kWindow) return false;
  const std::size_t keep = len_ - pos_;
  if (keep > 0) std::memmove(buf_.get(), buf_.get() + pos_, keep);
  start_ += pos_;
  pos_ = 0;
  len_ = keep;
  const std::uint64_t at = start_ + keep;
  const std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(kWindow - keep, size_ > at ? size_ - at : 0));
  if (want > 0) {
    const std::int64_t r = file_.ReadAt(buf_.get() + keep, want, at);
    if (r < 0) return false;
    len_ += static_cast<std::size_t>(r);
  }
  return len_ >= n;
}

const unsigned char* ByteSource::TakeSlow(std::size_t n) {
  if (!Refill(n)) return nullptr;
  const unsigned char* p = buf_.get() + pos_;
  pos_ += n;
  return p;
}

const unsigned char* ByteSource::TakeSome(std::size_t max, std::size_t unit, std::size_t& got) {
  got = 0;
  if (unit == 0 || max < unit) return nullptr;
  if (len_ - pos_ < unit && !Refill(unit)) return nullptr;
  std::size_t avail = std::min(len_ - pos_, max);
  avail -= avail % unit;
  const unsigned char* p = buf_.get() + pos_;
  pos_ += avail;
  got = avail;
  return p;
}

bool ByteSource::CopyOut(char* dst, std::size_t n) {
  if (n == 0) return true;
  if (!file_) return false;
  const std::size_t in_window = std::min(n, len_ - pos_);
  if (in_window > 0) std::memcpy(dst, buf_.get() + pos_, in_window);
  pos_ += in_window;
  n -= in_window;
  if (n == 0) return true;
  if (n > kWindow / 2) {
    // Long fields go straight to their destination and past the window.
    const std::uint64_t at = position();
    if (file_.ReadAt(dst + in_window, n, at) !=
                       static_cast<std::int64_t>(n)) {
      return false;
    }
    start_ = at + n;
    len_ = pos_ = 0;
    return true;
  }
  const unsigned char* p = Take(n);
  if (p == nullptr) return false;
  std::memcpy(dst + in_window, p, n);
  return true;
}

}  // namespace tesk::tiling
