// Hands a fuzz input to readers that take a path: the bytes go into an anonymous in-memory
// file reachable under /proc/self/fd/N, so no disk is touched and parallel runs never meet.
// Header-only and free of the test framework, for fuzz targets in every build.
#ifndef TESK_INTERNAL_INCLUDE_TESK_TESTING_FUZZ_INPUT_H_
#define TESK_INTERNAL_INCLUDE_TESK_TESTING_FUZZ_INPUT_H_

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace tesk::testing {

class FuzzInputFile {
 public:
  FuzzInputFile(const std::uint8_t* data, std::size_t size) {
    fd_ = ::memfd_create("tesk-fuzz", MFD_CLOEXEC);
    if (fd_ < 0) return;
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::write(fd_, data + done, size - done);
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~FuzzInputFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  FuzzInputFile(const FuzzInputFile&) = delete;
  FuzzInputFile& operator=(const FuzzInputFile&) = delete;

  // Empty when the file could not be made.
  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// Keeps a computed value alive so that reading data is not optimised away.
inline volatile std::uint64_t fuzz_sink = 0;
inline void Consume(std::uint64_t value) { fuzz_sink = fuzz_sink + value; }

}  // namespace tesk::testing

#endif  // TESK_INTERNAL_INCLUDE_TESK_TESTING_FUZZ_INPUT_H_
