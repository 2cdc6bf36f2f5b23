#include "cache_names.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tesk::rolvane {
namespace {

std::string Suffix() {
  char buf[64];
  std::snprintf(buf, sizeof buf, ".%u", static_cast<unsigned>(geteuid()));
  std::string s = buf;
  const char* dir = std::getenv("TESK_REGISTRY_DIR");
  if (dir && *dir) {
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (const char* p = dir; *p; ++p) h = (h ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
    std::snprintf(buf, sizeof buf, ".%016llx", static_cast<unsigned long long>(h));
    s.append(buf);
  }
  return s;
}

}  // namespace

std::string RegionName() { return std::string("ROLVANE_CACHE_FILE").append(Suffix()); }
std::string MutexName() { return std::string("ROLVANE_CACHE_MUTEX").append(Suffix()); }

}  // namespace tesk::rolvane
