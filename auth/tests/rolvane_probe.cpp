// A process that uses the role library as a client program would, for the tests that need
// several processes. It captures the event log and message boxes before the library is loaded
// (start-up runs on load), then loads rolvane_probe_ops and runs the commands given:
//   rolvane_probe SERVER DATABASE COMMAND...
// and prints one line per command (see rolvane_probe_ops.cpp) and "event: TEXT" per event.
//
// Run as another Unix user, it attacks a cache instead, without loading the library:
//   rolvane_probe --attack REGION MUTEX    exits 0 when it can neither open, read nor write them
//   rolvane_probe --forge REGION MUTEX SERVER USER
//       takes the names first, writes a tree granting USER everything on SERVER, prints
//       "ready" and holds them until its standard input closes.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <tesk/platform.h>

#include "cache_names.h"
#include "region_codec.h"

namespace {

using tesk::rolvane::kRegionSize;

int Attack(const std::string& region, const std::string& mutex) {
  if (OpenFileMapping(FILE_MAP_READ, FALSE, region.c_str())) return 1;
  if (CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRegionSize, region.c_str())) return 2;
  if (OpenMutex(SYNCHRONIZE, FALSE, mutex.c_str())) return 3;
  if (CreateMutex(nullptr, FALSE, mutex.c_str())) return 4;
  // Nor around the platform, straight at the shared-memory objects.
  for (const std::string& path : {"/dev/shm/tesk.map." + region, "/dev/shm/tesk.mutex." + mutex}) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return 5;  // the attack must meet the real objects
    if ((st.st_mode & 077) != 0 || st.st_uid == geteuid()) return 6;
    if (open(path.c_str(), O_RDONLY) >= 0 || open(path.c_str(), O_WRONLY) >= 0) return 7;
  }
  return 0;
}

int Forge(const std::string& region, const std::string& mutex, const std::string& server, const std::string& user) {
  using namespace tesk::rolvane;
  HANDLE m = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRegionSize, region.c_str());
  HANDLE mu = CreateMutex(nullptr, FALSE, mutex.c_str());
  auto* v = m ? static_cast<uint8_t*>(MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, kRegionSize)) : nullptr;
  if (!v || !mu) return 1;
  CacheNode root, srv, role;
  srv.kind = kServerNode;
  srv.name = server;
  role.kind = kRoleNode;
  role.name = "Readers";
  role.values = {"LAB\\" + user};
  role.children = {{kRoleFunctionNode, "RoleFunction", {}, std::vector<std::string>(14, "Y")},
                   {kRoleFunctionOtherNode, "RoleFunctionOther", {}, std::vector<std::string>(14, "Y")}};
  srv.children = {role};
  root.children = {srv};
  uint32_t generation = 1000;
  std::memcpy(v, &generation, 4);
  if (!StoreTree(root, {v + 4, kRegionSize - 4})) return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  char c;
  while (read(0, &c, 1) > 0) {
  }
  return 0;
}

int PrintEvent(const char* source, WORD, DWORD, const char* text) {
  std::printf("event: %s: %s\n", source, text);
  std::fflush(stdout);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--attack") == 0) return Attack(argv[2], argv[3]);
  if (argc == 6 && std::strcmp(argv[1], "--forge") == 0) return Forge(argv[2], argv[3], argv[4], argv[5]);
  TeskSetEventLogHook(PrintEvent);
  void* ops = dlopen(ROLVANE_PROBE_OPS, RTLD_NOW);
  if (!ops) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 2;
  }
  auto run = reinterpret_cast<int (*)(int, char**)>(dlsym(ops, "RolvaneProbeMain"));
  return run ? run(argc, argv) : 2;
}
