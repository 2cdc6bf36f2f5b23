// The shared test support's scratch registry, with a helper that stores a value in it.
#ifndef TESK_MODE_TESTS_SCRATCH_REGISTRY_H_
#define TESK_MODE_TESTS_SCRATCH_REGISTRY_H_

#include <tesk/platform.h>
#include <tesk/testing/scratch_registry.h>

#include <string>

namespace testing_support {

class ScratchRegistry : public tesk::testing::ScratchRegistry {
 public:
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
};

}  // namespace testing_support

#endif  // TESK_MODE_TESTS_SCRATCH_REGISTRY_H_
