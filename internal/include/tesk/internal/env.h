// The one seam between the kit and the operating system's files. Every read, write, mapping
// and rename of the libraries goes through the current Env, so that a test can put a full
// disk, a short read or a failing rename under every library at once (tesk/testing/fault_env.h).
// Internal: not installed; each library links its own copy, and a test that swaps the Env
// links the object form of the library it tests.
#ifndef TESK_INTERNAL_INCLUDE_TESK_INTERNAL_ENV_H_
#define TESK_INTERNAL_INCLUDE_TESK_INTERNAL_ENV_H_

#include <sys/types.h>

#include <cstddef>

namespace tesk::internal {

// The system calls behind the file layer, with their POSIX results (-1 and errno on failure;
// Map answers MAP_FAILED). Methods may be called from any thread.
class Env {
 public:
  virtual ~Env() = default;

  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Read(int fd, void* buffer, std::size_t n);
  virtual ssize_t ReadAt(int fd, void* buffer, std::size_t n, off_t offset);
  virtual ssize_t Write(int fd, const void* buffer, std::size_t n);
  virtual ssize_t WriteAt(int fd, const void* buffer, std::size_t n, off_t offset);
  virtual int Truncate(int fd, off_t size);
  virtual void* Map(std::size_t length, int prot, int flags, int fd, off_t offset);
  virtual int Rename(const char* from, const char* to);
};

// The Env in use: the system's unless a test installed another.
Env& CurrentEnv();

// Installs env (nullptr: the system's again) and returns the previous one. Not for concurrent
// use with file access: tests swap it while nothing else runs.
Env* SetEnv(Env* env);

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_INCLUDE_TESK_INTERNAL_ENV_H_
