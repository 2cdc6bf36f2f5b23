// Analysis results for the sample array: what an expression, resequencing and genotyping
// analysis would leave in a chip read from the sample layout, so that `tesk sample` and the
// result file benchmark write the same kind of file. Deterministic: every value derives from
// the cells' intensities or from the sample seed.
#ifndef TESK_TOOLS_TESK_CHP_SAMPLE_H_
#define TESK_TOOLS_TESK_CHP_SAMPLE_H_

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <tesk/pendrix71.h>

#include "sample_names.h"

namespace tesk::sample::result {

inline constexpr char kAlgorithm[] = "TeskSignal";
inline constexpr char kAlgorithmVersion[] = "1.2";
inline constexpr char kParameters[] =
    "TrimLow=0.02;TrimHigh=0.02;Target=500;Scale=1.0";
inline constexpr char kIdentifier[] = "tesk-sample-analysis";

inline std::uint32_t Mix(std::uint32_t a, std::uint32_t b) {
  std::uint32_t h = a * 0x9E3779B1u ^ (b + kSeed) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 13;
  return h;
}

// Expression: pair differences, a signal from the positive ones, a detection p-value from the
// share of pairs whose perfect match is brighter, and the call from that p-value.
inline void ExpressionResults(GeneExpressionUnitClass& u, float scale) {
  int positive = 0;
  double sum = 0.0;
  for (int k = 0; k < u.numberOfAtoms; ++k) {
    GeneExpressionAtomClass& pair = u.atoms[k];
    pair.pairValue = pair.cells[0].intensity - pair.cells[1].intensity;
    pair.pairCode = pair.pairValue > 0 ? 1 : 0;
    if (pair.pairValue > 0) {
      ++positive;
      sum += pair.pairValue;
    }
  }
  const int n = u.numberOfAtoms;
  u.pairsUsed = n;
  u.pairsInAverage = n;
  u.stat1 = positive;
  u.stat2 = n - positive;
  const float share = n > 0 ? static_cast<float>(positive) / static_cast<float>(n) : 0.0f;
  u.value1 = positive > 0 ? static_cast<float>(sum / positive) * scale : 0.0f;
  u.value2 = share;
  u.value3 = std::pow(1.0f - share, 3.0f) * 0.5f;  // detection p-value
  u.callCode = u.value3 < 0.04f ? 1 : (u.value3 < 0.06f ? 2 : 3);  // present, marginal, absent
}

// Resequencing and genotyping: the base whose probe is brightest is called, "n" when the atom
// shows too little contrast.
inline void CallBases(UnitClass& u) {
  std::string called(static_cast<std::size_t>(u.numberOfAtoms), ' ');
  for (int k = 0; k < u.numberOfAtoms; ++k) {
    AtomClass& atom = u.atoms[k];
    if (atom.numberOfCells < 4) continue;
    const char probe = atom.cells[atom.cellOrder[0]].probeBase;
    const char base = probe == 'a' ? 't' : probe == 't' ? 'a' : probe == 'c' ? 'g' : probe == 'g' ? 'c' : 'n';
    called[static_cast<std::size_t>(k)] = atom.DetermineMaxRatio() >= 1.2f ? base : 'n';
  }
  u.calledSequence = called.c_str();
}

inline void GenotypeResults(BlockUnitClass& u, std::uint32_t seed) {
  float best = 0.0f;
  int bestBlock = -1;
  for (int b = 0; b < u.blocks.count; ++b) {
    auto* block = dynamic_cast<BlockUnitBlockInfoClass*>(static_cast<UnitBlockInfoClass*>(u.blocks.data[b]));
    if (block == nullptr) continue;
    float contrast = 0.0f;
    for (int k = block->firstAtom; k < block->firstAtom + block->numberOfAtoms && k < u.numberOfAtoms; ++k)
      contrast += u.atoms[k].DetermineMaxRatio();
    const float confidence = 1.0f - 1.0f / (1.0f + contrast);
    block->SetConfidence(BLOCK_CONFIDENCE_0, confidence);
    block->SetConfidence(BLOCK_CONFIDENCE_1, confidence * 0.9f);
    block->SetConfidence(BLOCK_CONFIDENCE_2, confidence * 0.8f);
    block->call = confidence > 0.6f ? 6 + static_cast<int>(Mix(seed, static_cast<std::uint32_t>(b)) % 3) : 3;
    if (confidence > best) {
      best = confidence;
      bestBlock = b;
    }
  }
  u.resultPresent = 1;
  u.genotypeIndex = bestBlock;
  const char* alleles[] = {"A", "C", "G", "T"};
  u.alleleA = alleles[Mix(seed, 7) & 3];
  u.alleleB = alleles[(Mix(seed, 7) + 1 + Mix(seed, 8) % 3) & 3];
  u.genotypeCall = static_cast<std::uint8_t>(6 + Mix(seed, 9) % 3);  // AA, BB or AB
  std::string name = u.genotypeCall == 6 ? std::string(u.alleleA.c_str()) + u.alleleA.c_str()
                   : u.genotypeCall == 7 ? std::string(u.alleleB.c_str()) + u.alleleB.c_str()
                                         : std::string(u.alleleA.c_str()) + u.alleleB.c_str();
  u.genotypeName = name.c_str();
  u.blocksUsed = u.blocks.count;
  u.blocksCalled = bestBlock >= 0 ? 1 : 0;
  u.callMethod = 1;
  const float values[5] = {best, 0.5f + best / 2, 0.5f - best / 4, (1.0f - best) / 10, (1.0f - best) / 5};
  for (int i = 0; i < 5; ++i) u.resultValues[i] = std::bit_cast<std::uint32_t>(values[i]);
}

// Fills a chip read from the sample layout (with or without intensities) with results.
inline void FillResults(ChipClass& chip) {
  chip.algorithmName = kAlgorithm;
  chip.algorithmVersion = kAlgorithmVersion;
  chip.algorithmParameters = kParameters;
  chip.algorithmIdentifier = kIdentifier;
  const float scale = 1.62f;
  std::string composite, calls;
  std::vector<short> positions;
  for (int i = 0; i < chip.units.count && i < chip.unitTypes.count; ++i) {
    AllUnitTypes* holder = chip.GetUnit(i);
    const int type = chip.unitTypes.data[i];
    if (holder == nullptr) continue;
    if (type == TILING_EXPRESSION) {
      ExpressionResults(*holder->geneExpression, scale);
    } else if (UnitClass* unit = TilingUnitOf(holder, type)) {
      CallBases(*unit);
      if (type == TILING_GENOTYPING) GenotypeResults(*holder->block, static_cast<std::uint32_t>(i));
      if (type == TILING_RESEQUENCING) {
        composite += unit->wildTypeSequence.c_str();
        calls += unit->calledSequence.c_str();
        positions.insert(positions.end(), std::string(unit->wildTypeSequence.c_str()).size(),
                         static_cast<short>(chip.unitNumbers.data[i]));
      }
    }
  }
  chip.chipSummary = ("Background=45.30;Noise=1.90;ScaleFactor=" +
                      std::to_string(scale).substr(0, 4)).c_str();
  if (!composite.empty()) {
    chip.composite.SetSequence(composite.c_str());
    for (std::size_t p = 0; p < calls.size() && p < composite.size(); ++p) {
      chip.composite.calls.data[p] = calls[p];
      chip.composite.positionUnits.data[p] = positions[p];
      // Percent composition of the four bases at the position.
      const std::uint32_t h = Mix(static_cast<std::uint32_t>(p), 11);
      const int main = 70 + static_cast<int>(h % 30);
      chip.composite.SetPercentComposition(static_cast<int>(p), 0, static_cast<signed char>(main));
      chip.composite.SetPercentComposition(static_cast<int>(p), 1, static_cast<signed char>((100 - main) / 2));
      chip.composite.SetPercentComposition(static_cast<int>(p), 2, static_cast<signed char>((100 - main) / 4));
      chip.composite.SetPercentComposition(static_cast<int>(p), 3,
                                           static_cast<signed char>(100 - main - (100 - main) / 2 - (100 - main) / 4));
    }
    chip.composite.extraText1 = "composite of the resequencing units";
  }
  chip.numberOfQCUnits = chip.qcUnits.count;
}

}  // namespace tesk::sample::result

#endif  // TESK_TOOLS_TESK_CHP_SAMPLE_H_
