// VARIANT values on the session bus; the bus interface of local servers.
#include "local_wire.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace tesk::local {
namespace {

// Variants inside arrays inside variants: deep enough for any real call, shallow enough that a
// hostile message cannot exhaust the stack.
constexpr int kMaxDepth = 16;
constexpr UINT kMaxDims = 32;

bool Is(GVariant* v, const char* type) {
  return v && g_variant_is_of_type(v, G_VARIANT_TYPE(type));
}

GVariant* EncodeAt(VARTYPE vt, const void* p, int depth);
bool DecodeAt(VARTYPE vt, GVariant* payload, void* p, int depth);

GVariant* EncodeArray(VARTYPE vt, SAFEARRAY* psa, int depth) {
  GVariantBuilder bounds, items;
  g_variant_builder_init(&bounds, G_VARIANT_TYPE("a(ui)"));
  g_variant_builder_init(&items, G_VARIANT_TYPE("av"));
  if (psa) {
    VARTYPE elem = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(psa, &elem)) || elem != (vt & VT_TYPEMASK) ||
        (elem & VT_ARRAY) || ValueSize(elem) == 0 || psa->cbElements != ValueSize(elem)) {
      g_variant_builder_clear(&bounds);
      g_variant_builder_clear(&items);
      return nullptr;
    }
    size_t count = 1;
    const UINT dims = SafeArrayGetDim(psa);
    for (UINT d = 1; d <= dims; ++d) {
      LONG lb = 0, ub = 0;
      SafeArrayGetLBound(psa, d, &lb);
      SafeArrayGetUBound(psa, d, &ub);
      const ULONG n = static_cast<ULONG>(static_cast<int64_t>(ub) - lb + 1);
      g_variant_builder_add(&bounds, "(ui)", static_cast<guint32>(n), static_cast<gint32>(lb));
      count *= n;
    }
    const auto* data = static_cast<const unsigned char*>(psa->pvData);
    for (size_t i = 0; i < count; ++i) {
      GVariant* e = EncodeAt(elem, data + i * psa->cbElements, depth + 1);
      if (!e) {
        g_variant_builder_clear(&bounds);
        g_variant_builder_clear(&items);
        return nullptr;
      }
      g_variant_builder_add(&items, "v", e);
    }
  }
  return g_variant_new("(a(ui)av)", &bounds, &items);
}

bool DecodeArray(VARTYPE vt, GVariant* payload, SAFEARRAY** out, int depth) {
  *out = nullptr;
  if (!Is(payload, "(a(ui)av)")) return false;
  const VARTYPE elem = vt & VT_TYPEMASK;
  if (ValueSize(elem) == 0) return false;
  GVariant* bounds = g_variant_get_child_value(payload, 0);
  GVariant* items = g_variant_get_child_value(payload, 1);
  const size_t dims = g_variant_n_children(bounds);
  const size_t n = g_variant_n_children(items);
  bool ok = dims <= kMaxDims;
  std::vector<SAFEARRAYBOUND> b(ok ? dims : 0);
  size_t count = 1;
  for (size_t d = 0; ok && d < dims; ++d) {
    guint32 c = 0;
    gint32 lb = 0;
    g_variant_get_child(bounds, d, "(ui)", &c, &lb);
    b[d] = SAFEARRAYBOUND{c, lb};
    // The element count must match what arrived, so a forged bound cannot make us allocate.
    if (c != 0 && count > n / c + 1) ok = false;
    count *= c;
  }
  if (ok && dims == 0) {
    ok = n == 0;  // a null array
  } else if (ok) {
    ok = count == n;
  }
  SAFEARRAY* psa = nullptr;
  if (ok && dims > 0) {
    psa = SafeArrayCreate(elem, static_cast<UINT>(dims), b.data());
    ok = psa != nullptr;
    auto* data = ok ? static_cast<unsigned char*>(psa->pvData) : nullptr;
    for (size_t i = 0; ok && i < n; ++i) {
      GVariant* boxed = g_variant_get_child_value(items, i);
      GVariant* e = g_variant_get_variant(boxed);
      ok = DecodeAt(elem, e, data + i * psa->cbElements, depth + 1);
      g_variant_unref(e);
      g_variant_unref(boxed);
    }
    if (!ok && psa) {
      SafeArrayDestroy(psa);
      psa = nullptr;
    }
  }
  g_variant_unref(bounds);
  g_variant_unref(items);
  *out = psa;
  return ok;
}

GVariant* EncodeAt(VARTYPE vt, const void* p, int depth) {
  if (depth > kMaxDepth) return nullptr;
  if (vt & VT_ARRAY) return EncodeArray(vt, *static_cast<SAFEARRAY* const*>(p), depth);
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
      return g_variant_new_boolean(FALSE);
    case VT_I1: return g_variant_new_int16(*static_cast<const signed char*>(p));
    case VT_UI1: return g_variant_new_byte(*static_cast<const BYTE*>(p));
    case VT_I2:
    case VT_BOOL: return g_variant_new_int16(*static_cast<const SHORT*>(p));
    case VT_UI2: return g_variant_new_uint16(*static_cast<const USHORT*>(p));
    case VT_I4:
    case VT_INT:
    case VT_ERROR: return g_variant_new_int32(*static_cast<const int32_t*>(p));
    case VT_UI4:
    case VT_UINT: return g_variant_new_uint32(*static_cast<const uint32_t*>(p));
    case VT_I8:
    case VT_CY: return g_variant_new_int64(*static_cast<const int64_t*>(p));
    case VT_UI8: return g_variant_new_uint64(*static_cast<const uint64_t*>(p));
    case VT_R4: return g_variant_new_double(*static_cast<const float*>(p));
    case VT_R8:
    case VT_DATE: return g_variant_new_double(*static_cast<const double*>(p));
    case VT_BSTR: {
      BSTR s = *static_cast<const BSTR*>(p);
      return EncodeText(s, s ? SysStringLen(s) : 0);
    }
    case VT_VARIANT: return EncodeVariant(*static_cast<const VARIANT*>(p));
    case VT_DISPATCH:
    case VT_UNKNOWN:
      // Only a null interface pointer can cross.
      if (*static_cast<IUnknown* const*>(p) != nullptr) return nullptr;
      return g_variant_new_boolean(FALSE);
    default:
      return nullptr;
  }
}

template <class T>
bool Put(void* p, T value) {
  std::memcpy(p, &value, sizeof value);
  return true;
}

bool DecodeAt(VARTYPE vt, GVariant* payload, void* p, int depth) {
  if (depth > kMaxDepth || !payload) return false;
  if (vt & VT_ARRAY) return DecodeArray(vt, payload, static_cast<SAFEARRAY**>(p), depth);
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      if (!Is(payload, "b")) return false;
      if (vt == VT_DISPATCH || vt == VT_UNKNOWN) *static_cast<IUnknown**>(p) = nullptr;
      return true;
    case VT_I1:
      return Is(payload, "n") && Put(p, static_cast<signed char>(g_variant_get_int16(payload)));
    case VT_UI1: return Is(payload, "y") && Put(p, static_cast<BYTE>(g_variant_get_byte(payload)));
    case VT_I2:
    case VT_BOOL: return Is(payload, "n") && Put(p, static_cast<SHORT>(g_variant_get_int16(payload)));
    case VT_UI2: return Is(payload, "q") && Put(p, static_cast<USHORT>(g_variant_get_uint16(payload)));
    case VT_I4:
    case VT_INT:
    case VT_ERROR: return Is(payload, "i") && Put(p, static_cast<int32_t>(g_variant_get_int32(payload)));
    case VT_UI4:
    case VT_UINT: return Is(payload, "u") && Put(p, static_cast<uint32_t>(g_variant_get_uint32(payload)));
    case VT_I8:
    case VT_CY: return Is(payload, "x") && Put(p, static_cast<int64_t>(g_variant_get_int64(payload)));
    case VT_UI8: return Is(payload, "t") && Put(p, static_cast<uint64_t>(g_variant_get_uint64(payload)));
    case VT_R4: return Is(payload, "d") && Put(p, static_cast<float>(g_variant_get_double(payload)));
    case VT_R8:
    case VT_DATE: return Is(payload, "d") && Put(p, g_variant_get_double(payload));
    case VT_BSTR: {
      if (!Is(payload, "aq")) return false;
      const std::u16string s = DecodeText(payload);
      BSTR b = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
      if (!b) return false;
      *static_cast<BSTR*>(p) = b;
      return true;
    }
    case VT_VARIANT: return DecodeVariant(payload, static_cast<VARIANT*>(p));
    default:
      return false;
  }
}

}  // namespace

size_t ValueSize(VARTYPE vt) {
  if (vt & VT_ARRAY) return sizeof(SAFEARRAY*);
  switch (vt) {
    case VT_I1:
    case VT_UI1: return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
    case VT_R4: return 4;
    case VT_I8:
    case VT_UI8:
    case VT_CY:
    case VT_R8:
    case VT_DATE: return 8;
    case VT_BSTR: return sizeof(BSTR);
    case VT_DISPATCH:
    case VT_UNKNOWN: return sizeof(IUnknown*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

GVariant* EncodeValue(VARTYPE vt, const void* p) { return EncodeAt(vt, p, 0); }

bool DecodeValue(VARTYPE vt, GVariant* payload, void* p) { return DecodeAt(vt, payload, p, 0); }

GVariant* EncodeVariant(const VARIANT& v) {
  const VARTYPE base = v.vt & ~VT_BYREF;
  const void* at = (v.vt & VT_BYREF) ? v.byref : static_cast<const void*>(&v.llVal);
  if ((v.vt & VT_BYREF) && (!at || base == VT_EMPTY || base == VT_NULL)) return nullptr;
  // A variant of variants may nest by reference only at the top.
  if ((v.vt & VT_BYREF) && base == VT_VARIANT && (static_cast<const VARIANT*>(at)->vt & VT_BYREF)) return nullptr;
  GVariant* payload = EncodeValue(base, at);
  if (!payload) return nullptr;
  return g_variant_new("(qv)", static_cast<guint16>(v.vt), payload);
}

bool SplitVariant(GVariant* wire, VARTYPE* vt, GVariant** payload) {
  if (!Is(wire, "(qv)")) return false;
  guint16 t = 0;
  g_variant_get(wire, "(qv)", &t, payload);
  *vt = t;
  return true;
}

bool DecodeVariant(GVariant* wire, VARIANT* out) {
  VariantInit(out);
  VARTYPE vt = VT_EMPTY;
  GVariant* payload = nullptr;
  if (!SplitVariant(wire, &vt, &payload)) return false;
  bool ok = !(vt & VT_BYREF) && vt != VT_VARIANT && ValueSize(vt) + (vt == VT_EMPTY || vt == VT_NULL) > 0;
  VARIANT tmp;
  VariantInit(&tmp);
  ok = ok && DecodeValue(vt, payload, &tmp.llVal);
  g_variant_unref(payload);
  if (!ok) return false;
  tmp.vt = vt;
  *out = tmp;
  return true;
}

GVariant* EncodeText(const OLECHAR* s, size_t n) {
  static_assert(sizeof(OLECHAR) == sizeof(guint16));
  return g_variant_new_fixed_array(G_VARIANT_TYPE_UINT16, s ? s : u"", s ? n : 0, sizeof(guint16));
}

std::u16string DecodeText(GVariant* aq) {
  gsize n = 0;
  const auto* units = static_cast<const char16_t*>(g_variant_get_fixed_array(aq, &n, sizeof(guint16)));
  return std::u16string(units ? units : u"", units ? n : 0);
}

const char* IntrospectionXml() {
  return R"xml(<node>
  <interface name="org.tesk.LocalServer1">
    <method name="CreateInstance">
      <arg name="clsid" type="s" direction="in"/>
      <arg name="hr" type="i" direction="out"/>
      <arg name="object" type="t" direction="out"/>
    </method>
    <method name="LockServer">
      <arg name="clsid" type="s" direction="in"/>
      <arg name="lock" type="b" direction="in"/>
      <arg name="hr" type="i" direction="out"/>
    </method>
    <method name="Release">
      <arg name="object" type="t" direction="in"/>
    </method>
    <method name="GetIDsOfNames">
      <arg name="object" type="t" direction="in"/>
      <arg name="names" type="aaq" direction="in"/>
      <arg name="hr" type="i" direction="out"/>
      <arg name="ids" type="ai" direction="out"/>
    </method>
    <method name="Invoke">
      <arg name="object" type="t" direction="in"/>
      <arg name="dispid" type="i" direction="in"/>
      <arg name="flags" type="q" direction="in"/>
      <arg name="args" type="a(qv)" direction="in"/>
      <arg name="named" type="ai" direction="in"/>
      <arg name="hr" type="i" direction="out"/>
      <arg name="result" type="(qv)" direction="out"/>
      <arg name="byref" type="a(qv)" direction="out"/>
      <arg name="argErr" type="u" direction="out"/>
      <arg name="excep" type="(qaqaqaqui)" direction="out"/>
      <arg name="errorInfo" type="(baqaqaqsu)" direction="out"/>
    </method>
  </interface>
</node>)xml";
}

}  // namespace tesk::local
