// Replacing a file safely: the new contents go to a temporary file beside the target, which
// is renamed over the target only when everything was written.
#ifndef TESK_EXP_SRC_REPLACE_FILE_H_
#define TESK_EXP_SRC_REPLACE_FILE_H_

#include <string>
#include <string_view>

#include "build.h"

inline namespace TESK_OSTREL_NS {
namespace detail {

enum class ReplaceResult {
  kOk,
  kCannotCreate,  // the temporary file could not be made
  kAccessDenied,  // ... because access was denied
  kCannotWrite,   // a write, the close or the rename failed
  kDiskFull,      // a write failed for lack of space
};

// Writes contents to path. On failure the temporary file is removed and any previous file
// at path is left as it was.
ReplaceResult ReplaceFile(const std::string& path, std::string_view contents);

}  // namespace detail
}  // namespace TESK_OSTREL_NS

#endif  // TESK_EXP_SRC_REPLACE_FILE_H_
