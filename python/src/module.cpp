// The extension module _tesk: readers and writers over the kit's native libraries, and
// late-bound automation. The package `tesk` (tesk/__init__.py) is its public face.
#include <pybind11/pybind11.h>

#include <tesk/platform.h>

#include "errors.h"
#include "module.h"

namespace py = pybind11;

namespace tesk::python {

py::str Text(std::string_view narrow) {
  bool ascii = true;
  for (unsigned char c : narrow) {
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return py::str(narrow.data(), narrow.size());
  const std::string utf8 = tesk::ToNarrow(tesk::ToWide(narrow));
  return py::str(utf8.data(), utf8.size());
}

py::list Texts(std::span<const std::string> items) {
  py::list list;
  for (const std::string& item : items) list.append(Text(item));
  return list;
}

}  // namespace tesk::python

PYBIND11_MODULE(_tesk, m) {
  m.doc() = "Native part of the tesk package; use `import tesk`.";
  tesk::python::RegisterErrors(m);
  tesk::python::BindCel(m);
  tesk::python::BindDat(m);
  tesk::python::BindExp(m);
  tesk::python::BindChip(m);
  tesk::python::BindDispatch(m);
}
