// Conversions between Python values and automation VARIANTs.
//
// To a VARIANT: None -> VT_EMPTY, bool -> VT_BOOL, int -> VT_I4 (VT_I8 beyond 32 bits),
// float -> VT_R8, str -> VT_BSTR, an automation object -> VT_DISPATCH, a numpy array of a
// numeric type -> a SAFEARRAY of that type, any other sequence -> a SAFEARRAY of VARIANTs.
// From a VARIANT: the reverse; numeric SAFEARRAYs become numpy arrays (copied, the array's
// shape left-most dimension first), others lists; objects become tesk.automation objects.
#ifndef TESK_PYTHON_SRC_VARIANT_H_
#define TESK_PYTHON_SRC_VARIANT_H_

#include <pybind11/pybind11.h>

#include <tesk/platform.h>

namespace tesk::python {

// Fills v (initialised, empty) from obj; the caller clears it. Raises TypeError for a value
// without an automation form.
void ToVariant(pybind11::handle obj, VARIANT* v);

// The Python value of v (by-reference variants are read through).
pybind11::object FromVariant(const VARIANT& v);

// Wraps an interface pointer as a Python automation object (AddRef'd); None for null.
pybind11::object WrapDispatch(IDispatch* p);

// The interface pointer of a Python automation object, or null when obj is none.
IDispatch* UnwrapDispatch(pybind11::handle obj);

}  // namespace tesk::python

#endif  // TESK_PYTHON_SRC_VARIANT_H_
