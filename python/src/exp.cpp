// Experiment information files as a dict of their fields.
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include <tesk/ostrel7.h>

#include "errors.h"
#include "module.h"

namespace py = pybind11;

namespace tesk::python {
namespace {

py::dict ReadExp(const std::string& path) {
  CheckPathExists(path);
  CTestInfo info;
  info.SetName(path);
  int ok;
  {
    py::gil_scoped_release unlocked;
    ok = info.Read();
  }
  if (!ok) {
    std::string message = info.LastMessage();
    if (message.empty()) message = "Cannot read " + path;
    throw FileError(message, path);
  }
  py::dict d;
  d["name"] = Text(info.Name);
  d["path"] = Text(info.FullPath);
  d["directory"] = Text(info.Directory);
  d["version"] = info.Version;
  d["chip_type"] = Text(info.ChipType);
  std::vector<std::string> labels;
  GetSampleInfoLabels(labels, 0);
  py::dict sample;
  for (std::size_t i = 0; i < info.SampleInfo.size(); ++i) {
    const std::string label = i < labels.size() ? labels[i] : "Sample " + std::to_string(i + 1);
    sample[Text(label)] = Text(info.SampleInfo[i]);
  }
  d["sample_info"] = sample;
  d["protocol"] = Text(info.Protocol);
  d["protocol_steps"] = Texts(info.ProtocolSteps);
  d["station"] = Text(info.Station);
  d["module"] = Text(info.Module);
  d["hybridize_date"] = Text(info.HybridizeDate);
  d["pixel_size"] = Text(info.PixelSize);
  d["filter"] = Text(info.Filter);
  d["scan_temperature"] = Text(info.ScanTemperature);
  d["scan_date"] = Text(info.ScanDate);
  d["scanner_id"] = Text(info.ScannerID);
  d["number_of_scans"] = Text(info.NumberOfScans);
  d["scanner_type"] = Text(info.ScannerType);
  return d;
}

}  // namespace

void BindExp(py::module_& m) {
  OstrelDLLInit();
  m.def("_read_exp", &ReadExp, py::arg("path"));
}

}  // namespace tesk::python
