// CCHPFileData over Pendrix71's chip model: one ChipClass per loaded results file, asked on
// demand; only the parameter items and the composite scores are derived at read time.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tesk/internal/file.h"
#include "tesk/pendrix71.h"
#include "tesk/pendrix81.h"

namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

const char* Text(const String& s) { return s.text ? s.text : ""; }

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';';
}

Items SplitItems(std::string_view text) {
  Items items;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    std::size_t end = i;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    const std::string_view item = text.substr(i, end - i);
    const std::size_t eq = item.find('=');
    if (eq != std::string_view::npos) {
      items.emplace_back(std::string(item.substr(0, eq)), std::string(item.substr(eq + 1)));
    }
    i = end;
  }
  return items;
}

const char* ItemName(const Items& items, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < items.size() ? items[i].first.c_str() : "";
}

const char* ItemValue(const Items& items, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < items.size() ? items[i].second.c_str() : "";
}

const char* ItemNamed(const Items& items, const char* name) {
  if (name == nullptr) return "";
  for (const auto& [n, v] : items) {
    if (n == name) return v.c_str();
  }
  return "";
}

VarolithAssayType AssayOf(int type) {
  switch (type) {
    case TILING_EXPRESSION:
      return ExpressionAssayType;
    case TILING_GENOTYPING:
      return GenotypingAssayType;
    case TILING_RESEQUENCING:
    case TILING_STANDARD_5:
    case TILING_STANDARD_6:
      return ResequencingAssayType;
    default:
      return UnknownAssayType;
  }
}

}  // namespace

struct Pendrix81Data {
  std::unique_ptr<ChipClass> chip;  // null when nothing is loaded
  bool results = false;             // the unit records were read (Read, not ReadHeader)
  Items parameters, summary;
  VarolithAssayType assay = UnknownAssayType;
  VarolithExpressionKind kind = AbsoluteEmpiricalKind;
  std::vector<float> scores;  // one per composite position

  int UnitCount() const {
    if (!chip || !results) return 0;
    return std::max(0, std::min(chip->units.count, chip->unitTypes.count));
  }

  const GeneExpressionUnitClass* Expression(int i) const {
    if (i < 0 || i >= UnitCount() || chip->unitTypes.data[i] != TILING_EXPRESSION) return nullptr;
    const AllUnitTypes* holder = chip->GetUnit(i);
    return holder ? holder->geneExpression : nullptr;
  }

  const BlockUnitClass* Genotyping(int i) const {
    if (i < 0 || i >= UnitCount() || chip->unitTypes.data[i] != TILING_GENOTYPING) return nullptr;
    const AllUnitTypes* holder = chip->GetUnit(i);
    return holder ? holder->block : nullptr;
  }

  const QCUnitClass* QC(int i) const {
    if (!chip || !results || i < 0 || i >= chip->qcUnits.count) return nullptr;
    const QCUnitClass* q = chip->GetQCUnit(i);
    return q && q->qcCells ? q : nullptr;
  }

  // What the header and records give beyond the chip model itself.
  void Derive() {
    parameters = SplitItems(Text(chip->algorithmParameters));
    summary = SplitItems(Text(chip->chipSummary));
    assay = chip->unitTypes.count > 0 && chip->numberOfUnits > 0 ? AssayOf(chip->unitTypes.data[0])
                                                                 : UnknownAssayType;
    const bool statistical = chip->resultVersion >= 13 || Text(chip->algorithmVersion)[0] != '\0';
    bool comparison = false;
    for (int i = 0; i < UnitCount(); ++i) {
      if (const GeneExpressionUnitClass* u = Expression(i)) {
        comparison = u->comparisonPresent != 0;
        break;
      }
    }
    kind = statistical ? (comparison ? ComparisonStatisticalKind : AbsoluteStatisticalKind)
                       : (comparison ? ComparisonEmpiricalKind : AbsoluteEmpiricalKind);
    scores.clear();
    const ChipComposite& c = chip->composite;
    if (results && c.sequence.count > 0) {
      scores.resize(static_cast<std::size_t>(c.sequence.count));
      for (int p = 0; p < c.sequence.count; ++p) {
        int best = 0;
        for (int k = 0; k < 4; ++k) best = std::max(best, int{c.GetPercentComposition(p, k)});
        scores[static_cast<std::size_t>(p)] = static_cast<float>(best);
      }
    }
  }
};

struct CCHPFileData::Parts {
  explicit Parts(const Pendrix81Data* d) : header(d), expression(d), genotyping(d), resequencing(d) {}
  std::string path;
  std::string error;
  CCHPFileHeader header;
  CExpressionResults expression;
  CGenotypingResults genotyping;
  CResequencingResults resequencing;
};

// ---------------------------------------------------------------------------------------------
// Header

int CCHPFileHeader::GetVersion() const { return data_->chip ? data_->chip->resultVersion : 0; }
int CCHPFileHeader::GetCols() const { return data_->chip ? data_->chip->cols : 0; }
int CCHPFileHeader::GetRows() const { return data_->chip ? data_->chip->rows : 0; }

int CCHPFileHeader::GetNumProbeSets() const {
  return data_->chip ? std::max(0, data_->chip->numberOfUnits) : 0;
}

int CCHPFileHeader::GetNumQCProbeSets() const {
  return data_->chip ? std::max(0, data_->chip->numberOfQCUnits) : 0;
}

VarolithAssayType CCHPFileHeader::GetAssayType() const {
  return data_->chip ? data_->assay : UnknownAssayType;
}

const char* CCHPFileHeader::GetChipType() const {
  return data_->chip ? Text(data_->chip->chipType) : "";
}

const char* CCHPFileHeader::GetAlgorithmName() const {
  return data_->chip ? Text(data_->chip->algorithmName) : "";
}

const char* CCHPFileHeader::GetAlgorithmVersion() const {
  return data_->chip ? Text(data_->chip->algorithmVersion) : "";
}

const char* CCHPFileHeader::GetCellFile() const {
  return data_->chip ? Text(data_->chip->cellFile) : "";
}

const char* CCHPFileHeader::GetAlgorithmIdentifier() const {
  return data_->chip ? Text(data_->chip->algorithmIdentifier) : "";
}

const char* CCHPFileHeader::GetAlgorithmParameters() const {
  return data_->chip ? Text(data_->chip->algorithmParameters) : "";
}

int CCHPFileHeader::GetNumAlgorithmParameters() const {
  return static_cast<int>(data_->parameters.size());
}

const char* CCHPFileHeader::GetAlgorithmParameterName(int i) const {
  return ItemName(data_->parameters, i);
}

const char* CCHPFileHeader::GetAlgorithmParameterValue(int i) const {
  return ItemValue(data_->parameters, i);
}

const char* CCHPFileHeader::GetAlgorithmParameter(const char* name) const {
  return ItemNamed(data_->parameters, name);
}

const char* CCHPFileHeader::GetSummaryParameters() const {
  return data_->chip ? Text(data_->chip->chipSummary) : "";
}

int CCHPFileHeader::GetNumSummaryParameters() const {
  return static_cast<int>(data_->summary.size());
}

const char* CCHPFileHeader::GetSummaryParameterName(int i) const {
  return ItemName(data_->summary, i);
}

const char* CCHPFileHeader::GetSummaryParameterValue(int i) const {
  return ItemValue(data_->summary, i);
}

const char* CCHPFileHeader::GetSummaryParameter(const char* name) const {
  return ItemNamed(data_->summary, name);
}

// ---------------------------------------------------------------------------------------------
// Expression results

VarolithExpressionKind CExpressionResults::GetAnalysisKind() const { return data_->kind; }

namespace {

void FillAbsStat(const GeneExpressionUnitClass& u, CAbsStatProbeSetResult& out) {
  out.Signal = u.value1;
  out.DetectionPValue = u.value3;
  out.NumPairs = static_cast<unsigned short>(u.numberOfAtoms);
  out.NumPairsUsed = static_cast<unsigned short>(u.pairsUsed);
  out.Detection = static_cast<unsigned char>(u.callCode);
}

void FillAbsEmp(const GeneExpressionUnitClass& u, CAbsEmpProbeSetResult& out) {
  out.AverageDifference = u.value1;
  out.LogAverage = u.value2;
  out.PosNegRatio = u.value3;
  out.Positive = static_cast<unsigned short>(u.stat1);
  out.Negative = static_cast<unsigned short>(u.stat2);
  out.PositiveFraction = static_cast<float>(u.stat3) / 1000.0f;
  out.NumPairs = static_cast<unsigned short>(u.numberOfAtoms);
  out.NumPairsUsed = static_cast<unsigned short>(u.pairsUsed);
  out.NumPairsUsedInAvgDiff = static_cast<unsigned short>(u.pairsInAverage);
  out.AbsoluteCall = static_cast<unsigned char>(u.callCode);
}

}  // namespace

int CExpressionResults::GetAbsStatProbeSetResult(int index, CAbsStatProbeSetResult& out) const {
  out = CAbsStatProbeSetResult();
  const GeneExpressionUnitClass* u = data_->Expression(index);
  if (u == nullptr) return 0;
  FillAbsStat(*u, out);
  return 1;
}

int CExpressionResults::GetCompStatProbeSetResult(int index, CCompStatProbeSetResult& out) const {
  out = CCompStatProbeSetResult();
  const GeneExpressionUnitClass* u = data_->Expression(index);
  if (u == nullptr) return 0;
  FillAbsStat(*u, out);
  if (!u->comparisonPresent) return 0;
  const CComparisonData& c = u->comparison;
  out.CommonPairs = static_cast<unsigned short>(c.c0);
  out.Change = c.b0;
  out.SignalLogRatio = c.c6;
  out.SignalLogRatioLow = c.c7;
  out.SignalLogRatioHigh = c.c10;
  out.ChangePValue = c.c13;
  return 1;
}

int CExpressionResults::GetAbsEmpProbeSetResult(int index, CAbsEmpProbeSetResult& out) const {
  out = CAbsEmpProbeSetResult();
  const GeneExpressionUnitClass* u = data_->Expression(index);
  if (u == nullptr) return 0;
  FillAbsEmp(*u, out);
  return 1;
}

int CExpressionResults::GetCompEmpProbeSetResult(int index, CCompEmpProbeSetResult& out) const {
  out = CCompEmpProbeSetResult();
  const GeneExpressionUnitClass* u = data_->Expression(index);
  if (u == nullptr) return 0;
  FillAbsEmp(*u, out);
  if (!u->comparisonPresent) return 0;
  const CComparisonData& c = u->comparison;
  out.Increase = static_cast<unsigned short>(c.c0);
  out.Decrease = static_cast<unsigned short>(c.c1);
  out.IncreaseRatio = c.c2;
  out.DecreaseRatio = c.c3;
  out.PositiveChange = static_cast<short>(c.c4);
  out.NegativeChange = static_cast<short>(c.c5);
  out.IncDecRatio = c.c6;
  out.DPosDNegDiffRatio = c.c7;
  out.LogAvgRatioChange = c.c8;
  out.AvgDiffChange = c.c10;
  out.FoldChange = c.c11;
  out.SortScore = c.c12;
  out.DifferenceCall = c.b0;
  out.BaselineIsAbsent = c.b1;
  return 1;
}

// ---------------------------------------------------------------------------------------------
// Genotyping and resequencing results

int CGenotypingResults::GetResult(int index, CGenotypingProbeSetResult& out) const {
  out = CGenotypingProbeSetResult();
  const BlockUnitClass* u = data_->Genotyping(index);
  if (u == nullptr || u->resultPresent != 1) return 0;
  out.Call = u->genotypeCall;
  out.Confidence = std::bit_cast<float>(u->resultValues[0]);
  out.RAS1 = std::bit_cast<float>(u->resultValues[1]);
  out.RAS2 = std::bit_cast<float>(u->resultValues[2]);
  out.BBPValue = std::bit_cast<float>(u->resultValues[3]);
  out.NoCallPValue = std::bit_cast<float>(u->resultValues[4]);
  return 1;
}

int CResequencingResults::GetResult(CResequencingResult& out) const {
  out = CResequencingResult();
  if (!data_->chip || !data_->results) return 0;
  const ChipComposite& c = data_->chip->composite;
  const int n = c.sequence.count;
  // Every table of the record must cover every position.
  if (n <= 0 || c.calls.count < n || c.secondCalls.count < n || c.positionUnits.count < n ||
      data_->scores.size() != static_cast<std::size_t>(n)) {
    return 0;
  }
  out.NumBases = n;
  out.ReferenceBases = c.sequence.data;
  out.CalledBases = c.calls.data;
  out.SecondCalls = c.secondCalls.data;
  out.PositionUnits = c.positionUnits.data;
  out.Scores = data_->scores.data();
  return 1;
}

// ---------------------------------------------------------------------------------------------
// The file

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
