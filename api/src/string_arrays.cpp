#include "string_arrays.h"

namespace tarvex {

SAFEARRAY* MakeStringArray(const std::vector<std::string>& items) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
  if (array == nullptr) return nullptr;
  BSTR* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)))) {
    SafeArrayDestroy(array);
    return nullptr;
  }
  bool ok = true;
  for (size_t i = 0; i < items.size() && ok; ++i) {
    data[i] = tesk::AllocBstr(items[i]);
    ok = data[i] != nullptr;
  }
  SafeArrayUnaccessData(array);
  if (!ok) {
    SafeArrayDestroy(array);
    return nullptr;
  }
  return array;
}

}  // namespace tarvex
