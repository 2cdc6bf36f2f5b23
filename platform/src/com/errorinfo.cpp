// Rich error information: the error object and the per-thread slot.
#include "tesk/platform/comhelpers.h"

#include <string>

namespace {

class ErrorInfo final : public tesk::ComClass<ErrorInfo, IErrorInfo, ICreateErrorInfo> {
 public:
  HRESULT GetGUID(GUID* pGUID) noexcept override {
    if (pGUID == nullptr) return E_INVALIDARG;
    *pGUID = guid_;
    return S_OK;
  }
  HRESULT GetSource(BSTR* p) noexcept override { return Hand(source_, p); }
  HRESULT GetDescription(BSTR* p) noexcept override { return Hand(description_, p); }
  HRESULT GetHelpFile(BSTR* p) noexcept override { return Hand(helpFile_, p); }
  HRESULT GetHelpContext(DWORD* p) noexcept override {
    if (p == nullptr) return E_INVALIDARG;
    *p = helpContext_;
    return S_OK;
  }
  HRESULT SetGUID(REFGUID rguid) noexcept override {
    guid_ = rguid;
    return S_OK;
  }
  HRESULT SetSource(LPOLESTR s) noexcept override { return Keep(s, &source_); }
  HRESULT SetDescription(LPOLESTR s) noexcept override { return Keep(s, &description_); }
  HRESULT SetHelpFile(LPOLESTR s) noexcept override { return Keep(s, &helpFile_); }
  HRESULT SetHelpContext(DWORD c) noexcept override {
    helpContext_ = c;
    return S_OK;
  }

 private:
  // Strings are kept as given; a null string is an empty one.
  static HRESULT Keep(LPOLESTR s, std::u16string* to) noexcept {
    try {
      to->assign(s ? s : u"");
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }
  static HRESULT Hand(const std::u16string& s, BSTR* out) noexcept {
    if (out == nullptr) return E_INVALIDARG;
    *out = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  GUID guid_ = GUID_NULL;
  std::u16string source_, description_, helpFile_;
  DWORD helpContext_ = 0;
};

// The thread's error object; released when the thread ends.
struct Slot {
  IErrorInfo* info = nullptr;
  Slot() = default;
  Slot(const Slot&) = delete;
  Slot& operator=(const Slot&) = delete;
  ~Slot() {
    if (info) info->Release();
  }
};

Slot& ThreadSlot() {
  thread_local Slot slot;
  return slot;
}

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo) {
  if (pperrinfo == nullptr) return E_INVALIDARG;
  return tesk::CreateComObject<ErrorInfo>(IID_ICreateErrorInfo, reinterpret_cast<void**>(pperrinfo));
}

HRESULT SetErrorInfo(ULONG, IErrorInfo* perrinfo) {
  Slot& slot = ThreadSlot();
  if (perrinfo) perrinfo->AddRef();
  IErrorInfo* old = slot.info;
  slot.info = perrinfo;
  if (old) old->Release();
  return S_OK;
}

HRESULT GetErrorInfo(ULONG, IErrorInfo** pperrinfo) {
  if (pperrinfo == nullptr) return E_INVALIDARG;
  Slot& slot = ThreadSlot();
  *pperrinfo = slot.info;
  slot.info = nullptr;
  return *pperrinfo ? S_OK : S_FALSE;
}

namespace tesk {

HRESULT ReportError(std::string_view source, REFIID iid, std::string_view description, HRESULT hr) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return hr;
  try {
    std::u16string s = ToWide(source);
    std::u16string d = ToWide(description);
    create->SetGUID(iid);
    create->SetSource(s.data());
    create->SetDescription(d.data());
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
  } catch (...) {
  }
  create->Release();
  return hr;
}

std::string PeekErrorDescription() {
  IErrorInfo* info = ThreadSlot().info;
  if (info == nullptr) return {};
  BSTR d = nullptr;
  if (FAILED(info->GetDescription(&d))) return {};
  std::string s = FromBstr(d);
  SysFreeString(d);
  return s;
}

}  // namespace tesk
