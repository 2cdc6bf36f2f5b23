// The result views: expression records field by field, genotyping records, the composite.
#include <bit>

#include "results_data.h"

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
