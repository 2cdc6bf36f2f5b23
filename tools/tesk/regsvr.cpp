// `tesk regsvr [-u] LIB`: registers (or unregisters) an in-process server library by calling
// its DllRegisterServer (DllUnregisterServer). Exit code 0 on success, 1 when the library cannot
// be loaded, lacks the entry point or the entry point fails (its HRESULT is shown), 2 for a
// wrong command line.
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <tesk/platform/activation.h>

#include "tesk_tool.h"

namespace {

constexpr char kUsage[] = "[-u] LIB";

std::string Hex(HRESULT hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
  return buf;
}

int Run(const std::vector<std::string>& args) {
  bool unregister = false;
  std::string lib;
  for (const std::string& a : args) {
    if (a == "-u" || a == "/u") {
      unregister = true;
    } else if (lib.empty() && !a.empty() && a[0] != '-') {
      lib = a;
    } else {
      std::cerr << "tesk regsvr: unexpected argument " << a << "\nusage: tesk regsvr " << kUsage << "\n";
      return 2;
    }
  }
  if (lib.empty()) {
    std::cerr << "usage: tesk regsvr " << kUsage << "\n";
    return 2;
  }
  // An absolute path, so that the registered path works from any directory.
  std::error_code ec;
  std::filesystem::path path = lib.find('/') == std::string::npos ? std::filesystem::path(lib)
                                                                 : std::filesystem::absolute(lib, ec);
  if (lib.find('/') != std::string::npos && !std::filesystem::exists(path, ec)) {
    return tesk::tool::fail(lib, "no such file");
  }
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* why = dlerror();
    return tesk::tool::fail(lib, std::string("cannot be loaded: ") + (why ? why : "unknown error"));
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto fn = reinterpret_cast<LPFNREGISTERSERVER>(dlsym(h, entry));
  if (!fn) {
    dlclose(h);
    return tesk::tool::fail(lib, std::string("has no entry point ") + entry);
  }
  const HRESULT hr = fn();
  // The library stays loaded: objects or threads it started may still need its code.
  if (FAILED(hr)) {
    return tesk::tool::fail(lib, std::string(entry) + " failed with " + Hex(hr));
  }
  std::cout << entry << " in " << lib << " succeeded.\n";
  return 0;
}

const tesk::tool::Registrar kReg{tesk::tool::Command{"regsvr", kUsage, &Run}};

}  // namespace
