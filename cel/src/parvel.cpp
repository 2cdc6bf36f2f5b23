// ParvelClass: state, getters, cells and sub-grids. Public entry points catch allocation
// failures so that no exception leaves the library; they report 0 (or null) instead.
#include <cstring>
#include <utility>

#include <tesk/internal/file.h>
#include <tesk/internal/guard.h>

#include "parvel_impl.h"

void ParvelClass::Impl::CountFlags() {
  std::uint32_t masked = 0, outliers = 0;
  const std::size_t n = cells.size();
  for (std::size_t i = 0; i < n; ++i) {
    masked += cells[i].MASKED != 0;
    outliers += cells[i].OUTLIER != 0;
  }
  n_masked = masked;
  n_outliers = outliers;
}

namespace {

const char* Text(const char* s) { return s == nullptr ? "" : s; }

bool SameSubGrid(const SUBGRID& a, const SUBGRID& b) {
  return a.ROW == b.ROW && a.COL == b.COL && a.ULPX == b.ULPX && a.ULPY == b.ULPY &&
         a.URPX == b.URPX && a.URPY == b.URPY && a.LLPX == b.LLPX && a.LLPY == b.LLPY &&
         a.LRPX == b.LRPX && a.LRPY == b.LRPY && a.LEFTC == b.LEFTC && a.TOPC == b.TOPC &&
         a.RIGHTC == b.RIGHTC && a.BOTTOMC == b.BOTTOMC;
}

// No exception leaves the library: entry points answer 0 instead.
template <class F>
int Guard(F&& f) {
  return tesk::internal::Guard(std::forward<F>(f), 0);
}

}  // namespace

ParvelClass::ParvelClass(HWND owner) : impl_(std::make_unique<Impl>()) { impl_->owner = owner; }

ParvelClass::~ParvelClass() = default;

void ParvelClass::SetName(const char* path) {
  Guard([&] {
    impl_->name = Text(path);
    return 1;
  });
}

int ParvelClass::Exists() {
  return tesk::internal::Exists(impl_->name) ? 1 : 0;
}

int ParvelClass::Read() {
  return Guard([&] { return parvel::ReadFile(*impl_, false); });
}

int ParvelClass::ReadHeader() {
  return Guard([&] { return parvel::ReadFile(*impl_, true); });
}

int ParvelClass::ReadMemory(const void* data, std::size_t size, int header_only) {
  if (data == nullptr && size > 0) return 0;
  const auto* bytes = static_cast<const unsigned char*>(data);
  return Guard([&] { return parvel::ReadBytes(*impl_, parvel::Bytes(bytes, size), header_only != 0); });
}

int ParvelClass::Write() {
  return Guard([&] { return parvel::WriteBinary(*impl_); });
}

int ParvelClass::WriteVersionFile(int version) {
  impl_->version = version;
  return Guard([&] {
    switch (version) {
      case 2:
        return parvel::WriteText2(*impl_);
      case 3:
        return parvel::WriteText3(*impl_);
      case 4:
        return parvel::WriteBinary(*impl_);
      default:
        return 0;
    }
  });
}

int ParvelClass::GetFileVersion() { return impl_->version; }

int ParvelClass::SetFileVersion(int version) {
  impl_->version = version;
  return 1;
}

void ParvelClass::SetHeader(const char* header) {
  Guard([&] {
    parvel::ApplyHeader(*impl_, Text(header));
    return 1;
  });
}

int ParvelClass::SetAlgorithm(const char* algorithm) {
  return Guard([&] {
    impl_->algorithm = Text(algorithm);
    return 1;
  });
}

const char* ParvelClass::GetAlgorithm() { return impl_->algorithm.c_str(); }
const char* ParvelClass::GetAlgParams() { return impl_->params.c_str(); }
const char* ParvelClass::GetChipType() { return impl_->chip_type.c_str(); }
int ParvelClass::GetCellMargin() { return impl_->cell_margin; }
int ParvelClass::GetNOutliers() { return static_cast<int>(impl_->n_outliers); }
int ParvelClass::GetNMasked() { return static_cast<int>(impl_->n_masked); }
int ParvelClass::GetNSubGrids() const { return static_cast<int>(impl_->subgrids.size()); }

unsigned long ParvelClass::DetermineSize() {
  // Header, caption line "X\tY\tMEAN\tSTDV\tNPIXELS\n" (22), two counts and 16 bytes a cell.
  const std::size_t cells = impl_->cells.empty() ? impl_->announced_cells : impl_->cells.size();
  return 4 + (impl_->header.size() + 22) + 4 + 16 * cells;
}

void ParvelClass::AddCellData(CellEntryClass* entry) {
  if (entry == nullptr) return;
  Guard([&] {
    impl_->cells.push_back(*entry);
    impl_->index.Appended(impl_->cells, impl_->cells.size() - 1);
    return 1;
  });
}

CellEntryClass* ParvelClass::GetCellEntry(int x, int y) {
  std::int64_t i = -1;
  Guard([&] {
    i = impl_->index.Find(impl_->cells, x, y, impl_->cols);
    return 1;
  });
  return i < 0 ? nullptr : &impl_->cells[static_cast<std::size_t>(i)];
}

int ParvelClass::AddSubGrid(SUBGRID* subgrid) {
  if (subgrid == nullptr) return 1;
  return Guard([&] {
    impl_->subgrids.push_back(*subgrid);
    return 1;
  });
}

int ParvelClass::UpdateSubGrid(SUBGRID* subgrid) {
  if (subgrid == nullptr) return 0;
  for (SUBGRID& g : impl_->subgrids) {
    if (g.ROW == subgrid->ROW && g.COL == subgrid->COL) {
      std::memcpy(&g, subgrid, sizeof g);
      return 1;
    }
  }
  return 0;
}

int ParvelClass::GetSubGrid(int index, SUBGRID* out) {
  if (out == nullptr || index < 0 || index >= GetNSubGrids()) return 0;
  *out = impl_->subgrids[static_cast<std::size_t>(index)];
  return 1;
}

int ParvelClass::GetSubGrid(int row, int col, SUBGRID* out) {
  if (out == nullptr) return 0;
  for (const SUBGRID& g : impl_->subgrids) {
    if (g.ROW == row && g.COL == col) {
      *out = g;
      return 1;
    }
  }
  return 0;
}

void ParvelClass::RemoveSubGrids() {
  impl_->subgrids.clear();
  impl_->subgrids.shrink_to_fit();
}

int ParvelClass::IsSubGrid(SUBGRID* subgrid) {
  if (subgrid == nullptr) return 0;
  for (const SUBGRID& g : impl_->subgrids) {
    if (g.ROW == subgrid->ROW && g.COL == subgrid->COL) return SameSubGrid(g, *subgrid) ? 1 : 0;
  }
  return 0;
}

int ParvelClass::AreSubGrids(SUBGRID* subgrids, int count) {
  if (count != GetNSubGrids()) return 0;
  if (count > 0 && subgrids == nullptr) return 0;
  for (int k = 0; k < count; ++k) {
    if (!IsSubGrid(&subgrids[k])) return 0;
  }
  return 1;
}

int ParvelClass::GetCorners(long* out) {
  if (out == nullptr) return 0;
  return parvel::ScanCorners(*impl_, out);
}

int ParvelClass::AreCorners(long* corners) {
  if (corners == nullptr) return 0;
  long found[8] = {};
  if (!GetCorners(found)) return 0;
  for (int k = 0; k < 8; ++k) {
    if (found[k] != corners[k]) return 0;
  }
  return 1;
}

const char* ParvelClass::GetName() const { return impl_->name.c_str(); }
const char* ParvelClass::GetHeader() const { return impl_->header.c_str(); }
HWND ParvelClass::GetOwner() const { return impl_->owner; }
int ParvelClass::GetRows() const { return impl_->rows; }
int ParvelClass::GetCols() const { return impl_->cols; }
int ParvelClass::GetNCells() const { return static_cast<int>(impl_->cells.size()); }

CellEntryClass* ParvelClass::GetCell(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= impl_->cells.size()) return nullptr;
  return &impl_->cells[static_cast<std::size_t>(index)];
}

const CellEntryClass* ParvelClass::GetCell(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= impl_->cells.size()) return nullptr;
  return &impl_->cells[static_cast<std::size_t>(index)];
}
