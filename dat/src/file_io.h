// Plain file operations with 64-bit offsets, and the temporary file that writers fill before
// renaming it over their target.
#ifndef TESK_DAT_FILE_IO_H
#define TESK_DAT_FILE_IO_H

#include <sys/types.h>

#include <cstdint>
#include <string>

#include <tesk/internal/replace_file.h>

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
  bool Create(const std::string& target) { return file_.Create(target) == 0; }
  int fd() const { return file_.fd(); }
  bool Commit() { return file_.CommitKeepOpen() == 0; }  // the descriptor stays open
  UniqueFd Release() { return UniqueFd(file_.Release()); }

 private:
  tesk::internal::ReplacementFile file_;
};

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_FILE_IO_H
