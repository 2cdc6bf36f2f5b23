#include "tesk/internal/mapped_region.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "tesk/internal/env.h"
#include "tesk/internal/file.h"

namespace tesk::internal {

MappedRegion& MappedRegion::operator=(MappedRegion&& other) noexcept {
  if (this != &other) {
    Reset();
    base_ = std::exchange(other.base_, nullptr);
    length_ = std::exchange(other.length_, 0);
    writable_ = std::exchange(other.writable_, false);
  }
  return *this;
}

MappedRegion MappedRegion::Map(int fd, std::int64_t offset, std::int64_t length, Access access) {
  MappedRegion region;
  if (fd < 0 || offset < 0 || length <= 0 || offset % Granularity() != 0) return region;
  if (static_cast<std::uint64_t>(length) > SIZE_MAX) return region;
  const bool writable = access == Access::kSharedWritable;
  const int prot = PROT_READ | (writable ? PROT_WRITE : 0);
  const int flags = access == Access::kPrivate ? MAP_PRIVATE | MAP_POPULATE : MAP_SHARED;
  void* base = CurrentEnv().Map(static_cast<std::size_t>(length), prot, flags, fd,
                                static_cast<off_t>(offset));
  if (base == MAP_FAILED) return region;
  region.base_ = base;
  region.length_ = static_cast<std::size_t>(length);
  region.writable_ = writable;
  return region;
}

MappedRegion MappedRegion::MapFile(const std::string& path) {
  File file = File::Open(path, O_RDONLY);
  if (!file || !file.IsRegular()) return MappedRegion();
  const std::int64_t size = file.Size();
  if (size <= 0) return MappedRegion();
  return Map(file.fd(), 0, size, Access::kPrivate);  // the mapping outlives the descriptor
}

std::int64_t MappedRegion::Granularity() {
  static const std::int64_t page = [] {
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::int64_t>(size) : std::int64_t{4096};
  }();
  return page;
}

void MappedRegion::Reset() {
  if (base_ != nullptr) ::munmap(base_, length_);
  base_ = nullptr;
  length_ = 0;
  writable_ = false;
}

}  // namespace tesk::internal
