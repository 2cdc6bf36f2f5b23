// What the probe-set views share: their references to the readers, the lazy re-reads, the
// Lindor10 binding and the filling of probes from layout cells.
#include <memory>

#include "binding.h"
#include "layout_views.h"
#include "probe.h"
#include "string_table.h"

namespace tarvex {

bool ViewSources::EnsureLayout() const {
  if (!layout || !layoutLoaded) return false;
  if (*layoutLoaded != 1) *layoutLoaded = layout->Read(0);
  return *layoutLoaded == 1;
}

bool ViewSources::EnsureIntensity() const {
  if (!intensity || !intensityLoaded) return false;
  if (*intensityLoaded != 1) *intensityLoaded = intensity->Read(0) != 0 ? 1 : 0;
  return *intensityLoaded == 1;
}

std::unique_ptr<CCDFFileData> NewLayoutReader() {
  using Create = CCDFFileData* (*)();
  static const Create create = [] {
    Create fn = nullptr;
    BindLibrary("liblindor10.so", {{"Lindor10CreateCDFFileData", reinterpret_cast<void**>(&fn)}});
    return fn;
  }();
  if (create == nullptr) return nullptr;
  std::unique_ptr<CCDFFileData> reader(create());
  if (!reader) throw std::bad_alloc();
  return reader;
}

std::unique_ptr<CCELFileData> NewIntensityReader() {
  using Create = CCELFileData* (*)();
  static const Create create = [] {
    Create fn = nullptr;
    BindLibrary("libparvel80.so", {{"Parvel80CreateCELFileData", reinterpret_cast<void**>(&fn)}});
    return fn;
  }();
  if (create == nullptr) return nullptr;
  std::unique_ptr<CCELFileData> reader(create());
  if (!reader) throw std::bad_alloc();
  return reader;
}

std::vector<int> ChooseQCUnits(const CCDFFileData& layout, LONG filterQC) {
  std::vector<int> chosen;
  const int units = layout.GetNumQCUnits();
  for (int q = 0; q < units; ++q) {
    CCDFQCUnitInformation info;
    layout.GetQCUnitInformation(q, info);
    const int t = info.GetQCType();
    if (filterQC == ALL_QC_TYPE || (t >= 1 && t <= 16 && (filterQC >> (t - 1) & 1) != 0)) chosen.push_back(q);
  }
  return chosen;
}

HRESULT FillQCProbe(const Member& m, const ViewSources& src, int qc, LONG cell, CTeskProbe& probe) {
  CTeskProbe* p = &probe;
  CCDFQCUnitInformation unit;
  if (src.layout->GetQCUnitInformation(qc, unit) == 0 || cell < 0 || cell >= unit.GetNumCells())
    return m.Fail(IDS_INDEX_OUT_OF_RANGE);
  CCDFQCCellInformation info;
  unit.GetCell(cell, info);
  p->x = static_cast<std::int16_t>(info.GetX());
  p->y = static_cast<std::int16_t>(info.GetY());
  if (src.intensityLoaded && src.EnsureIntensity()) {
    const long long index = static_cast<long long>(info.GetY()) * src.layout->GetCols() + info.GetX();
    p->Fill(src.intensity, static_cast<int>(index), info.GetX(), info.GetY());
  }
  p->probeType = QC_PROBE_TYPE;
  // Results give the cell's background: by position in their binary form, else by QC type and
  // cell number.
  if (const auto& results = src.results) {
    float background = 0.0f;
    if (results->IsXDACompatibleFile() != 0) {
      results->GetBackgroundForXDA(info.GetX(), info.GetY(), background);
    } else {
      QCCellInfo qcCell;
      if (results->GetQCCellInfo(unit.GetQCType(), cell, qcCell)) background = qcCell.background;
    }
    p->background = background;
  }
  return S_OK;
}

void FillBlockProbe(const ViewSources& src, const CCDFUnitBlockCellInformation& cell, CTeskProbe& probe) {
  probe.Reset();
  probe.x = static_cast<std::int16_t>(cell.GetX());
  probe.y = static_cast<std::int16_t>(cell.GetY());
  if (src.intensity && src.EnsureIntensity()) {
    const long long index = static_cast<long long>(cell.GetY()) * src.layout->GetCols() + cell.GetX();
    probe.Fill(src.intensity, static_cast<int>(index), cell.GetX(), cell.GetY());
  }
  probe.probeType = REGULAR_PROBE_TYPE;
  const unsigned short bases = cell.GetBases();
  probe.probeBase = static_cast<char>(bases & 0xFF);
  probe.targetBase = static_cast<char>(bases >> 8);
}

}  // namespace tarvex
