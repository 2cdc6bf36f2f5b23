#include "errors.h"

#include <pybind11/eval.h>
#include <sys/stat.h>

#include <cerrno>

namespace py = pybind11;

namespace tesk::python {
namespace {

PyObject* g_error = nullptr;  // tesk.Error, alive as long as the module

}  // namespace

void RegisterErrors(py::module_& m) {
  // An OSError whose text is the library's message and the path, without an errno.
  py::dict scope;
  py::exec(R"py(
class Error(OSError):
    """A file the kit could not read or write: the message in `strerror`, the path in
    `filename`."""
    def __str__(self):
        if self.filename is None:
            return str(self.strerror)
        return f"{self.strerror}: {self.filename}"
Error.__module__ = "tesk"
)py", scope);
  py::object error = scope["Error"];
  g_error = error.release().ptr();
  m.add_object("Error", py::handle(g_error));
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const FileError& e) {
      // OSError(errno, strerror, filename) fills `strerror` and `filename`; no errno applies.
      py::object error = py::reinterpret_borrow<py::object>(g_error)(
          py::none(), e.message(), e.path());
      PyErr_SetObject(g_error, error.ptr());
    }
  });
}

void CheckPathExists(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
    throw py::error_already_set();
  }
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
    throw py::error_already_set();
  }
}

}  // namespace tesk::python
