// The loaded results behind one CCHPFileData, shared by its header and result views.
#ifndef TESK_OUTSIDE_PENDRIX81_SRC_RESULTS_DATA_H_
#define TESK_OUTSIDE_PENDRIX81_SRC_RESULTS_DATA_H_

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tesk/pendrix71.h"
#include "tesk/pendrix81.h"

namespace pendrix81 {

// name=value items in file order.
using Items = std::vector<std::pair<std::string, std::string>>;

// Splits a parameter text at blanks, tabs, line breaks and semicolons; items without "=" are
// dropped.
Items SplitItems(std::string_view text);

inline const char* Text(const String& s) { return s.text ? s.text : ""; }

}  // namespace pendrix81

struct Pendrix81Data {
  std::unique_ptr<ChipClass> chip;  // null when nothing is loaded
  bool results = false;             // the unit records were read (Read, not ReadHeader)
  pendrix81::Items parameters, summary;
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

  // What the header and records give beyond the chip model itself: parameter items, assay,
  // analysis kind and composite scores.
  void Derive();
};

#endif  // TESK_OUTSIDE_PENDRIX81_SRC_RESULTS_DATA_H_
