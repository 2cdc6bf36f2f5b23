// Hands a fuzz input to the tiling readers, which take paths: the bytes go into an anonymous
// in-memory file reachable under /proc/self/fd, so no disk is touched.
#ifndef TESK_API_FUZZ_TILING_FUZZ_INPUT_H_
#define TESK_API_FUZZ_TILING_FUZZ_INPUT_H_

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

class TilingFuzzInput {
 public:
  TilingFuzzInput(const std::uint8_t* data, std::size_t size) {
    fd_ = ::memfd_create("tiling-fuzz", MFD_CLOEXEC);
    if (fd_ < 0) return;
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::write(fd_, data + done, size - done);
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~TilingFuzzInput() {
    if (fd_ >= 0) ::close(fd_);
  }
  TilingFuzzInput(const TilingFuzzInput&) = delete;
  TilingFuzzInput& operator=(const TilingFuzzInput&) = delete;

  const std::string& path() const { return path_; }  // empty when no file could be made

 private:
  int fd_ = -1;
  std::string path_;
};

#endif  // TESK_API_FUZZ_TILING_FUZZ_INPUT_H_
