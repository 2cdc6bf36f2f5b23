// Hostile input to the automation runtime: text conversions, GUID text,
// variant conversions, array operations and dispatch calls built from bytes.
#include <tesk/platform.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <strings.h>
#include <string>
#include <vector>

inline constexpr IID IID_IFuzzTarget{0x0F0F0F0F, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
struct IFuzzTarget : IDispatch {
  virtual HRESULT Mix(LONG a, BSTR s, DOUBLE d, LONG* count, BSTR* out) = 0;
  virtual HRESULT Swap(VARIANT* io) = 0;
  virtual HRESULT get_Name(BSTR* p) = 0;
  virtual HRESULT put_Name(BSTR v) = 0;
  virtual HRESULT Take(IFuzzTarget* other, VARIANT_BOOL flag) = 0;
};
TESK_DECLARE_INTERFACE(IFuzzTarget, IDispatch, IID_IFuzzTarget);

namespace {

constexpr tesk::DispMember kMembers[] = {
    tesk::DispMethod<&IFuzzTarget::Mix>("Mix", 1),
    tesk::DispMethod<&IFuzzTarget::Swap>("Swap", 2),
    tesk::DispPropGet<&IFuzzTarget::get_Name>("Name", 3),
    tesk::DispPropPut<&IFuzzTarget::put_Name>("Name", 3),
    tesk::DispMethod<&IFuzzTarget::Take>("Take", 4),
};
constexpr tesk::DispTable kTable{"IFuzzTarget", &IID_IFuzzTarget, kMembers};

}  // namespace

template <>
struct tesk::DispatchTableOf<IFuzzTarget> {
  static const DispTable& Get() { return kTable; }
};

namespace {

class Target final : public tesk::ComClass<Target, tesk::DispatchImpl<IFuzzTarget>> {
 public:
  HRESULT Mix(LONG a, BSTR s, DOUBLE d, LONG* count, BSTR* out) noexcept override {
    *count = a + static_cast<LONG>(SysStringLen(s)) + (d > 0 ? 1 : 0);
    *out = SysAllocStringLen(s, SysStringLen(s));
    return a == 13 ? tesk::ReportError("Fuzz", IID_IFuzzTarget, "thirteen") : S_OK;
  }
  HRESULT Swap(VARIANT* io) noexcept override {
    VARIANT tmp;
    VariantInit(&tmp);
    HRESULT hr = VariantChangeType(&tmp, io, 0, VT_BSTR);
    if (FAILED(hr)) return hr;
    VariantClear(io);
    *io = tmp;
    return S_OK;
  }
  HRESULT get_Name(BSTR* p) noexcept override {
    *p = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return S_OK;
  }
  HRESULT put_Name(BSTR v) noexcept override {
    name_ = tesk::BstrView(v);
    return S_OK;
  }
  HRESULT Take(IFuzzTarget* other, VARIANT_BOOL) noexcept override {
    BSTR b = nullptr;
    if (other) other->get_Name(&b);
    SysFreeString(b);
    return S_OK;
  }

 private:
  std::u16string name_;
};

struct Reader {
  const uint8_t* p;
  size_t n;
  uint8_t Byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  std::string Text(size_t max) {
    size_t len = Byte() % (max + 1);
    if (len > n) len = n;
    std::string s(reinterpret_cast<const char*>(p), len);
    p += len;
    n -= len;
    return s;
  }
};

void Texts(Reader& r) {
  std::string s = r.Text(64);
  std::u16string w = tesk::ToWide(s);
  std::string back = tesk::ToNarrow(w);
  WCHAR strict[128];
  bool validUtf8 =
      s.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), strict, 128) > 0;
  if (validUtf8 && back != s) std::abort();  // valid UTF-8 must round-trip
  if (auto g = tesk::GuidFromString(s)) {
    std::string f = tesk::GuidToString(*g);
    if (f.size() != s.size() || strcasecmp(f.c_str(), s.c_str()) != 0) std::abort();
  }
  std::u16string odd(reinterpret_cast<const char16_t*>(s.data()), s.size() / 2);
  char out[256];
  WideCharToMultiByte(CP_WINDOWS1252, 0, odd.data(), static_cast<int>(odd.size()), out, sizeof out, nullptr, nullptr);
  tesk::ToNarrow(odd);
}

void Conversions(Reader& r) {
  static constexpr VARTYPE kTypes[] = {VT_EMPTY, VT_NULL, VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_I8,
                                       VT_UI8, VT_INT, VT_UINT, VT_R4, VT_R8, VT_DATE, VT_BOOL, VT_BSTR,
                                       VT_ERROR, VT_CY, VT_DISPATCH, VT_UNKNOWN, VT_VARIANT, 0x7F};
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = tesk::AllocBstr(r.Text(40));
  for (int i = 0; i < 4 && r.n > 0; ++i) {
    VARIANT d;
    VariantInit(&d);
    VARTYPE to = kTypes[r.Byte() % std::size(kTypes)];
    if (SUCCEEDED(VariantChangeType(&d, &v, r.Byte() & 3, to))) {
      VariantClear(&v);
      v = d;
    }
  }
  VariantClear(&v);
}

void Arrays(Reader& r) {
  static constexpr VARTYPE kTypes[] = {VT_I4, VT_R4, VT_BSTR, VT_DISPATCH, VT_VARIANT, VT_UI1};
  VARTYPE vt = kTypes[r.Byte() % std::size(kTypes)];
  SAFEARRAYBOUND b[2] = {{r.Byte() % 9u, static_cast<LONG>(static_cast<int8_t>(r.Byte()))}, {r.Byte() % 5u, 0}};
  UINT dims = 1 + (r.Byte() & 1);
  SAFEARRAY* sa = SafeArrayCreate(vt, dims, b);
  if (!sa) return;
  Target* obj = new Target;
  obj->AddRef();
  while (r.n > 0) {
    LONG idx[2] = {static_cast<int8_t>(r.Byte()), static_cast<int8_t>(r.Byte())};
    switch (r.Byte() % 6) {
      case 0: {
        LONG l = 7;
        BSTR s = SysAllocString(u"x");
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = s;
        void* pv = vt == VT_BSTR ? static_cast<void*>(s)
                   : vt == VT_DISPATCH ? static_cast<void*>(static_cast<IDispatch*>(obj))
                   : vt == VT_VARIANT ? static_cast<void*>(&v) : static_cast<void*>(&l);
        SafeArrayPutElement(sa, idx, pv);
        VariantClear(&v);
        break;
      }
      case 1: {
        VARIANT out;  // large enough for any element
        VariantInit(&out);
        if (SafeArrayGetElement(sa, idx, &out) == S_OK) {
          if (vt == VT_BSTR) SysFreeString(*reinterpret_cast<BSTR*>(&out));
          if (vt == VT_DISPATCH && *reinterpret_cast<IDispatch**>(&out)) (*reinterpret_cast<IDispatch**>(&out))->Release();
          if (vt == VT_VARIANT) VariantClear(&out);
        }
        break;
      }
      case 2: {
        SAFEARRAYBOUND nb{r.Byte() % 9u, static_cast<int8_t>(r.Byte())};
        SafeArrayRedim(sa, &nb);
        break;
      }
      case 3: {
        SAFEARRAY* c = nullptr;
        if (SafeArrayCopy(sa, &c) == S_OK) SafeArrayDestroy(c);
        break;
      }
      case 4:
        SafeArrayLock(sa);
        break;
      default:
        SafeArrayUnlock(sa);
        break;
    }
  }
  while (sa->cLocks > 0) SafeArrayUnlock(sa);
  SafeArrayDestroy(sa);
  obj->Release();
}

void Dispatch(Reader& r) {
  Target* obj = new Target;
  obj->AddRef();
  IDispatch* disp = obj;
  static LONG scratchLong;
  static BSTR scratchBstr;
  std::vector<VARIANT> args(r.Byte() % 7);
  VARIANT held;
  VariantInit(&held);
  for (VARIANT& a : args) {
    VariantInit(&a);
    switch (r.Byte() % 9) {
      case 0: a.vt = VT_I4; a.lVal = static_cast<int8_t>(r.Byte()); break;
      case 1: a.vt = VT_R8; a.dblVal = r.Byte() * 1e9; break;
      case 2: a.vt = VT_BSTR; a.bstrVal = tesk::AllocBstr(r.Text(8)); break;
      case 3: a.vt = VT_BOOL; a.boolVal = VARIANT_TRUE; break;
      case 4: a.vt = VT_I4 | VT_BYREF; a.plVal = &scratchLong; break;
      case 5: a.vt = VT_BSTR | VT_BYREF; a.pbstrVal = &scratchBstr; break;
      case 6: a.vt = VT_VARIANT | VT_BYREF; a.pvarVal = &held; break;
      case 7: a.vt = VT_DISPATCH; a.pdispVal = disp; disp->AddRef(); break;
      default: a.vt = VT_NULL; break;
    }
  }
  std::vector<DISPID> named(r.Byte() % 3);
  for (DISPID& d : named) d = static_cast<int8_t>(r.Byte()) % 6 - 3;
  if (named.size() > args.size()) named.resize(args.size());
  DISPPARAMS dp{args.data(), named.data(), static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO ex{};
  UINT argErr = 0;
  DISPID id = r.Byte() % 6;
  WORD flags = static_cast<WORD>(1 + r.Byte() % 15);
  if (disp->Invoke(id, IID_NULL, 0, flags, &dp, &result, &ex, &argErr) == DISP_E_EXCEPTION) {
    SysFreeString(ex.bstrSource);
    SysFreeString(ex.bstrDescription);
    SysFreeString(ex.bstrHelpFile);
  }
  VariantClear(&result);
  for (VARIANT& a : args) VariantClear(&a);
  VariantClear(&held);
  SysFreeString(scratchBstr);
  scratchBstr = nullptr;
  obj->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader r{data, size};
  switch (r.Byte() % 4) {
    case 0: Texts(r); break;
    case 1: Conversions(r); break;
    case 2: Arrays(r); break;
    default: Dispatch(r); break;
  }
  SetErrorInfo(0, nullptr);
  return 0;
}
