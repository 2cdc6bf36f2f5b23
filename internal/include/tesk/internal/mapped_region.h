// An owned memory mapping of a file or a window of it, unmapped on destruction.
#ifndef TESK_INTERNAL_INCLUDE_TESK_INTERNAL_MAPPED_REGION_H_
#define TESK_INTERNAL_INCLUDE_TESK_INTERNAL_MAPPED_REGION_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace tesk::internal {

class MappedRegion {
 public:
  enum class Access {
    kShared,         // read-only, shared with the file
    kSharedWritable, // stores reach the file
    kPrivate,        // read-only copy-on-write, pages read in up front (whole-file parsing)
  };

  MappedRegion() = default;
  ~MappedRegion() { Reset(); }
  MappedRegion(MappedRegion&& other) noexcept
      : base_(std::exchange(other.base_, nullptr)),
        length_(std::exchange(other.length_, 0)),
        writable_(std::exchange(other.writable_, false)) {}
  MappedRegion& operator=(MappedRegion&& other) noexcept;
  MappedRegion(const MappedRegion&) = delete;
  MappedRegion& operator=(const MappedRegion&) = delete;

  // Maps length bytes of fd from offset (a multiple of Granularity()). The caller has checked
  // that the file holds them: touching a mapped page beyond the end of a file kills the
  // process. An empty region on failure.
  static MappedRegion Map(int fd, std::int64_t offset, std::int64_t length, Access access);

  // Maps the whole of a non-empty regular file read-only (kPrivate); an empty region when the
  // file cannot be opened, is not regular, is empty, or cannot be mapped.
  static MappedRegion MapFile(const std::string& path);

  // The page size: windows start at multiples of it.
  static std::int64_t Granularity();

  std::uint8_t* data() const { return static_cast<std::uint8_t*>(base_); }
  std::size_t size() const { return length_; }
  bool writable() const { return writable_; }
  explicit operator bool() const { return base_ != nullptr; }
  void Reset();

 private:
  void* base_ = nullptr;
  std::size_t length_ = 0;
  bool writable_ = false;
};

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_INCLUDE_TESK_INTERNAL_MAPPED_REGION_H_
