// Hands fuzz input to file-based readers: the bytes go into an anonymous in-memory file that is
// reachable under a path, so no disk is touched.
#ifndef TESK_DAT_FUZZ_FUZZ_FILE_H
#define TESK_DAT_FUZZ_FUZZ_FILE_H

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

class FuzzFile {
 public:
  FuzzFile(const std::uint8_t* data, std::size_t size) {
    fd_ = ::memfd_create("imbrel-fuzz", MFD_CLOEXEC);
    if (fd_ < 0) return;
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::write(fd_, data + done, size - done);
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~FuzzFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  FuzzFile(const FuzzFile&) = delete;
  FuzzFile& operator=(const FuzzFile&) = delete;

  const std::string& path() const { return path_; }  // empty when the file could not be made

 private:
  int fd_ = -1;
  std::string path_;
};

// Keeps a computed value alive so that reading the pixels is not optimised away.
inline volatile std::uint64_t fuzz_sink = 0;
inline void Consume(std::uint64_t value) { fuzz_sink = fuzz_sink + value; }

#endif  // TESK_DAT_FUZZ_FUZZ_FILE_H
