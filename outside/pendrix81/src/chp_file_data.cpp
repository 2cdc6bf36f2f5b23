// CCHPFileData over Pendrix71's chip model: one ChipClass per loaded results file, asked on
// demand; only the parameter items and the composite scores are derived at read time.
#include <bit>
#include <new>
#include <string>

#include "results_data.h"
#include "tesk/internal/file.h"

struct CCHPFileData::Parts {
  explicit Parts(const Pendrix81Data* d) : header(d), expression(d), genotyping(d), resequencing(d) {}
  std::string path;
  std::string error;
  CCHPFileHeader header;
  CExpressionResults expression;
  CGenotypingResults genotyping;
  CResequencingResults resequencing;
};

CCHPFileData::CCHPFileData()
    : data_(std::make_unique<Pendrix81Data>()), parts_(std::make_unique<Parts>(data_.get())) {}

CCHPFileData::~CCHPFileData() = default;

void CCHPFileData::SetFileName(const char* path) {
  try {
    parts_->path = path == nullptr ? "" : path;
  } catch (const std::bad_alloc&) {
    parts_->path.clear();
  }
}

const char* CCHPFileData::GetFileName() const { return parts_->path.c_str(); }

int CCHPFileData::Exists() const {
  return tesk::internal::Exists(parts_->path) ? 1 : 0;
}

namespace {

int Load(const std::string& path, bool headerOnly, Pendrix81Data& data, std::string& error) {
  try {
    error.clear();
    Pendrix81Data fresh;
    fresh.chip = std::make_unique<ChipClass>();
    const int code = headerOnly ? fresh.chip->ReadChipHeaderOnly(path.c_str())
                                : fresh.chip->ReadChip(path.c_str());
    if (code != CHIP_SUCCESS) {
      error = CheckError(code);
      return 0;
    }
    fresh.results = !headerOnly;
    fresh.Derive();
    data = std::move(fresh);
    return 1;
  } catch (const std::bad_alloc&) {
    error = CheckError(CHIP_INSUFFICIENT_MEMORY);
    return 0;
  }
}

}  // namespace

int CCHPFileData::Read(int) { return Load(parts_->path, false, *data_, parts_->error); }
int CCHPFileData::ReadHeader(int) { return Load(parts_->path, true, *data_, parts_->error); }
void CCHPFileData::Close() { *data_ = Pendrix81Data(); }
const char* CCHPFileData::GetError() const { return parts_->error.c_str(); }
int CCHPFileData::IsXDACompatibleFile() const { return 0; }

const CCHPFileHeader& CCHPFileData::GetHeader() const { return parts_->header; }
const CExpressionResults& CCHPFileData::GetExpressionResults() const { return parts_->expression; }
const CGenotypingResults& CCHPFileData::GetGenotypingResults() const { return parts_->genotyping; }

const CResequencingResults& CCHPFileData::GetResequencingResults() const {
  return parts_->resequencing;
}

namespace {

void FillQCCell(const QCCellClass& c, QCCellInfo& out) {
  out.x = c.x;
  out.y = c.y;
  out.intensity = c.intensity;
  out.stdev = c.stdev;
  out.pixels = c.pixels;
  out.background = std::bit_cast<float>(c.qcValue);
}

}  // namespace

int CCHPFileData::GetQCCellInfo(VarolithQCUnitType type, int index, QCCellInfo& cell) const {
  cell = QCCellInfo();
  const int n = data_->chip && data_->results ? data_->chip->qcUnits.count : 0;
  for (int q = 0; q < n; ++q) {
    const QCUnitClass* u = data_->QC(q);
    if (u == nullptr || u->qcType != type) continue;
    if (index < 0 || index >= u->numberOfCells) return 0;
    FillQCCell(u->qcCells[index], cell);
    return 1;
  }
  return 0;
}

int CCHPFileData::GetBackgroundForXDA(int x, int y, float& background) const {
  background = 0.0f;
  const Pendrix81Data& d = *data_;
  for (int i = 0; i < d.UnitCount(); ++i) {
    const GeneExpressionUnitClass* u = d.Expression(i);
    if (u == nullptr || u->atoms == nullptr) continue;
    for (int p = 0; p < u->numberOfAtoms; ++p) {
      for (const CellClass& c : u->atoms[p].cells) {
        if (c.x == x && c.y == y) {
          background = u->atoms[p].pairValue;
          return 1;
        }
      }
    }
  }
  const int n = d.chip && d.results ? d.chip->qcUnits.count : 0;
  for (int q = 0; q < n; ++q) {
    const QCUnitClass* u = d.QC(q);
    if (u == nullptr) continue;
    for (int k = 0; k < u->numberOfCells; ++k) {
      if (u->qcCells[k].x == x && u->qcCells[k].y == y) {
        background = std::bit_cast<float>(u->qcCells[k].qcValue);
        return 1;
      }
    }
  }
  return 0;
}

int CCHPFileData::GetBackgroundForNonXDA(int unit, int pair, float& background) const {
  background = 0.0f;
  const GeneExpressionUnitClass* u = data_->Expression(unit);
  if (u == nullptr || u->atoms == nullptr || pair < 0 || pair >= u->numberOfAtoms) return 0;
  background = u->atoms[pair].pairValue;
  return 1;
}

extern "C" CCHPFileData* Pendrix81CreateCHPFileData() {
  try {
    return new CCHPFileData();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
