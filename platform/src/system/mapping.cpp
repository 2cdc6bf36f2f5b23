// Memory-mapped views of files at 64-bit offsets, through the file layer.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include <tesk/internal/env.h>
#include <tesk/internal/file.h>
#include <tesk/internal/mapped_region.h>
#include <tesk/platform/system.h>

namespace tesk::platform {

uint64_t AllocationGranularity() {
  return static_cast<uint64_t>(tesk::internal::MappedRegion::Granularity());
}

MappedFile::~MappedFile() { Close(); }

MappedFile::MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    mode_ = other.mode_;
    size_ = std::exchange(other.size_, 0);
    base_ = std::exchange(other.base_, nullptr);
    base_length_ = std::exchange(other.base_length_, 0);
    data_ = std::exchange(other.data_, nullptr);
    length_ = std::exchange(other.length_, 0);
    offset_ = std::exchange(other.offset_, 0);
  }
  return *this;
}

bool MappedFile::Open(const std::filesystem::path& path, Mode mode) {
  Close();
  const int fd =
      tesk::internal::File::Open(path.string(), mode == Mode::kReadWrite ? O_RDWR : O_RDONLY)
          .Release();
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int e = errno ? errno : EINVAL;
    ::close(fd);
    errno = e;
    return false;
  }
  fd_ = fd;
  mode_ = mode;
  size_ = static_cast<uint64_t>(st.st_size);
  return true;
}

bool MappedFile::Map(uint64_t offset, uint64_t length) {
  Unmap();
  if (fd_ < 0 || offset > size_) return false;
  if (length == 0) length = size_ - offset;
  if (length == 0 || length > size_ - offset) return false;
  const uint64_t start = offset - offset % AllocationGranularity();
  const uint64_t span = length + (offset - start);
  if (span > SIZE_MAX) return false;
  const int prot = PROT_READ | (mode_ == Mode::kReadWrite ? PROT_WRITE : 0);
  void* p = tesk::internal::CurrentEnv().Map(static_cast<size_t>(span), prot, MAP_SHARED, fd_,
                                             static_cast<off_t>(start));
  if (p == MAP_FAILED) return false;
  base_ = p;
  base_length_ = static_cast<size_t>(span);
  data_ = static_cast<uint8_t*>(p) + (offset - start);
  length_ = length;
  offset_ = offset;
  return true;
}

void MappedFile::Unmap() {
  if (base_) munmap(base_, base_length_);
  base_ = nullptr;
  base_length_ = 0;
  data_ = nullptr;
  length_ = 0;
  offset_ = 0;
}

void MappedFile::Close() {
  Unmap();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

}  // namespace tesk::platform

void GetSystemInfo(SYSTEM_INFO* info) {
  if (!info) return;
  *info = SYSTEM_INFO{};
  info->dwPageSize = static_cast<DWORD>(tesk::platform::AllocationGranularity());
  info->dwAllocationGranularity = info->dwPageSize;
  long n = sysconf(_SC_NPROCESSORS_ONLN);
  info->dwNumberOfProcessors = n > 0 ? static_cast<DWORD>(n) : 1;
  info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(info->dwPageSize);
  info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(uintptr_t{0x7ffffffeffff});
}
