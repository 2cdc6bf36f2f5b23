// Scanner image files: the header fields, and the pixels as a read-only numpy view of the
// library's own mapping of the file (no copy). The view keeps the mapping alive.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <tesk/imbrel7.h>

#include "errors.h"
#include "module.h"

namespace py = pybind11;

namespace tesk::python {
namespace {

// One read image; the mapping lives as long as this object, which every pixel view holds as its
// base. It exposes the pixels as a read-only buffer, so numpy refuses to make a view writable.
class Mapping {
 public:
  explicit Mapping(std::string path) : path_(std::move(path)) {}

  void Read() {
    image_.SetName(path_.c_str());
    int ok;
    {
      py::gil_scoped_release unlocked;
      ok = image_.Read();
    }
    if (!ok) throw FileError("not a readable scanner image file", path_);
    if (image_.Pixels == nullptr && image_.Cols > 0 && image_.Rows > 0)
      throw FileError("scanner image file without pixels", path_);
  }

  const ImageData& image() const { return image_; }
  ImageData& image() { return image_; }
  const std::string& path() const { return path_; }

  py::buffer_info Buffer() const {
    return py::buffer_info(image_.Pixels, sizeof(std::uint16_t), "<H", 2,
                           {static_cast<py::ssize_t>(image_.Rows),
                            static_cast<py::ssize_t>(image_.Cols)},
                           {static_cast<py::ssize_t>(image_.Cols) * 2, py::ssize_t{2}},
                           /*readonly=*/true);
  }

 private:
  std::string path_;
  ImageData image_;
};

py::array PixelView(py::object mapping) {
  const Mapping& m = mapping.cast<const Mapping&>();
  const ImageData& img = m.image();
  const std::vector<py::ssize_t> shape{img.Rows, img.Cols};
  const std::vector<py::ssize_t> strides{static_cast<py::ssize_t>(img.Cols) * 2, 2};
  py::array view(py::dtype("<u2"), shape, strides, img.Pixels, mapping);
  // The mapping is read-only: a write through the view must be refused, never attempted.
  py::detail::array_proxy(view.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
  return view;
}

py::tuple OpenDat(const std::string& path) {
  CheckPathExists(path);
  auto mapping = std::make_shared<Mapping>(path);
  mapping->Read();
  const ImageData& img = mapping->image();
  py::dict d;
  d["cols"] = img.Cols;
  d["rows"] = img.Rows;
  d["chip_fields"] = Texts(img.ChipField);
  d["chip_type"] = Text(img.ChipField[1]);
  d["chip_info"] = Text(img.ChipInfoText);
  d["scan_info"] = Text(img.ScanInfoText);
  d["scan_date"] = Text(img.ScanDate);
  d["scanner_id"] = Text(img.ScannerID);
  d["scanner_type"] = Text(img.ScannerType);
  d["experiment_name"] = Text(img.ExperimentName);
  d["min_data"] = img.MinData;
  d["max_data"] = img.MaxData;
  d["pixel_size"] = img.PixelSize;
  d["scan_speed"] = img.ScanSpeed;
  d["tmp"] = img.TMP;
  d["cell_margin"] = img.CellMargin;
  py::tuple corners(8);
  for (int i = 0; i < 8; ++i) corners[i] = img.GridCorners[i];
  d["grid_corners"] = corners;
  d["trailer_version"] = img.TrailerVersion;
  d["chip_numbers"] = py::make_tuple(img.ChipNumber1, img.ChipNumber2, img.ChipNumber3);
  d["chip_count"] = img.ChipCount;
  py::array grids(SubGridDtype(), std::vector<py::ssize_t>{img.NumSubGrids});
  auto* bytes = static_cast<char*>(grids.mutable_data());
  for (int i = 0; i < img.NumSubGrids; ++i) {
    SUBGRID sg{};
    mapping->image().GetSubGrid(i, &sg);
    std::memcpy(bytes + static_cast<std::size_t>(i) * sizeof sg, &sg, sizeof sg);
  }
  d["subgrids"] = grids;
  py::object owner = py::cast(mapping);
  return py::make_tuple(d, owner);
}

}  // namespace

void BindDat(py::module_& m) {
  py::class_<Mapping, std::shared_ptr<Mapping>>(m, "ImageMapping", py::buffer_protocol(),
      "The read-only mapping of a scanner image file; pixel views keep it alive.")
      .def_buffer(&Mapping::Buffer)
      .def_property_readonly("path", &Mapping::path);
  m.def("_open_dat", &OpenDat, py::arg("path"));
  m.def("_pixels", &PixelView, py::arg("mapping"));
}

}  // namespace tesk::python
