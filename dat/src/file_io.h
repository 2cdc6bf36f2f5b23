// The files of an ImageData, from the file layer: descriptors, positioned reads and writes,
// mappings, and the temporary file that writers fill before renaming it over their target.
#ifndef TESK_DAT_SRC_FILE_IO_H_
#define TESK_DAT_SRC_FILE_IO_H_

#include <cstdint>
#include <string>

#include <tesk/internal/file.h>
#include <tesk/internal/little_endian.h>
#include <tesk/internal/mapped_region.h>
#include <tesk/internal/replace_file.h>

#include "build.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

using tesk::internal::File;
using tesk::internal::FileSize;
using tesk::internal::LoadLE;
using tesk::internal::ReadAt;
using tesk::internal::StoreLE;
using tesk::internal::Truncate;
using tesk::internal::WriteAt;
using MappedView = tesk::internal::MappedRegion;

// A shared mapping of length bytes of fd from offset, writable or not.
inline MappedView MapView(int fd, std::int64_t offset, std::int64_t length, bool writable) {
  return tesk::internal::MappedRegion::Map(fd, offset, length,
                         writable ? MappedView::Access::kSharedWritable
                                  : MappedView::Access::kShared);
}

// A new file beside the target, removed on destruction unless Commit renamed it over the
// target: a failed write never leaves a damaged file where a good one was.
class TempFile {
 public:
  bool Create(const std::string& target) { return file_.Create(target) == 0; }
  int fd() const { return file_.fd(); }
  bool Commit() { return file_.CommitKeepOpen() == 0; }  // the descriptor stays open
  File Release() { return File(file_.Release()); }

 private:
  tesk::internal::ReplacementFile file_;
};

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_SRC_FILE_IO_H_
