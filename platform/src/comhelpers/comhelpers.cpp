// Out-of-line parts of the component helpers.
#include "tesk/platform/comhelpers.h"

namespace tesk {

HRESULT GetClassObjectFromTable(std::span<const ClassEntry> classes, REFCLSID rclsid, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  for (const ClassEntry& c : classes)
    if (*c.clsid == rclsid) return c.getFactory(riid, ppv);
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace tesk
