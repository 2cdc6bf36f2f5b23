// Sequential and positioned reading of a file (through the kit's file layer) with one fixed
// buffer, for the tiling readers:
// a probe map or result file can be far larger than what a reader keeps, so the readers decode
// straight from this window and never hold a second copy of the file.
#ifndef TESK_API_SRC_TILING_BYTE_SOURCE_H_
#define TESK_API_SRC_TILING_BYTE_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "tesk/internal/file.h"

namespace tesk::tiling {

class ByteSource {
 public:
  static constexpr std::size_t kWindow = std::size_t{1} << 18;

  ByteSource() = default;
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  // Opens a regular file for reading; false when it cannot be opened or is not a regular file.
  bool Open(const std::string& path);
  std::uint64_t size() const { return size_; }
  // Absolute offset of the next byte to be taken.
  std::uint64_t position() const { return start_ + pos_; }
  std::uint64_t remaining() const { return size_ - position(); }
  // Moves to an absolute offset; false beyond the end.
  bool Seek(std::uint64_t offset);

  // The next n bytes (n <= kWindow), consumed; nullptr when the file ends (or a read fails)
  // before n bytes.
  const unsigned char* Take(std::size_t n) {
    if (len_ - pos_ >= n) {
      const unsigned char* p = buf_.get() + pos_;
      pos_ += n;
      return p;
    }
    return TakeSlow(n);
  }

  // Between one unit and max bytes (a whole number of units, unit <= kWindow), consumed;
  // nullptr when not even one unit is left. For decoding runs of fixed-size records.
  const unsigned char* TakeSome(std::size_t max, std::size_t unit, std::size_t& got);

  // n bytes copied into dst; false when the file ends first. n may exceed the window.
  bool CopyOut(char* dst, std::size_t n);

 private:
  const unsigned char* TakeSlow(std::size_t n);
  // Refills the window from the current position so that at least n bytes are in it, if the
  // file has them.
  bool Refill(std::size_t n);

  internal::File file_;
  std::uint64_t size_ = 0;
  std::unique_ptr<unsigned char[]> buf_;
  std::uint64_t start_ = 0;  // file offset of buf_[0]
  std::size_t len_ = 0;      // valid bytes in buf_
  std::size_t pos_ = 0;      // next byte in buf_
};

}  // namespace tesk::tiling

#endif  // TESK_API_SRC_TILING_BYTE_SOURCE_H_
