#include <tesk/platform/system.h>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

// Unique names per test run, so parallel runs and leftovers never meet.
std::string Name(const char* base) { return std::string(base) + "_" + std::to_string(getpid()); }

TEST(SharedMemory, NamedRegionIsSharedBetweenProcesses) {
  const std::string name = Name("TESK_SHM_TEST");
  HANDLE h = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 65536, name.c_str());
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  auto* p = static_cast<uint32_t*>(MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[0], 0u);  // new memory is zero

  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // A child opening by name sees the existing region and writes to it.
    HANDLE c = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 65536, name.c_str());
    bool ok = c && GetLastError() == ERROR_ALREADY_EXISTS;
    HANDLE o = OpenFileMapping(FILE_MAP_ALL_ACCESS, FALSE, ("Global\\" + name).c_str());
    auto* q = static_cast<uint32_t*>(MapViewOfFile(o, FILE_MAP_WRITE, 0, 0, 4096));
    ok = ok && o && q;
    if (q) q[1] = 0xC0FFEE;
    _exit(ok ? 0 : 1);
  }
  int status;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(p[1], 0xC0FFEEu);

  // The view outlives its handle.
  EXPECT_TRUE(CloseHandle(h));
  p[2] = 1;
  EXPECT_TRUE(UnmapViewOfFile(p));
  EXPECT_FALSE(UnmapViewOfFile(p));
  EXPECT_FALSE(CloseHandle(h));

  // With the last handle and view gone, the name is gone too.
  EXPECT_EQ(OpenFileMapping(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(SharedMemory, RefusesBadArguments) {
  const std::string name = Name("TESK_SHM_ARGS");
  EXPECT_EQ(CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, name.c_str()), nullptr);
  HANDLE h = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 8192, name.c_str());
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(MapViewOfFile(h, FILE_MAP_WRITE, 0, 0, 0), nullptr);      // read-only mapping
  EXPECT_EQ(MapViewOfFile(h, FILE_MAP_READ, 0, 100, 0), nullptr);     // unaligned offset
  EXPECT_EQ(MapViewOfFile(h, FILE_MAP_READ, 0, 0, 8193), nullptr);    // past the end
  EXPECT_EQ(MapViewOfFile(h, FILE_MAP_READ, 1, 0, 1), nullptr);       // far past the end
  void* v = MapViewOfFile(h, FILE_MAP_READ, 0, 0, 0);
  EXPECT_NE(v, nullptr);
  UnmapViewOfFile(v);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
}

TEST(NamedMutex, RecursiveForItsOwnerAndExclusiveForOthers) {
  const std::string name = Name("TESK_MUTEX_EXCL");
  HANDLE m = CreateMutex(nullptr, TRUE, name.c_str());
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);  // recursive
  pid_t pid = fork();
  if (pid == 0) {
    HANDLE o = OpenMutex(SYNCHRONIZE, FALSE, name.c_str());
    _exit(o && WaitForSingleObject(o, 50) == WAIT_TIMEOUT ? 0 : 1);
  }
  int status;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_FALSE(ReleaseMutex(m));  // not owned any more
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));

  pid = fork();
  if (pid == 0) {
    HANDLE o = OpenMutex(SYNCHRONIZE, FALSE, name.c_str());
    bool ok = o && WaitForSingleObject(o, 1000) == WAIT_OBJECT_0 && ReleaseMutex(o);
    _exit(ok ? 0 : 1);
  }
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(CloseHandle(m));
  EXPECT_EQ(OpenMutex(SYNCHRONIZE, FALSE, name.c_str()), nullptr);

  HANDLE local = CreateMutex(nullptr, FALSE, nullptr);
  ASSERT_NE(local, nullptr);
  EXPECT_EQ(WaitForSingleObject(local, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(local));
  EXPECT_TRUE(CloseHandle(local));
}

// A holder killed with the lock held: the next waiter gets WAIT_ABANDONED and the mutex, and
// the mutex keeps working afterwards.
TEST(NamedMutex, RecoversAfterItsHolderIsKilled) {
  const std::string name = Name("TESK_MUTEX_ROBUST");
  HANDLE m = CreateMutex(nullptr, FALSE, name.c_str());
  ASSERT_NE(m, nullptr);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    HANDLE o = OpenMutex(SYNCHRONIZE, FALSE, name.c_str());
    char c = (o && WaitForSingleObject(o, INFINITE) == WAIT_OBJECT_0) ? 'y' : 'n';
    if (write(ready[1], &c, 1) != 1) _exit(2);
    for (;;) pause();
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  EXPECT_EQ(WaitForSingleObject(m, 100), WAIT_TIMEOUT);  // held by the child
  kill(pid, SIGKILL);
  int status;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);

  EXPECT_EQ(WaitForSingleObject(m, 5000), WAIT_ABANDONED);
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(m));

  // Another process can take it normally now.
  pid = fork();
  if (pid == 0) {
    HANDLE o = OpenMutex(SYNCHRONIZE, FALSE, name.c_str());
    _exit(o && WaitForSingleObject(o, 1000) == WAIT_OBJECT_0 && ReleaseMutex(o) ? 0 : 1);
  }
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  close(ready[0]);
  close(ready[1]);
  CloseHandle(m);
}

// Owner-only objects: created 0600; a same-named object open to other users is refused, even
// when this user made it, so a name someone else could have written into is never trusted.
TEST(NamedObjects, OwnerOnlySecurityRefusesObjectsOthersMayOpen) {
  SECURITY_ATTRIBUTES priv{sizeof(SECURITY_ATTRIBUTES), TESK_OWNER_ONLY_SECURITY, FALSE};
  const std::string name = Name("TESK_SHM_PRIVATE");
  HANDLE h = CreateFileMapping(INVALID_HANDLE_VALUE, &priv, PAGE_READWRITE, 0, 8192, name.c_str());
  ASSERT_NE(h, nullptr);
  struct stat st;
  ASSERT_EQ(stat(("/dev/shm/tesk.map." + name).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  pid_t pid = fork();
  if (pid == 0) {
    HANDLE again = CreateFileMapping(INVALID_HANDLE_VALUE, &priv, PAGE_READWRITE, 0, 8192, name.c_str());
    _exit(again && GetLastError() == ERROR_ALREADY_EXISTS ? 0 : 1);
  }
  int status;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  CloseHandle(h);

  const std::string open_name = Name("TESK_SHM_OPEN");
  HANDLE shared = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8192, open_name.c_str());
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(CreateFileMapping(INVALID_HANDLE_VALUE, &priv, PAGE_READWRITE, 0, 8192, open_name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  const std::string mutex_name = Name("TESK_MUTEX_OPEN");
  HANDLE m = CreateMutex(nullptr, FALSE, mutex_name.c_str());
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(CreateMutex(&priv, FALSE, mutex_name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  HANDLE pm = CreateMutex(&priv, FALSE, Name("TESK_MUTEX_PRIVATE").c_str());
  EXPECT_NE(pm, nullptr);
  CloseHandle(pm);
  CloseHandle(m);
  CloseHandle(shared);
}

}  // namespace
