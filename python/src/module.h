// The pieces of the extension module _tesk, one per file kind, and what they share.
#ifndef TESK_PYTHON_SRC_MODULE_H_
#define TESK_PYTHON_SRC_MODULE_H_

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <span>
#include <string>
#include <string_view>

namespace tesk::python {

void BindCel(pybind11::module_& m);
void BindDat(pybind11::module_& m);
void BindExp(pybind11::module_& m);
void BindChip(pybind11::module_& m);
void BindDispatch(pybind11::module_& m);

// The sub-grid record of cell intensity and scanner image files as a numpy structured type.
pybind11::dtype SubGridDtype();

// A text of the libraries (8-bit, system code page) as a Python str. Bytes that are not UTF-8
// are taken as Windows-1252, as everywhere else in the kit, so no file text fails to convert.
pybind11::str Text(std::string_view narrow);
// A list of such texts.
pybind11::list Texts(std::span<const std::string> items);

}  // namespace tesk::python

#endif  // TESK_PYTHON_SRC_MODULE_H_
