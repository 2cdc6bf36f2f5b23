// How the module reports failures: a native call that fails raises tesk.Error (an OSError)
// carrying the library's message and the file's path; a path that does not exist raises the
// interpreter's own FileNotFoundError first.
#ifndef TESK_PYTHON_SRC_ERRORS_H_
#define TESK_PYTHON_SRC_ERRORS_H_

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>

namespace tesk::python {

// Thrown inside the module; translated to tesk.Error with `filename` set to path.
class FileError : public std::runtime_error {
 public:
  FileError(std::string message, std::string path)
      : std::runtime_error(message + ": " + path), message_(std::move(message)),
        path_(std::move(path)) {}
  const std::string& message() const { return message_; }
  const std::string& path() const { return path_; }

 private:
  std::string message_;
  std::string path_;
};

// Creates tesk.Error in the module and installs the translation.
void RegisterErrors(pybind11::module_& m);

// Raises FileNotFoundError (or the matching OSError) when path cannot be examined, so that a
// missing file reads as it does everywhere else in Python.
void CheckPathExists(const std::string& path);

}  // namespace tesk::python

#endif  // TESK_PYTHON_SRC_ERRORS_H_
