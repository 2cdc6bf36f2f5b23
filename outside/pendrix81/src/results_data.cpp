// Parameter items, assay, analysis kind and composite scores of loaded results.
#include <algorithm>
#include <cstddef>

#include "results_data.h"

namespace pendrix81 {

namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';';
}

}  // namespace

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

}  // namespace pendrix81

namespace {

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

void Pendrix81Data::Derive() {
  using pendrix81::Text;
  parameters = pendrix81::SplitItems(Text(chip->algorithmParameters));
  summary = pendrix81::SplitItems(Text(chip->chipSummary));
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
