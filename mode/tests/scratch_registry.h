// Points the registry at a fresh directory for the life of a test.
#pragma once

#include <tesk/platform.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testing_support {

class ScratchRegistry {
 public:
  ScratchRegistry() {
    std::string base = std::filesystem::temp_directory_path() / "tesk-vantor-XXXXXX";
    if (mkdtemp(base.data()) != nullptr) dir_ = base;
    setenv("TESK_REGISTRY_DIR", dir_.c_str(), 1);
  }
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;
  ~ScratchRegistry() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::filesystem::path& Dir() const { return dir_; }

  // Writes a string value (REG_SZ with its terminator, or raw bytes of `type`).
  static bool Set(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                  DWORD type = REG_SZ, bool terminate = true) {
    HKEY k;
    if (RegCreateKeyEx(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
      return false;
    LONG st = RegSetValueEx(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + (terminate ? 1 : 0)));
    RegCloseKey(k);
    return st == ERROR_SUCCESS;
  }

 private:
  std::filesystem::path dir_;
};

}  // namespace testing_support
