#include "tesk/internal/env.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace tesk::internal {

int Env::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

ssize_t Env::Read(int fd, void* buffer, std::size_t n) { return ::read(fd, buffer, n); }

ssize_t Env::ReadAt(int fd, void* buffer, std::size_t n, off_t offset) {
  return ::pread(fd, buffer, n, offset);
}

ssize_t Env::Write(int fd, const void* buffer, std::size_t n) { return ::write(fd, buffer, n); }

ssize_t Env::WriteAt(int fd, const void* buffer, std::size_t n, off_t offset) {
  return ::pwrite(fd, buffer, n, offset);
}

int Env::Truncate(int fd, off_t size) { return ::ftruncate(fd, size); }

void* Env::Map(std::size_t length, int prot, int flags, int fd, off_t offset) {
  return ::mmap(nullptr, length, prot, flags, fd, offset);
}

int Env::Rename(const char* from, const char* to) { return std::rename(from, to); }

namespace {

Env& SystemEnv() {
  static Env env;
  return env;
}

std::atomic<Env*> current{nullptr};

}  // namespace

Env& CurrentEnv() {
  Env* env = current.load(std::memory_order_acquire);
  return env != nullptr ? *env : SystemEnv();
}

Env* SetEnv(Env* env) {
  Env* old = current.exchange(env, std::memory_order_acq_rel);
  return old != nullptr ? old : &SystemEnv();
}

}  // namespace tesk::internal
