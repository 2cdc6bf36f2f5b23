// Plain file operations with 64-bit offsets, and the temporary file that writers fill before
// renaming it over their target.
#ifndef TESK_DAT_FILE_IO_H
#define TESK_DAT_FILE_IO_H

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "build.h"
#include "unique_fd.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

UniqueFd OpenFile(const std::string& path, int flags, mode_t mode = 0644);

// Size of the open file, or -1.
std::int64_t FileSize(int fd);

// Reads up to length bytes at offset, stopping only at the end of the file: the number read, or
// -1 on an error.
std::int64_t ReadAt(int fd, void* buffer, std::int64_t length, std::int64_t offset);

// Writes all length bytes at offset.
bool WriteAt(int fd, const void* buffer, std::int64_t length, std::int64_t offset);

// A new file beside the target, removed on destruction unless Commit renamed it over the
// target: a failed write never leaves a damaged file where a good one was.
class TempFile {
 public:
  TempFile() = default;
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool Create(const std::string& target);
  int fd() const { return fd_.get(); }
  bool Commit();  // renames over the target; the descriptor stays open
  UniqueFd Release() { return std::move(fd_); }

 private:
  UniqueFd fd_;
  std::string path_;
  std::string target_;
  bool committed_ = false;
};

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_FILE_IO_H
