// Replacing a file safely, for the libraries' writers and the tools: the new contents go into a
// fresh file beside the target (same directory, so the rename stays on one file system), which
// is renamed over the target only when everything was written. A failure leaves the old file as
// it was and no temporary file behind. A symbolic link at the target is kept: the file it
// points to is replaced.
#ifndef TESK_INTERNAL_INCLUDE_TESK_INTERNAL_REPLACE_FILE_H_
#define TESK_INTERNAL_INCLUDE_TESK_INTERNAL_REPLACE_FILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tesk/internal/file.h"  // WriteAll

namespace tesk::internal {

// The file a write to path should land in: the target of a symbolic link, so that replacing
// the file keeps the link.
std::string ResolveLink(const std::string& path);

// Errors that mean "no room": a full disk, a quota, or the file size limit.
bool IsDiskFull(int err);

// The temporary file that becomes the target. Removed on destruction unless committed.
class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile() { Discard(); }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Creates a new, uniquely named file beside path (beside the file a link at path points
  // to), open for reading and writing, with the permissions of the file it will replace (a new
  // file gets the usual mode). 0, or the errno.
  int Create(const std::string& path);

  int fd() const { return fd_; }

  // Closes the file and renames it over the target: 0, or the errno of the failed close or
  // rename (the temporary file is then removed).
  int Commit();

  // Renames over the target but keeps the descriptor open, for callers that go on using the
  // file (the descriptor then stays this object's until Release). 0, or the errno.
  int CommitKeepOpen();

  // Hands the descriptor to the caller.
  int Release();

  // Closes the descriptor and removes the file if it was not committed.
  void Discard();

 private:
  int fd_ = -1;
  std::string temp_;
  std::string target_;
};

// Replaces path's contents with contents in one go: 0, or the errno.
int ReplaceFile(const std::string& path, std::string_view contents);

// A ReplacementFile written through a large buffer: Reserve/Advance or Put, PatchAt for fields
// known only at the end, then Commit. Without a successful Commit the target keeps its old
// content.
class BufferedReplacement {
 public:
  static constexpr std::size_t kBuffer = std::size_t{1} << 18;

  BufferedReplacement() = default;
  BufferedReplacement(const BufferedReplacement&) = delete;
  BufferedReplacement& operator=(const BufferedReplacement&) = delete;

  bool Open(const std::string& target);
  // Room for n more bytes (n <= kBuffer); flushes when needed. Write into it, then Advance.
  char* Reserve(std::size_t n) {
    if (fill_ + n > kBuffer) Flush();
    return buffer_.get() + fill_;
  }
  void Advance(std::size_t n) { fill_ += n; }
  void Put(const void* data, std::size_t n);
  void Put(std::string_view s) { Put(s.data(), s.size()); }
  // Overwrites n bytes already put at offset from the start of the file.
  void PatchAt(std::uint64_t offset, const void* data, std::size_t n);
  bool Failed() const { return failed_; }
  // Flushes, closes and renames over the target; false (and nothing replaced) on any error.
  bool Commit();

 private:
  void Flush();

  ReplacementFile file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t fill_ = 0;
  std::uint64_t flushed_ = 0;  // bytes handed to the file so far
  bool failed_ = false;
};

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_INCLUDE_TESK_INTERNAL_REPLACE_FILE_H_
