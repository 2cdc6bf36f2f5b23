#include "variant.h"

#include <pybind11/numpy.h>

#include <climits>
#include <limits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "module.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace tesk::python {
namespace {

struct NumericType {
  VARTYPE vt;
  const char* dtype;
};

// Element types that travel as numpy arrays, both ways.
constexpr NumericType kNumeric[] = {
    {VT_I1, "i1"}, {VT_UI1, "u1"}, {VT_I2, "i2"}, {VT_UI2, "u2"}, {VT_I4, "i4"},
    {VT_UI4, "u4"}, {VT_INT, "i4"}, {VT_UINT, "u4"}, {VT_I8, "i8"}, {VT_UI8, "u8"},
    {VT_R4, "f4"}, {VT_R8, "f8"}, {VT_DATE, "f8"}, {VT_ERROR, "i4"},
};

const char* NumericDtype(VARTYPE vt) {
  for (const NumericType& n : kNumeric)
    if (n.vt == vt) return n.dtype;
  return nullptr;
}

// Text to a fresh BSTR through the kit's code page conversion.
BSTR ToBstr(const std::string& utf8) {
  BSTR b = tesk::AllocBstr(utf8);
  if (b == nullptr) throw std::bad_alloc();
  return b;
}

SAFEARRAY* ArrayFromNumpy(const py::array& in) {
  VARTYPE vt = VT_EMPTY;
  const char kind = in.dtype().kind();
  const auto size = in.itemsize();
  if (kind == 'b') vt = VT_BOOL;
  for (const NumericType& n : kNumeric) {
    if (vt != VT_EMPTY) break;
    if (n.vt == VT_INT || n.vt == VT_UINT || n.vt == VT_DATE || n.vt == VT_ERROR) continue;
    if (n.dtype[0] == kind && n.dtype[1] - '0' == size) vt = n.vt;
  }
  if (vt == VT_EMPTY) return nullptr;
  if (in.ndim() < 1) return nullptr;
  // numpy's last axis varies fastest, a SAFEARRAY's left-most dimension: reverse the bounds.
  const auto dims = static_cast<UINT>(in.ndim());
  std::vector<SAFEARRAYBOUND> bounds(dims);
  for (UINT d = 0; d < dims; ++d) {
    if (in.shape(d) > static_cast<py::ssize_t>(std::numeric_limits<ULONG>::max()))
      throw py::value_error("array too large for a SAFEARRAY");
    bounds[dims - 1 - d] = {static_cast<ULONG>(in.shape(d)), 0};
  }
  // SafeArrayCreate takes the bounds left-most first.
  SAFEARRAY* sa = SafeArrayCreate(vt, dims, bounds.data());
  if (sa == nullptr) throw std::bad_alloc();
  void* data = nullptr;
  SafeArrayAccessData(sa, &data);
  if (vt == VT_BOOL) {
    py::array_t<bool, py::array::c_style | py::array::forcecast> b(in);
    auto* out = static_cast<VARIANT_BOOL*>(data);
    for (py::ssize_t i = 0; i < b.size(); ++i) out[i] = b.data()[i] ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    py::array c = py::array::ensure(in, py::array::c_style);
    std::memcpy(data, c.data(), static_cast<std::size_t>(c.nbytes()));
  }
  SafeArrayUnaccessData(sa);
  return sa;
}

SAFEARRAY* ArrayFromSequence(const py::sequence& seq) {
  const auto n = py::len(seq);
  SAFEARRAY* sa = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(n));
  if (sa == nullptr) throw std::bad_alloc();
  for (std::size_t i = 0; i < n; ++i) {
    VARIANT item;
    VariantInit(&item);
    try {
      ToVariant(seq[i], &item);
    } catch (...) {
      VariantClear(&item);
      SafeArrayDestroy(sa);
      throw;
    }
    LONG index = static_cast<LONG>(i);
    SafeArrayPutElement(sa, &index, &item);
    VariantClear(&item);
  }
  return sa;
}

// An object known only as IUnknown: its IDispatch, which every automation object has.
py::object WrapUnknown(IUnknown* p) {
  if (p == nullptr) return py::none();
  IDispatch* d = nullptr;
  if (FAILED(p->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))) || d == nullptr)
    throw py::type_error("an object without IDispatch has no Python form");
  py::object wrapped = WrapDispatch(d);
  d->Release();
  return wrapped;
}

py::object FromArray(SAFEARRAY* sa, VARTYPE element) {
  if (sa == nullptr) return py::none();
  const UINT dims = SafeArrayGetDim(sa);
  std::vector<py::ssize_t> shape(dims);
  std::size_t total = 1;
  for (UINT d = 1; d <= dims; ++d) {
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(sa, d, &lo);
    SafeArrayGetUBound(sa, d, &hi);
    const py::ssize_t n = hi >= lo ? static_cast<py::ssize_t>(hi) - lo + 1 : 0;
    shape[dims - d] = n;  // the left-most dimension varies fastest: it is numpy's last axis
    total *= static_cast<std::size_t>(n);
  }
  void* data = nullptr;
  if (SafeArrayAccessData(sa, &data) != S_OK) throw py::value_error("array is not accessible");
  struct Unaccess {
    SAFEARRAY* sa;
    ~Unaccess() { SafeArrayUnaccessData(sa); }
  } unaccess{sa};
  if (const char* dtype = NumericDtype(element)) {
    py::array out{py::dtype(std::string("<") + dtype), shape};
    if (total > 0) std::memcpy(out.mutable_data(), data, total * out.itemsize());
    return out;
  }
  if (element == VT_BOOL) {
    py::array_t<bool> out(shape);
    const auto* in = static_cast<const VARIANT_BOOL*>(data);
    for (std::size_t i = 0; i < total; ++i) out.mutable_data()[i] = in[i] != VARIANT_FALSE;
    return out;
  }
  // Strings, objects and variants: a list (nested for more than one dimension).
  py::list flat;
  for (std::size_t i = 0; i < total; ++i) {
    VARIANT v;
    VariantInit(&v);
    switch (element) {
      case VT_BSTR:
        v.vt = VT_BSTR;
        v.bstrVal = static_cast<BSTR*>(data)[i];
        flat.append(FromVariant(v));
        break;
      case VT_DISPATCH:
        flat.append(WrapDispatch(static_cast<IDispatch**>(data)[i]));
        break;
      case VT_UNKNOWN:
        flat.append(WrapUnknown(static_cast<IUnknown**>(data)[i]));
        break;
      case VT_VARIANT:
        flat.append(FromVariant(static_cast<VARIANT*>(data)[i]));
        break;
      default:
        throw py::type_error("array of variant type " + tesk::VarTypeName(element) +
                             " has no Python form");
    }
  }
  if (dims <= 1) return flat;
  py::object np = py::module_::import("numpy");
  py::object objects = np.attr("empty")(total, "dtype"_a = "O");
  for (std::size_t i = 0; i < total; ++i) objects[py::int_(i)] = flat[i];
  py::tuple np_shape(dims);
  for (UINT d = 0; d < dims; ++d) np_shape[d] = shape[d];
  return objects.attr("reshape")(np_shape).attr("tolist")();
}

}  // namespace

void ToVariant(py::handle obj, VARIANT* v) {
  if (obj.is_none()) {
    v->vt = VT_EMPTY;
  } else if (py::isinstance<py::bool_>(obj)) {
    v->vt = VT_BOOL;
    v->boolVal = obj.cast<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (py::isinstance<py::int_>(obj)) {
    const long long value = obj.cast<long long>();
    if (value >= INT32_MIN && value <= INT32_MAX) {
      v->vt = VT_I4;
      v->lVal = static_cast<LONG>(value);
    } else {
      v->vt = VT_I8;
      v->llVal = value;
    }
  } else if (py::isinstance<py::float_>(obj)) {
    v->vt = VT_R8;
    v->dblVal = obj.cast<double>();
  } else if (py::isinstance<py::str>(obj)) {
    v->vt = VT_BSTR;
    v->bstrVal = ToBstr(obj.cast<std::string>());
  } else if (IDispatch* p = UnwrapDispatch(obj)) {
    v->vt = VT_DISPATCH;
    v->pdispVal = p;
    p->AddRef();
  } else if (py::isinstance<py::array>(obj) && py::reinterpret_borrow<py::array>(obj).ndim() == 0) {
    ToVariant(obj.attr("item")(), v);
  } else if (py::isinstance<py::array>(obj)) {
    SAFEARRAY* sa = ArrayFromNumpy(py::reinterpret_borrow<py::array>(obj));
    if (sa == nullptr) {
      sa = ArrayFromSequence(py::reinterpret_borrow<py::array>(obj).attr("tolist")());
      v->vt = VT_ARRAY | VT_VARIANT;
    } else {
      VARTYPE element = VT_EMPTY;
      SafeArrayGetVartype(sa, &element);
      v->vt = static_cast<VARTYPE>(VT_ARRAY | element);
    }
    v->parray = sa;
  } else if (py::hasattr(obj, "dtype") && py::hasattr(obj, "item")) {
    // A numpy scalar: its Python value.
    ToVariant(obj.attr("item")(), v);
  } else if (py::isinstance<py::sequence>(obj) && !py::isinstance<py::bytes>(obj)) {
    v->parray = ArrayFromSequence(py::reinterpret_borrow<py::sequence>(obj));
    v->vt = VT_ARRAY | VT_VARIANT;
  } else {
    throw py::type_error("no automation form for a value of type " +
                         py::str(py::type::handle_of(obj).attr("__name__")).cast<std::string>());
  }
}

py::object FromVariant(const VARIANT& in) {
  const VARIANT* v = &in;
  if (v->vt == (VT_VARIANT | VT_BYREF)) {
    if (v->pvarVal == nullptr) return py::none();
    v = v->pvarVal;
  }
  const VARTYPE vt = v->vt;
  const bool byref = (vt & VT_BYREF) != 0;
  const VARTYPE base = vt & static_cast<VARTYPE>(~VT_BYREF);
  if (byref && v->byref == nullptr) return py::none();
  if (base & VT_ARRAY) {
    SAFEARRAY* sa = byref ? *v->pparray : v->parray;
    VARTYPE element = base & VT_TYPEMASK;
    if (sa != nullptr) SafeArrayGetVartype(sa, &element);
    return FromArray(sa, element);
  }
  switch (base) {
    case VT_EMPTY:
    case VT_NULL:
      return py::none();
    case VT_I1: return py::int_(byref ? *v->pcVal : v->cVal);
    case VT_UI1: return py::int_(byref ? *v->pbVal : v->bVal);
    case VT_I2: return py::int_(byref ? *v->piVal : v->iVal);
    case VT_UI2: return py::int_(byref ? *v->puiVal : v->uiVal);
    case VT_I4:
    case VT_ERROR:
      return py::int_(byref ? *v->plVal : v->lVal);
    case VT_UI4: return py::int_(byref ? *v->pulVal : v->ulVal);
    case VT_INT: return py::int_(byref ? *v->pintVal : v->intVal);
    case VT_UINT: return py::int_(byref ? *v->puintVal : v->uintVal);
    case VT_I8: return py::int_(byref ? *v->pllVal : v->llVal);
    case VT_UI8: return py::int_(byref ? *v->pullVal : v->ullVal);
    case VT_R4: return py::float_(byref ? *v->pfltVal : v->fltVal);
    case VT_R8:
    case VT_DATE:
      return py::float_(byref ? *v->pdblVal : v->dblVal);
    case VT_BOOL: return py::bool_((byref ? *v->pboolVal : v->boolVal) != VARIANT_FALSE);
    case VT_BSTR: {
      const std::string narrow = tesk::FromBstr(byref ? *v->pbstrVal : v->bstrVal);
      return py::str(narrow.data(), narrow.size());
    }
    case VT_DISPATCH:
      return WrapDispatch(byref ? *v->ppdispVal : v->pdispVal);
    case VT_UNKNOWN:
      return WrapUnknown(byref ? *v->ppunkVal : v->punkVal);
    case VT_VARIANT:
      if (byref) return FromVariant(*v->pvarVal);
      break;
    default:
      break;
  }
  throw py::type_error("variant of type " + tesk::VarTypeName(vt) + " has no Python form");
}

}  // namespace tesk::python
