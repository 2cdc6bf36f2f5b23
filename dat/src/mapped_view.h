// An owned memory mapping of part of a file, unmapped on destruction.
#ifndef TESK_DAT_MAPPED_VIEW_H
#define TESK_DAT_MAPPED_VIEW_H

#include <cstddef>
#include <cstdint>
#include <utility>

#include "build.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

class MappedView {
 public:
  MappedView() = default;
  ~MappedView() { reset(); }
  MappedView(MappedView&& other) noexcept
      : base_(std::exchange(other.base_, nullptr)),
        length_(std::exchange(other.length_, 0)),
        writable_(std::exchange(other.writable_, false)) {}
  MappedView& operator=(MappedView&& other) noexcept;
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;

  // Maps length bytes of fd from offset (a multiple of the page size), shared with the file.
  // The caller has checked that the file holds them: touching a mapped page beyond the end of a
  // file kills the process. An empty view on failure.
  static MappedView Map(int fd, std::int64_t offset, std::int64_t length, bool writable);

  // The page size: windows start at multiples of it.
  static std::int64_t Granularity();

  std::uint8_t* data() const { return static_cast<std::uint8_t*>(base_); }
  std::size_t size() const { return length_; }
  bool writable() const { return writable_; }
  explicit operator bool() const { return base_ != nullptr; }
  void reset();

 private:
  void* base_ = nullptr;
  std::size_t length_ = 0;
  bool writable_ = false;
};

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_MAPPED_VIEW_H
