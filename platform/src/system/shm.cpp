// Named shared memory and named mutexes over POSIX shared memory.
//
// Each named object is a POSIX shared-memory object. Every process that has it open holds a
// shared flock on it, so the last one to close it (or a later opener, when every holder died)
// can tell that nobody else uses it and remove it, as Windows removes an object with its last
// handle. Creation, opening and removal of names are serialised between processes by an
// exclusive flock on one lock object, so none of them races with another.
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "system/handles.h"

namespace {

using tesk::platform::detail::Object;

constexpr uint32_t kMutexMagic = 0x5445534Bu;  // set once the mutex is initialised

struct MutexBlock {
  uint32_t magic;
  pthread_mutex_t mutex;
};

// One named object as this process sees it; shared by every handle and view of the process.
struct Region {
  std::string name;  // POSIX name
  int fd = -1;
  uint64_t size = 0;
  bool writable = true;
  int refs = 0;        // handles and views of this process
  void* block = nullptr;  // mutexes: their mapped MutexBlock
};

std::mutex g_mu;  // guards the tables below and this process's use of the name lock
std::map<std::string, Region*>& Regions() {
  static auto* regions = new std::map<std::string, Region*>();
  return *regions;
}
struct View {
  Region* region;
  size_t length;
};
std::map<const void*, View>& Views() {
  static auto* views = new std::map<const void*, View>();
  return *views;
}

// True when the object is this effective user's and no other user may open it.
bool OwnedPrivately(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

// Exclusive hold of this user's name lock; reopened in a forked child, whose inherited
// descriptor would share the parent's lock.
class NameLock {
 public:
  NameLock() {
    static int fd = -1;
    static pid_t owner = 0;
    static uid_t user = 0;
    if (owner != getpid() || user != geteuid()) {
      // One lock per user, private to it: another user can neither take it nor hold it to
      // stall this user's named objects.
      if (fd >= 0) close(fd);
      user = geteuid();
      const std::string name = "/tesk.names.lock." + std::to_string(user);
      fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
      if (fd >= 0 && !OwnedPrivately(fd)) {
        close(fd);
        fd = -1;
      }
      owner = getpid();
    }
    fd_ = fd;
    while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~NameLock() {
    if (fd_ >= 0) flock(fd_, LOCK_UN);
  }
  NameLock(const NameLock&) = delete;
  NameLock& operator=(const NameLock&) = delete;
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

DWORD ErrnoToWin32(int e) {
  switch (e) {
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOMEM:
    case ENOSPC:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
    case EINVAL:
      return ERROR_INVALID_NAME;
    default:
      return ERROR_INVALID_FUNCTION;
  }
}

// "Global\\Name" and "Local\\Name" are "Name"; a slash may not appear in a POSIX name.
bool PosixName(const char* prefix, LPCSTR name, std::string* out) {
  std::string n = name;
  for (const char* p : {"Global\\", "Local\\"}) {
    if (n.rfind(p, 0) == 0) n.erase(0, std::strlen(p));
  }
  if (n.empty() || n.size() > 200) return false;
  for (char& c : n) {
    if (c == '/' || c == '\\') c = '_';
  }
  *out = std::string("/tesk.") + prefix + "." + n;
  return true;
}

// Drops one reference; the last one of the process closes the object and removes its name when
// no other process holds it. Caller holds g_mu.
void Unref(Region* r) {
  if (--r->refs > 0) return;
  {
    NameLock lock;
    if (r->block) munmap(r->block, sizeof(MutexBlock));
    if (lock.ok() && flock(r->fd, LOCK_EX | LOCK_NB) == 0) shm_unlink(r->name.c_str());
    close(r->fd);
  }
  Regions().erase(r->name);
  delete r;
}

// Creates or opens the named object. create: make it if missing (size bytes, init run on the
// new memory while other processes are held off); existed reports whether it was there.
// owner_only: private to this user (see TESK_OWNER_ONLY_SECURITY). Caller holds g_mu.
Region* Acquire(const std::string& name, bool create, uint64_t size, bool writable,
                bool (*init)(Region*), bool* existed, bool owner_only = false) {
  *existed = false;
  auto it = Regions().find(name);
  if (it != Regions().end()) {
    if (owner_only && !OwnedPrivately(it->second->fd)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    *existed = true;
    ++it->second->refs;
    return it->second;
  }
  NameLock lock;
  if (!lock.ok()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  int fd = shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0 && errno == EACCES && !writable) fd = shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
    // Nobody holds it: left behind by processes that died. Start afresh.
    shm_unlink(name.c_str());
    close(fd);
    fd = -1;
  }
  if (fd >= 0) {
    if (owner_only && !OwnedPrivately(fd)) {
      // Made by another user, or open to others: never used.
      close(fd);
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    flock(fd, LOCK_SH);
    *existed = true;
  } else {
    if (!create) {
      SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
      return nullptr;
    }
    const mode_t mode = owner_only ? 0600 : 0666;
    fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
      // EEXIST: the name is held by an object this user may not open.
      SetLastError(errno == EEXIST ? ERROR_ACCESS_DENIED : ErrnoToWin32(errno));
      return nullptr;
    }
    // Without owner_only any user of the computer may open it, as an empty access list allows.
    fchmod(fd, mode);
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
      SetLastError(ErrnoToWin32(errno));
      shm_unlink(name.c_str());
      close(fd);
      return nullptr;
    }
    flock(fd, LOCK_SH);
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    SetLastError(ERROR_INVALID_FUNCTION);
    return nullptr;
  }
  auto* r = new Region;
  r->name = name;
  r->fd = fd;
  r->size = static_cast<uint64_t>(st.st_size);
  r->writable = writable;
  r->refs = 1;
  if (init && !init(r)) {
    if (!*existed) shm_unlink(name.c_str());
    close(fd);
    delete r;
    return nullptr;
  }
  Regions()[name] = r;
  return r;
}

// ---- mappings ----------------------------------------------------------------

struct Mapping : Object {
  Mapping() : Object(Kind::kMapping) {}
  ~Mapping() override {
    std::lock_guard<std::mutex> lock(g_mu);
    if (region) Unref(region);
  }
  Region* region = nullptr;
  bool writable = true;
};

HANDLE NewMapping(Region* r, bool writable) {
  auto m = std::make_unique<Mapping>();
  m->region = r;
  m->writable = writable;
  return tesk::platform::detail::AddHandle(std::move(m));
}

// ---- mutexes -------------------------------------------------------------------

struct Mutex : Object {
  Mutex() : Object(Kind::kMutex) {}
  ~Mutex() override {
    if (region) {
      std::lock_guard<std::mutex> lock(g_mu);
      Unref(region);
    } else if (local) {
      pthread_mutex_destroy(&local->mutex);
    }
  }
  pthread_mutex_t* mutex() { return region ? &static_cast<MutexBlock*>(region->block)->mutex : &local->mutex; }
  Region* region = nullptr;               // named
  std::unique_ptr<MutexBlock> local;      // unnamed
};

// Windows mutexes are recursive for their owner; robust so that a dead owner is noticed.
bool InitMutex(pthread_mutex_t* m, bool shared) {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
  if (shared) pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
  const bool ok = pthread_mutex_init(m, &attr) == 0;
  pthread_mutexattr_destroy(&attr);
  return ok;
}

bool MapMutexBlock(Region* r) {
  void* p = mmap(nullptr, sizeof(MutexBlock), PROT_READ | PROT_WRITE, MAP_SHARED, r->fd, 0);
  if (p == MAP_FAILED) {
    SetLastError(ErrnoToWin32(errno));
    return false;
  }
  auto* block = static_cast<MutexBlock*>(p);
  // The name lock is held, so a block without its mark was just created by this call.
  if (block->magic != kMutexMagic) {
    if (!InitMutex(&block->mutex, true)) {
      munmap(p, sizeof(MutexBlock));
      SetLastError(ERROR_INVALID_FUNCTION);
      return false;
    }
    block->magic = kMutexMagic;
  }
  r->block = p;
  return true;
}

bool OwnerOnly(LPSECURITY_ATTRIBUTES sa) {
  return sa && sa->lpSecurityDescriptor == TESK_OWNER_ONLY_SECURITY;
}

}  // namespace

HANDLE CreateFileMapping(HANDLE hFile, LPSECURITY_ATTRIBUTES lpAttributes, DWORD flProtect,
                         DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow, LPCSTR lpName) {
  if (hFile != INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);  // file-backed mappings: tesk::platform::MappedFile
    return nullptr;
  }
  const uint64_t size = (static_cast<uint64_t>(dwMaximumSizeHigh) << 32) | dwMaximumSizeLow;
  const bool writable = (flProtect & 0xFF) == PAGE_READWRITE;
  if (size == 0 || (!writable && (flProtect & 0xFF) != PAGE_READONLY)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  try {
    std::lock_guard<std::mutex> lock(g_mu);
    if (!lpName) {
      // An unnamed mapping is private to the process: a name nobody else can guess.
      static int counter = 0;
      std::string name = "/tesk.anon." + std::to_string(getpid()) + "." + std::to_string(++counter);
      bool existed;
      Region* r = Acquire(name, true, size, true, nullptr, &existed);
      if (!r) return nullptr;
      shm_unlink(name.c_str());
      SetLastError(ERROR_SUCCESS);
      return NewMapping(r, writable);
    }
    std::string name;
    if (!PosixName("map", lpName, &name)) {
      SetLastError(ERROR_INVALID_NAME);
      return nullptr;
    }
    bool existed;
    Region* r = Acquire(name, true, size, true, nullptr, &existed, OwnerOnly(lpAttributes));
    if (!r) return nullptr;
    HANDLE h = NewMapping(r, writable);
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

HANDLE OpenFileMapping(DWORD dwDesiredAccess, BOOL, LPCSTR lpName) {
  std::string name;
  if (!lpName || !PosixName("map", lpName, &name)) {
    SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  try {
    std::lock_guard<std::mutex> lock(g_mu);
    const bool writable = (dwDesiredAccess & FILE_MAP_WRITE) != 0;
    bool existed;
    Region* r = Acquire(name, false, 0, writable, nullptr, &existed);
    if (!r) return nullptr;
    return NewMapping(r, writable);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap) {
  auto* m = static_cast<Mapping*>(
      tesk::platform::detail::FindHandle(hFileMappingObject, Object::Kind::kMapping));
  if (!m) return nullptr;
  const bool write = (dwDesiredAccess & FILE_MAP_WRITE) != 0;
  const bool copy = (dwDesiredAccess & FILE_MAP_COPY) != 0 && !write;
  if (write && !m->writable) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const uint64_t offset = (static_cast<uint64_t>(dwFileOffsetHigh) << 32) | dwFileOffsetLow;
  if (offset % tesk::platform::AllocationGranularity() != 0) {
    SetLastError(1132);  // ERROR_MAPPED_ALIGNMENT
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(g_mu);
  Region* r = m->region;
  if (offset >= r->size || dwNumberOfBytesToMap > r->size - offset) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const size_t length = dwNumberOfBytesToMap ? dwNumberOfBytesToMap : r->size - offset;
  const int prot = PROT_READ | (write || copy ? PROT_WRITE : 0);
  void* p = mmap(nullptr, length, prot, copy ? MAP_PRIVATE : MAP_SHARED, r->fd,
                 static_cast<off_t>(offset));
  if (p == MAP_FAILED) {
    SetLastError(ErrnoToWin32(errno));
    return nullptr;
  }
  try {
    Views()[p] = View{r, length};
  } catch (const std::bad_alloc&) {
    munmap(p, length);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  ++r->refs;  // a view keeps the object alive after its handle is closed
  return p;
}

BOOL UnmapViewOfFile(LPCVOID lpBaseAddress) {
  std::lock_guard<std::mutex> lock(g_mu);
  auto it = Views().find(lpBaseAddress);
  if (it == Views().end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  munmap(const_cast<void*>(lpBaseAddress), it->second.length);
  Region* r = it->second.region;
  Views().erase(it);
  Unref(r);
  return TRUE;
}

HANDLE CreateMutex(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName) {
  try {
    auto m = std::make_unique<Mutex>();
    bool existed = false;
    if (!lpName) {
      m->local = std::make_unique<MutexBlock>();
      if (!InitMutex(&m->local->mutex, false)) {
        m->local.reset();
        SetLastError(ERROR_INVALID_FUNCTION);
        return nullptr;
      }
    } else {
      std::string name;
      if (!PosixName("mutex", lpName, &name)) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
      }
      std::lock_guard<std::mutex> lock(g_mu);
      m->region = Acquire(name, true, sizeof(MutexBlock), true,
                          [](Region* r) { return r->block ? true : MapMutexBlock(r); }, &existed,
                          OwnerOnly(lpMutexAttributes));
      if (!m->region) return nullptr;
    }
    pthread_mutex_t* mu = m->mutex();
    HANDLE h = tesk::platform::detail::AddHandle(std::move(m));
    // An existing mutex is opened as it stands; only a new one is taken for the creator.
    if (bInitialOwner && !existed && pthread_mutex_lock(mu) == EOWNERDEAD) pthread_mutex_consistent(mu);
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

HANDLE OpenMutex(DWORD, BOOL, LPCSTR lpName) {
  std::string name;
  if (!lpName || !PosixName("mutex", lpName, &name)) {
    SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  try {
    auto m = std::make_unique<Mutex>();
    std::lock_guard<std::mutex> lock(g_mu);
    bool existed;
    m->region = Acquire(name, false, 0, true,
                        [](Region* r) { return r->block ? true : MapMutexBlock(r); }, &existed);
    if (!m->region) return nullptr;
    return tesk::platform::detail::AddHandle(std::move(m));
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

BOOL ReleaseMutex(HANDLE hMutex) {
  auto* m = static_cast<Mutex*>(tesk::platform::detail::FindHandle(hMutex, Object::Kind::kMutex));
  if (!m) return FALSE;
  if (pthread_mutex_unlock(m->mutex()) != 0) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  auto* m = static_cast<Mutex*>(tesk::platform::detail::FindHandle(hHandle, Object::Kind::kMutex));
  if (!m) return WAIT_FAILED;
  pthread_mutex_t* mu = m->mutex();
  int rc;
  if (dwMilliseconds == INFINITE) {
    rc = pthread_mutex_lock(mu);
  } else if (dwMilliseconds == 0) {
    rc = pthread_mutex_trylock(mu);
  } else {
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += dwMilliseconds / 1000;
    deadline.tv_nsec += static_cast<long>(dwMilliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
      deadline.tv_sec += 1;
      deadline.tv_nsec -= 1000000000L;
    }
    rc = pthread_mutex_clocklock(mu, CLOCK_MONOTONIC, &deadline);
  }
  switch (rc) {
    case 0:
      return WAIT_OBJECT_0;
    case EOWNERDEAD:
      // The owner died holding it: the caller owns it now and the mutex works on.
      pthread_mutex_consistent(mu);
      return WAIT_ABANDONED;
    case EBUSY:
    case ETIMEDOUT:
      return WAIT_TIMEOUT;
    default:
      SetLastError(ERROR_INVALID_FUNCTION);
      return WAIT_FAILED;
  }
}

BOOL CloseHandle(HANDLE hObject) {
  std::unique_ptr<Object> obj = tesk::platform::detail::TakeHandle(hObject);
  if (!obj) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
