#include "replace_file.h"

#include <cerrno>

#include <tesk/internal/replace_file.h>

inline namespace TESK_OSTREL_NS {
namespace detail {

ReplaceResult ReplaceFile(const std::string& path, std::string_view contents) {
  if (path.empty()) return ReplaceResult::kCannotCreate;
  tesk::internal::ReplacementFile file;
  if (int err = file.Create(path)) {
    return (err == EACCES || err == EPERM || err == EROFS) ? ReplaceResult::kAccessDenied
                                                           : ReplaceResult::kCannotCreate;
  }
  int err = tesk::internal::WriteAll(file.fd(), contents.data(), contents.size());
  if (err == 0) err = file.Commit();
  if (err != 0) {
    return tesk::internal::IsDiskFull(err) ? ReplaceResult::kDiskFull : ReplaceResult::kCannotWrite;
  }
  return ReplaceResult::kOk;
}

}  // namespace detail
}  // namespace TESK_OSTREL_NS
