#include "binding.h"

#include <dlfcn.h>

#include <filesystem>
#include <vector>

#include <tesk/platform.h>

#include "string_table.h"

namespace tarvex {
namespace {
const char kAnchor = 0;  // an object of this library, to find the library's own path
}

std::string LibraryDirectory() {
  std::string self = tesk::ModulePath(&kAnchor);
  if (self.empty()) return ".";
  return std::filesystem::path(self).parent_path().string();
}

bool BindLibrary(const char* file, std::initializer_list<std::pair<const char*, void**>> symbols) {
  const std::string path = LibraryDirectory() + "/" + file;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  std::vector<void*> found;
  found.reserve(symbols.size());
  for (const auto& [name, slot] : symbols) {
    void* p = dlsym(handle, name);
    if (p == nullptr) {
      dlclose(handle);
      return false;
    }
    found.push_back(p);
  }
  size_t i = 0;
  for (const auto& entry : symbols) *entry.second = found[i++];
  return true;
}

std::string CannotBind(const char* file) { return LoadText(IDS_LIBRARY_MISSING, file); }

}  // namespace tarvex
