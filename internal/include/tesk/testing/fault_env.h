// An Env that injects failures under every library at once: a disk that fills up after a
// number of bytes, reads that come back short, renames that fail. Installed for a scope.
#ifndef TESK_INTERNAL_INCLUDE_TESK_TESTING_FAULT_ENV_H_
#define TESK_INTERNAL_INCLUDE_TESK_TESTING_FAULT_ENV_H_

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "tesk/internal/env.h"

namespace tesk::testing {

class FaultEnv : public internal::Env {
 public:
  // Writes fail with ENOSPC once this many bytes were written through the Env.
  void FillDiskAfter(std::uint64_t bytes) { room_ = bytes; }
  // Every read hands out at most this many bytes (0: no limit), as a pipe or a network file
  // system may.
  void ShortReads(std::size_t at_most) { read_limit_ = at_most; }
  // Reads past this many bytes of a file fail with EIO.
  void FailReadsAfter(std::uint64_t offset) { read_fail_at_ = offset; }
  void FailRenames(bool fail) { fail_renames_ = fail; }
  void FailMaps(bool fail) { fail_maps_ = fail; }

  ssize_t Read(int fd, void* buffer, std::size_t n) override;
  ssize_t ReadAt(int fd, void* buffer, std::size_t n, off_t offset) override;
  ssize_t Write(int fd, const void* buffer, std::size_t n) override;
  ssize_t WriteAt(int fd, const void* buffer, std::size_t n, off_t offset) override;
  int Truncate(int fd, off_t size) override;
  void* Map(std::size_t length, int prot, int flags, int fd, off_t offset) override;
  int Rename(const char* from, const char* to) override;

 private:
  std::size_t Allow(std::size_t n);  // bytes a write may still put, or 0 (errno set)

  std::atomic<std::uint64_t> room_{UINT64_MAX};
  std::size_t read_limit_ = 0;
  std::uint64_t read_fail_at_ = UINT64_MAX;
  bool fail_renames_ = false;
  bool fail_maps_ = false;
};

// Installs an Env for the lifetime of the object and restores the previous one.
class ScopedEnv {
 public:
  explicit ScopedEnv(internal::Env& env) : previous_(internal::SetEnv(&env)) {}
  ~ScopedEnv() { internal::SetEnv(previous_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  internal::Env* previous_;
};

}  // namespace tesk::testing

#endif  // TESK_INTERNAL_INCLUDE_TESK_TESTING_FAULT_ENV_H_
