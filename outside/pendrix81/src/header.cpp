// CCHPFileHeader: the header values and parameter items of the loaded results.
#include <algorithm>
#include <cstddef>

#include "results_data.h"

using pendrix81::Items;
using pendrix81::Text;

namespace {

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

}  // namespace

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
