#include "mapped_view.h"

#include <sys/mman.h>
#include <unistd.h>

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

MappedView& MappedView::operator=(MappedView&& other) noexcept {
  if (this != &other) {
    reset();
    base_ = std::exchange(other.base_, nullptr);
    length_ = std::exchange(other.length_, 0);
    writable_ = std::exchange(other.writable_, false);
  }
  return *this;
}

MappedView MappedView::Map(int fd, std::int64_t offset, std::int64_t length, bool writable) {
  MappedView view;
  if (fd < 0 || offset < 0 || length <= 0 || offset % Granularity() != 0) return view;
  if (static_cast<std::uint64_t>(length) > SIZE_MAX) return view;
  int prot = PROT_READ | (writable ? PROT_WRITE : 0);
  void* base = ::mmap(nullptr, static_cast<std::size_t>(length), prot, MAP_SHARED, fd,
                      static_cast<off_t>(offset));
  if (base == MAP_FAILED) return view;
  view.base_ = base;
  view.length_ = static_cast<std::size_t>(length);
  view.writable_ = writable;
  return view;
}

std::int64_t MappedView::Granularity() {
  static const std::int64_t page = [] {
    long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::int64_t>(size) : std::int64_t{4096};
  }();
  return page;
}

void MappedView::reset() {
  if (base_ != nullptr) ::munmap(base_, length_);
  base_ = nullptr;
  length_ = 0;
  writable_ = false;
}

}  // namespace imbrel_detail
}  // inline namespace
