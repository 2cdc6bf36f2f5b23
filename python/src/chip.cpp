// Layout and result files as tables: one row per unit, one row per probe cell (with its unit's
// number and type beside it, so that a selection over cells is one boolean mask), one row per
// QC cell. The tables travel as columns; the package assembles them into structured arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <tesk/pendrix71.h>

#include "errors.h"
#include "module.h"

namespace py = pybind11;

namespace tesk::python {
namespace {

template <class T>
py::array_t<T> Column(const std::vector<T>& v) {
  py::array_t<T> a(static_cast<py::ssize_t>(v.size()));
  if (!v.empty()) std::memcpy(a.mutable_data(), v.data(), v.size() * sizeof(T));
  return a;
}

struct CellColumns {
  std::vector<std::int32_t> unit_index, unit, type, atom;
  std::vector<std::uint8_t> cell, pm, background, masked, outlier;
  std::vector<std::uint16_t> x, y, pixels;
  std::vector<char> probe_base, target_base;
  std::vector<float> intensity, stdev;

  void Add(int ui, int number, int t, int a, int c, bool is_pm, const CellClass& cc) {
    unit_index.push_back(ui);
    unit.push_back(number);
    type.push_back(t);
    atom.push_back(a);
    cell.push_back(static_cast<std::uint8_t>(c));
    pm.push_back(is_pm);
    background.push_back(cc.background != 0);
    masked.push_back(cc.masked != 0);
    outlier.push_back(cc.outlier != 0);
    x.push_back(cc.x);
    y.push_back(cc.y);
    pixels.push_back(cc.pixels);
    probe_base.push_back(cc.probeBase);
    target_base.push_back(cc.targetBase);
    intensity.push_back(cc.intensity);
    stdev.push_back(cc.stdev);
  }

  py::dict Dict() const {
    py::dict d;
    d["unit_index"] = Column(unit_index);
    d["unit"] = Column(unit);
    d["type"] = Column(type);
    d["atom"] = Column(atom);
    d["cell"] = Column(cell);
    d["pm"] = Column(pm);
    d["background"] = Column(background);
    d["masked"] = Column(masked);
    d["outlier"] = Column(outlier);
    d["x"] = Column(x);
    d["y"] = Column(y);
    d["pixels"] = Column(pixels);
    d["probe_base"] = Column(probe_base);
    d["target_base"] = Column(target_base);
    d["intensity"] = Column(intensity);
    d["stdev"] = Column(stdev);
    return d;
  }
};

struct UnitColumns {
  std::vector<std::int32_t> unit, type, direction, atoms, cells_per_atom, ncells;
  std::vector<std::int64_t> first_cell;
  std::vector<std::string> name, wild_type, called;
  // Expression results (zeros for other units).
  std::vector<std::int32_t> result_code, pairs_used, pairs_in_average, stat1, stat2, stat3,
      stat4, call, comparison_present;
  std::vector<float> value1, value2, value3;

  py::dict Dict() const {
    py::dict d;
    d["unit"] = Column(unit);
    d["type"] = Column(type);
    d["direction"] = Column(direction);
    d["atoms"] = Column(atoms);
    d["cells_per_atom"] = Column(cells_per_atom);
    d["first_cell"] = Column(first_cell);
    d["ncells"] = Column(ncells);
    d["name"] = Texts(name);
    d["wild_type"] = Texts(wild_type);
    d["called"] = Texts(called);
    d["result_code"] = Column(result_code);
    d["pairs_used"] = Column(pairs_used);
    d["pairs_in_average"] = Column(pairs_in_average);
    d["stat1"] = Column(stat1);
    d["stat2"] = Column(stat2);
    d["stat3"] = Column(stat3);
    d["stat4"] = Column(stat4);
    d["value1"] = Column(value1);
    d["value2"] = Column(value2);
    d["value3"] = Column(value3);
    d["call"] = Column(call);
    d["comparison_present"] = Column(comparison_present);
    return d;
  }
};

int IntAt(const IntArrayClass& a, int i) { return i < a.count ? a.data[i] : 0; }

// A layout names an expression unit's probe set in its block; the unit itself is often "NONE".
std::string UnitName(const String& name, const ArrayClass& blocks) {
  std::string text = name.c_str();
  if ((text.empty() || text == "NONE") && blocks.count > 0 && blocks.data[0] != nullptr) {
    const auto* block = static_cast<const UnitBlockInfoClass*>(blocks.data[0]);
    if (!block->name.IsEmpty()) text = block->name.c_str();
  }
  return text;
}

void Tables(ChipClass& chip, UnitColumns& u, CellColumns& c) {
  for (int i = 0; i < chip.units.count; ++i) {
    AllUnitTypes* holder = chip.GetUnit(i);
    const int type = IntAt(chip.unitTypes, i);
    const int number = IntAt(chip.unitNumbers, i);
    const std::int64_t first = static_cast<std::int64_t>(c.x.size());
    std::string name, wild, called;
    int direction = 0, atoms = 0, per_atom = IntAt(chip.unitCellsPerAtom, i);
    std::int32_t rc = 0, used = 0, avg = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0, call = 0, cp = 0;
    float v1 = 0, v2 = 0, v3 = 0;
    if (holder != nullptr && type == TILING_EXPRESSION && holder->geneExpression != nullptr) {
      GeneExpressionUnitClass& g = *holder->geneExpression;
      name = UnitName(g.name, g.blocks);
      direction = g.direction;
      atoms = g.atoms != nullptr ? g.numberOfAtoms : 0;
      per_atom = 2;
      for (int a = 0; a < atoms; ++a)
        for (int k = 0; k < 2; ++k) c.Add(i, number, type, a, k, k == 0, g.atoms[a].cells[k]);
      rc = g.resultCode, used = g.pairsUsed, avg = g.pairsInAverage;
      s1 = g.stat1, s2 = g.stat2, s3 = g.stat3, s4 = g.stat4;
      v1 = g.value1, v2 = g.value2, v3 = g.value3;
      call = g.callCode, cp = g.comparisonPresent;
    } else if (UnitClass* t = holder != nullptr ? TilingUnitOf(holder, type) : nullptr) {
      name = UnitName(t->name, t->blocks);
      wild = t->wildTypeSequence.c_str();
      called = t->calledSequence.c_str();
      direction = t->direction;
      atoms = t->atoms != nullptr ? t->numberOfAtoms : 0;
      for (int a = 0; a < atoms; ++a) {
        const AtomClass& atom = t->atoms[a];
        for (int k = 0; k < atom.numberOfCells; ++k)
          c.Add(i, number, type, a, k, atom.targetIndex >= 0 && k == atom.targetIndex,
                atom.cells[k]);
      }
    }
    u.unit.push_back(number);
    u.type.push_back(type);
    u.direction.push_back(direction);
    u.atoms.push_back(atoms);
    u.cells_per_atom.push_back(per_atom);
    u.first_cell.push_back(first);
    u.ncells.push_back(static_cast<std::int32_t>(static_cast<std::int64_t>(c.x.size()) - first));
    u.name.push_back(std::move(name));
    u.wild_type.push_back(std::move(wild));
    u.called.push_back(std::move(called));
    u.result_code.push_back(rc);
    u.pairs_used.push_back(used);
    u.pairs_in_average.push_back(avg);
    u.stat1.push_back(s1);
    u.stat2.push_back(s2);
    u.stat3.push_back(s3);
    u.stat4.push_back(s4);
    u.value1.push_back(v1);
    u.value2.push_back(v2);
    u.value3.push_back(v3);
    u.call.push_back(call);
    u.comparison_present.push_back(cp);
  }
}

py::dict QCTable(ChipClass& chip) {
  std::vector<std::int32_t> unit, type;
  std::vector<std::uint16_t> x, y, pixels, atom;
  std::vector<float> intensity, stdev;
  std::vector<std::uint8_t> probe_length, match, background;
  std::vector<char> probe;
  for (int i = 0; i < chip.qcUnits.count; ++i) {
    QCUnitClass* q = chip.GetQCUnit(i);
    if (q == nullptr || q->qcCells == nullptr) continue;
    for (int k = 0; k < q->numberOfCells; ++k) {
      const QCCellClass& cc = q->qcCells[k];
      unit.push_back(i);
      type.push_back(q->qcType);
      x.push_back(cc.x);
      y.push_back(cc.y);
      pixels.push_back(cc.pixels);
      atom.push_back(cc.atom);
      intensity.push_back(cc.intensity);
      stdev.push_back(cc.stdev);
      probe_length.push_back(cc.probeLength);
      match.push_back(cc.match);
      background.push_back(cc.background);
      probe.push_back(cc.probe);
    }
  }
  py::dict d;
  d["qc_unit"] = Column(unit);
  d["qc_type"] = Column(type);
  d["x"] = Column(x);
  d["y"] = Column(y);
  d["intensity"] = Column(intensity);
  d["stdev"] = Column(stdev);
  d["pixels"] = Column(pixels);
  d["atom"] = Column(atom);
  d["probe_length"] = Column(probe_length);
  d["match"] = Column(match);
  d["background"] = Column(background);
  d["probe"] = Column(probe);
  return d;
}

py::dict Header(const ChipClass& chip) {
  py::dict h;
  h["cols"] = chip.cols;
  h["rows"] = chip.rows;
  h["number_of_units"] = chip.numberOfUnits;
  h["max_unit"] = chip.maxUnit;
  h["number_of_qc_units"] = chip.numberOfQCUnits;
  h["chip_type"] = Text(chip.chipType.c_str());
  return h;
}

py::dict Result(ChipClass& chip, py::dict header) {
  UnitColumns u;
  CellColumns c;
  Tables(chip, u, c);
  py::dict d;
  d["header"] = header;
  d["units"] = u.Dict();
  d["cells"] = c.Dict();
  d["qc"] = QCTable(chip);
  return d;
}

py::dict ReadCdf(const std::string& path) {
  CheckPathExists(path);
  ChipClass chip;
  chip.layoutFile = path.c_str();
  int rc;
  {
    py::gil_scoped_release unlocked;
    rc = chip.ReadCDF();
  }
  if (rc != 0) throw FileError(std::string(CheckError(rc)) + "(code " + std::to_string(rc) + ")", path);
  py::dict h = Header(chip);
  h["version"] = chip.layoutVersion;
  std::string name = chip.layoutNameLine.c_str();
  if (name.rfind("Name=", 0) == 0) name.erase(0, 5);
  h["name"] = Text(name);
  h["reference"] = Text(chip.layoutReference.c_str());
  return Result(chip, h);
}

py::dict ReadChp(const std::string& path) {
  CheckPathExists(path);
  ChipClass chip;
  int rc;
  {
    py::gil_scoped_release unlocked;
    rc = chip.ReadChip(path.c_str());
  }
  if (rc != 0) throw FileError(std::string(CheckError(rc)) + "(code " + std::to_string(rc) + ")", path);
  py::dict h = Header(chip);
  h["version"] = chip.resultVersion;
  h["algorithm"] = Text(chip.algorithmName.c_str());
  h["algorithm_version"] = Text(chip.algorithmVersion.c_str());
  h["parameters"] = Text(chip.algorithmParameters.c_str());
  h["summary"] = Text(chip.chipSummary.c_str());
  h["algorithm_id"] = Text(chip.algorithmIdentifier.c_str());
  h["cell_file"] = Text(chip.cellFile.c_str());
  return Result(chip, h);
}

}  // namespace

void BindChip(py::module_& m) {
  m.def("_read_cdf", &ReadCdf, py::arg("path"));
  m.def("_read_chp", &ReadChp, py::arg("path"));
}

}  // namespace tesk::python
