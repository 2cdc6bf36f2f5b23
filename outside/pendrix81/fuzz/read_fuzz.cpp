// Read and ReadHeader over arbitrary bytes, then every answer a caller may ask for.
#include <cstdint>

#include "tesk/pendrix81.h"
#include "tesk/testing/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::testing::FuzzInputFile file(data, size);
  if (file.path().empty()) return 0;
  CCHPFileData chp;
  chp.SetFileName(file.path().c_str());
  chp.ReadHeader(0);
  if (!chp.Read(0)) return 0;
  const CCHPFileHeader& h = chp.GetHeader();
  std::uint64_t sum = static_cast<std::uint64_t>(h.GetAssayType());
  for (int i = 0; i < h.GetNumAlgorithmParameters(); ++i) sum += h.GetAlgorithmParameterValue(i)[0];
  for (int i = 0; i < h.GetNumSummaryParameters(); ++i) sum += h.GetSummaryParameterName(i)[0];
  sum += h.GetAlgorithmParameter("SF")[0];
  for (int i = -1; i <= h.GetNumProbeSets(); ++i) {
    CCompStatProbeSetResult stat;
    CCompEmpProbeSetResult emp;
    CGenotypingProbeSetResult geno;
    float bg = 0;
    sum += chp.GetExpressionResults().GetCompStatProbeSetResult(i, stat) + stat.NumPairs;
    sum += chp.GetExpressionResults().GetCompEmpProbeSetResult(i, emp) + emp.Positive;
    sum += chp.GetGenotypingResults().GetResult(i, geno) + geno.Call;
    for (int p = -1; p <= stat.NumPairs; ++p) sum += chp.GetBackgroundForNonXDA(i, p, bg);
  }
  CResequencingResult seq;
  if (chp.GetResequencingResults().GetResult(seq)) {
    for (int p = 0; p < seq.NumBases; ++p) {
      sum += static_cast<std::uint64_t>(seq.CalledBases[p] + seq.PositionUnits[p] + seq.Scores[p]);
    }
  }
  for (int type = 0; type <= 18; ++type) {
    QCCellInfo cell;
    for (int k = -1; k < 4; ++k) sum += chp.GetQCCellInfo(type, k, cell) + cell.pixels;
  }
  float bg = 0;
  sum += chp.GetBackgroundForXDA(1, 1, bg);
  tesk::testing::Consume(sum);
  return 0;
}
