// Registry text from an untrusted file: parsing must neither crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <tesk/platform/registry.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<tesk::platform::RegistryTextOp> ops;
  std::string error;
  tesk::platform::ParseRegistryText(std::string_view(reinterpret_cast<const char*>(data), size), &ops,
                                    &error);
  return 0;
}
