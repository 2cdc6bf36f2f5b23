// Cell intensity files: the cell table as five (rows, cols) arrays, the sub-grids as one
// structured array, and the writer that builds a file from such arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>
#include <cstring>
#include <string>

#include <tesk/parvel.h>

#include "errors.h"
#include "module.h"

namespace py = pybind11;

namespace tesk::python {

// The fourteen SUBGRID fields, little-endian, packed as the record is.
py::dtype SubGridDtype() {
  py::list fields;
  for (const char* name : {"ROW", "COL"}) fields.append(py::make_tuple(name, "<i4"));
  for (const char* name : {"ULPX", "ULPY", "URPX", "URPY", "LLPX", "LLPY", "LRPX", "LRPY"})
    fields.append(py::make_tuple(name, "<f4"));
  for (const char* name : {"LEFTC", "TOPC", "RIGHTC", "BOTTOMC"})
    fields.append(py::make_tuple(name, "<i4"));
  return py::dtype::from_args(fields);
}

namespace {

py::array SubGrids(ParvelClass& cel) {
  const int n = cel.GetNSubGrids();
  py::array out(SubGridDtype(), std::vector<py::ssize_t>{n});
  static_assert(sizeof(SUBGRID) == 56);
  auto* bytes = static_cast<char*>(out.mutable_data());
  for (int i = 0; i < n; ++i) {
    SUBGRID sg{};
    cel.GetSubGrid(i, &sg);
    std::memcpy(bytes + static_cast<std::size_t>(i) * sizeof sg, &sg, sizeof sg);
  }
  return out;
}

py::object Corners(ParvelClass& cel) {
  long corners[8] = {};
  if (!cel.GetCorners(corners)) return py::none();
  py::tuple t(8);
  for (int i = 0; i < 8; ++i) t[i] = corners[i];
  return t;
}

// A read file's cell table, kept whole: the arrays of a read file are views of its entries.
struct CellTable {
  std::unique_ptr<ParvelClass> cel;
};

constexpr py::ssize_t kEntry = sizeof(CellEntryClass);

// Whether the table is one block of rows x cols entries in row-major order, so that each field
// is a strided (rows, cols) view. Entries never move, so a block whose entries sit at their
// offsets at every 1024th index and at the end is one allocation. The binary reader places
// cell i at X = i mod cols, Y = i div cols; text files name each cell's position themselves.
bool IsGrid(ParvelClass& cel, int rows, int cols) {
  const std::size_t n = static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
  if (n == 0 || static_cast<std::size_t>(cel.GetNCells()) != n) return false;
  const CellEntryClass* base = cel.GetCell(0);
  for (std::size_t i = 1024; i < n; i += 1024)
    if (cel.GetCell(static_cast<int>(i)) != base + i) return false;
  if (cel.GetCell(static_cast<int>(n - 1)) != base + (n - 1)) return false;
  if (cel.GetFileVersion() == 4) return true;
  const std::size_t c = static_cast<std::size_t>(cols);
  for (std::size_t i = 0; i < n; ++i)
    if (base[i].X != i % c || base[i].Y != i / c) return false;
  return true;
}

// The five fields as views of the table; the views keep it alive.
void AddViews(py::dict& d, py::object owner, const CellEntryClass* base, int rows, int cols) {
  const std::vector<py::ssize_t> shape{rows, cols};
  const std::vector<py::ssize_t> strides{static_cast<py::ssize_t>(cols) * kEntry, kEntry};
  const char* bytes = reinterpret_cast<const char*>(base);
  auto view = [&](const char* dtype, std::size_t offset) {
    return py::array(py::dtype(dtype), shape, strides, bytes + offset, owner);
  };
  d["mean"] = view("<f4", offsetof(CellEntryClass, MEAN));
  d["stdv"] = view("<f4", offsetof(CellEntryClass, STDV));
  d["npixels"] = view("<u2", offsetof(CellEntryClass, NPIXELS));
  // The readers set a flag to 1, never another value, so the bytes are valid booleans.
  d["masked"] = view("?", offsetof(CellEntryClass, MASKED));
  d["outlier"] = view("?", offsetof(CellEntryClass, OUTLIER));
}

// Copies a table that is not one row-major block: each cell goes where its X and Y say, and a
// cell outside the grid is refused.
void AddCopies(py::dict& d, ParvelClass& cel, int rows, int cols, const std::string& path) {
  const std::vector<py::ssize_t> shape{rows, cols};
  py::array_t<float> mean(shape), stdv(shape);
  py::array_t<std::uint16_t> npixels(shape);
  py::array_t<bool> masked(shape), outlier(shape);
  const std::size_t cells = static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
  float* m = mean.mutable_data();
  float* s = stdv.mutable_data();
  std::uint16_t* p = npixels.mutable_data();
  bool* k = masked.mutable_data();
  bool* o = outlier.mutable_data();
  const int n = cel.GetNCells();
  bool outside = false;
  {
    py::gil_scoped_release unlocked;
    std::memset(m, 0, cells * sizeof *m);
    std::memset(s, 0, cells * sizeof *s);
    std::memset(p, 0, cells * sizeof *p);
    std::memset(k, 0, cells * sizeof *k);
    std::memset(o, 0, cells * sizeof *o);
    for (int i = 0; i < n; ++i) {
      const CellEntryClass* e = cel.GetCell(i);
      if (e->X >= cols || e->Y >= rows) {
        outside = true;
        break;
      }
      const std::size_t at = static_cast<std::size_t>(e->Y) * static_cast<std::size_t>(cols) + e->X;
      m[at] = e->MEAN;
      s[at] = e->STDV;
      p[at] = e->NPIXELS;
      k[at] = e->MASKED != 0;
      o[at] = e->OUTLIER != 0;
    }
  }
  if (outside) throw FileError("cell intensity file with a cell outside its grid", path);
  d["mean"] = mean;
  d["stdv"] = stdv;
  d["npixels"] = npixels;
  d["masked"] = masked;
  d["outlier"] = outlier;
}

// Reads the file; with header_only the arrays are left out.
py::dict ReadCel(const std::string& path, bool header_only) {
  CheckPathExists(path);
  auto owned = std::make_unique<ParvelClass>();
  ParvelClass& cel = *owned;
  cel.SetName(path.c_str());
  int ok;
  {
    py::gil_scoped_release unlocked;
    ok = header_only ? cel.ReadHeader() : cel.Read();
  }
  if (!ok) throw FileError("not a readable cell intensity file", path);

  py::dict d;
  d["text"] = Text(cel.GetHeader());
  d["rows"] = cel.GetRows();
  d["cols"] = cel.GetCols();
  d["version"] = cel.GetFileVersion();
  d["algorithm"] = Text(cel.GetAlgorithm());
  d["parameters"] = Text(cel.GetAlgParams());
  d["chip_type"] = Text(cel.GetChipType());
  d["cell_margin"] = cel.GetCellMargin();
  d["n_outliers"] = cel.GetNOutliers();
  d["n_masked"] = cel.GetNMasked();
  d["corners"] = Corners(cel);
  d["subgrids"] = SubGrids(cel);
  if (header_only) return d;

  const int rows = cel.GetRows();
  const int cols = cel.GetCols();
  if (rows < 0 || cols < 0 || (rows == 0) != (cols == 0))
    throw FileError("cell intensity file with an impossible grid size", path);
  if (IsGrid(cel, rows, cols)) {
    const CellEntryClass* base = cel.GetCell(0);
    py::object table = py::cast(CellTable{std::move(owned)});
    AddViews(d, table, base, rows, cols);
  } else {
    AddCopies(d, cel, rows, cols, path);
  }
  return d;
}

using FloatGrid = py::array_t<float, py::array::c_style | py::array::forcecast>;
using CountGrid = py::array_t<std::uint16_t, py::array::c_style | py::array::forcecast>;
using FlagGrid = py::array_t<bool, py::array::c_style | py::array::forcecast>;

void WriteCel(const std::string& path, int version, const std::string& header,
              const std::string& algorithm, FloatGrid mean, FloatGrid stdv, CountGrid npixels,
              FlagGrid masked, FlagGrid outlier, py::object subgrids) {
  if (version != 2 && version != 3 && version != 4)
    throw py::value_error("version must be 4 (binary), 3 or 2 (text)");
  if (mean.ndim() != 2) throw py::value_error("mean must be a (rows, cols) array");
  const py::ssize_t rows = mean.shape(0), cols = mean.shape(1);
  for (const py::array* a : {static_cast<const py::array*>(&stdv),
                             static_cast<const py::array*>(&npixels),
                             static_cast<const py::array*>(&masked),
                             static_cast<const py::array*>(&outlier)}) {
    if (a->ndim() != 2 || a->shape(0) != rows || a->shape(1) != cols)
      throw py::value_error("every cell array must have the shape of mean");
  }
  if (rows > 65536 || cols > 65536)
    throw py::value_error("a grid holds at most 65536 rows and 65536 columns");
  std::vector<SUBGRID> grids;
  if (!subgrids.is_none()) {
    py::array sg = py::array::ensure(subgrids);
    if (!sg || !sg.dtype().equal(SubGridDtype()) || sg.ndim() != 1)
      throw py::value_error("subgrids must be a one-dimensional array of tesk.SUBGRID_DTYPE");
    sg = py::array::ensure(sg, py::array::c_style);
    grids.resize(static_cast<std::size_t>(sg.shape(0)));
    if (!grids.empty()) std::memcpy(grids.data(), sg.data(), grids.size() * sizeof(SUBGRID));
  }

  ParvelClass cel;
  cel.SetName(path.c_str());
  cel.SetHeader(header.c_str());
  cel.SetAlgorithm(algorithm.c_str());
  int ok;
  {
    const float* m = mean.data();
    const float* s = stdv.data();
    const std::uint16_t* p = npixels.data();
    const bool* k = masked.data();
    const bool* o = outlier.data();
    py::gil_scoped_release unlocked;
    CellEntryClass e;
    std::size_t i = 0;
    for (py::ssize_t y = 0; y < rows; ++y) {
      for (py::ssize_t x = 0; x < cols; ++x, ++i) {
        e.MEAN = m[i];
        e.STDV = s[i];
        e.X = static_cast<std::uint16_t>(x);
        e.Y = static_cast<std::uint16_t>(y);
        e.NPIXELS = p[i];
        e.MASKED = k[i] ? 1 : 0;
        e.OUTLIER = o[i] ? 1 : 0;
        cel.AddCellData(&e);
      }
    }
    for (SUBGRID& g : grids) cel.AddSubGrid(&g);
    ok = cel.WriteVersionFile(version);
  }
  if (!ok) throw FileError("cannot write the cell intensity file", path);
}

}  // namespace

void BindCel(py::module_& m) {
  py::class_<CellTable>(m, "CellTable",
                        "The cell table of a read file; the arrays of a Cel are views of it.");
  m.attr("SUBGRID_DTYPE") = SubGridDtype();
  m.def("_read_cel", &ReadCel, py::arg("path"), py::arg("header_only") = false);
  m.def("_write_cel", &WriteCel, py::arg("path"), py::arg("version"), py::arg("header"),
        py::arg("algorithm"), py::arg("mean"), py::arg("stdv"), py::arg("npixels"),
        py::arg("masked"), py::arg("outlier"), py::arg("subgrids"));
  // The library's own read alone, for timing the module against it.
  m.def("_parvel_read", [](const std::string& path) {
    ParvelClass cel;
    cel.SetName(path.c_str());
    py::gil_scoped_release unlocked;
    return cel.Read();
  });
}

}  // namespace tesk::python
