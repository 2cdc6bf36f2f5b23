// The Vantor coclass, its dispatch table and type library, and the four
// entry points of the library.
#include <tesk/vantor.h>
#include <tesk/vantor_export.h>

#include <new>

#include "vantor_settings.h"

namespace {

// Objects and server locks of this library (DllCanUnloadNow).
tesk::ComModule& LibraryModule() {
  static tesk::ComModule module;
  return module;
}

// An object of this library, for finding the library's own path: the
// exported entry points could resolve to another server library's in a
// process that links several.
const char kModuleAnchor = 0;

constexpr tesk::DispMember kVantorMembers[] = {
    tesk::DispMethod<&IVantor::IsZorumInstalled, tesk::kRetval>("IsZorumInstalled", 1),
    tesk::DispMethod<&IVantor::GetZorumServerName, tesk::kRetval>("GetZorumServerName", 2),
    tesk::DispMethod<&IVantor::GetDataDirectory, tesk::kRetval>("GetDataDirectory", 3),
    tesk::DispMethod<&IVantor::GetLibraryDirectory, tesk::kRetval>("GetLibraryDirectory", 4),
};
constexpr tesk::DispTable kVantorTable{"IVantor", &IID_IVantor, kVantorMembers};
constexpr const tesk::DispTable* kInterfaces[] = {&kVantorTable};
constexpr tesk::TypeLibInfo kTypeLib{LIBID_VANTORLib, "VANTORLib", "Vantor 1.0 Type Library", 1, 0, 0, kInterfaces};

constexpr tesk::ClassRegistration kClasses[] = {
    {&CLSID_Vantor, "Vantor Class", VANTOR_PROGID, VANTOR_VERSION_INDEPENDENT_PROGID, "Apartment", &LIBID_VANTORLib},
};

}  // namespace

template <>
struct tesk::DispatchTableOf<IVantor> {
  static const DispTable& Get() { return kVantorTable; }
};

namespace {

// A fresh BSTR of `text`; E_OUTOFMEMORY when it cannot be made.
HRESULT Hand(const std::string& text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = tesk::AllocBstr(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

class CVantor final : public tesk::ComClass<CVantor, tesk::DispatchImpl<IVantor>> {
 public:
  static tesk::ComModule& Module() { return LibraryModule(); }

  CVantor() : settings_(tesk::vantor::ReadSettingsFromRegistry()) {}

  HRESULT IsZorumInstalled(LONG* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    *pVal = settings_.installed;
    return S_OK;
  }
  HRESULT GetZorumServerName(BSTR* pVal) noexcept override {
    if (pVal == nullptr) return E_POINTER;
    if (!settings_.serverName) {
      *pVal = nullptr;
      return S_OK;
    }
    return Hand(*settings_.serverName, pVal);
  }
  HRESULT GetDataDirectory(BSTR* pVal) noexcept override { return Hand(settings_.dataDirectory, pVal); }
  HRESULT GetLibraryDirectory(BSTR* pVal) noexcept override { return Hand(settings_.libraryDirectory, pVal); }

 private:
  const tesk::vantor::Settings settings_;
};

constexpr tesk::ClassEntry kClassObjects[] = {{&CLSID_Vantor, &tesk::ClassFactory<CVantor>::Get}};

}  // namespace

extern "C" TESK_VANTOR_API HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return tesk::GetClassObjectFromTable(kClassObjects, rclsid, riid, ppv);
}

extern "C" TESK_VANTOR_API HRESULT DllCanUnloadNow() { return LibraryModule().CanUnloadNow(); }

extern "C" TESK_VANTOR_API HRESULT DllRegisterServer() {
  try {
    return tesk::RegisterServer(kClasses, &kTypeLib, &kModuleAnchor);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

extern "C" TESK_VANTOR_API HRESULT DllUnregisterServer() {
  try {
    return tesk::UnregisterServer(kClasses, &kTypeLib);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
