// Feeds arbitrary bytes to CTestInfo::Read through an in-memory file. Besides the sanitizers'
// checks: a read keeps eight sample-info entries, and a failed read leaves the object empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include <tesk/ostrel7.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int fd = memfd_create("ostrel_fuzz", MFD_CLOEXEC);
  if (fd < 0) return 0;
  size_t done = 0;
  while (done < size) {
    ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  CTestInfo info;
  info.SetName("/proc/self/fd/" + std::to_string(fd));
  if (info.Read() == 1) {
    if (info.SampleInfo.size() != 8) std::abort();
  } else if (!info.ChipType.empty() || !info.ProtocolSteps.empty()) {
    std::abort();  // a failed read leaves the object emptied
  }
  close(fd);
  return 0;
}
