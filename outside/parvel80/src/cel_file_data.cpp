// CCELFileData over ParvelClass: one ParvelClass per loaded file, and a copy of its header
// values that outlives Close.
#include <climits>
#include <cstdint>
#include <new>
#include <string>

#include "tesk/parvel.h"
#include "tesk/parvel80.h"

namespace {

// What stays readable after Close.
struct HeaderValues {
  int version = 0, rows = 0, cols = 0, cells = 0, masked = 0, outliers = 0, margin = 0;
  std::string chip_type, algorithm, params, header;
  long corners[8] = {};
  int have_corners = 0;
};

HeaderValues TakeHeader(ParvelClass& cel, bool with_cells) {
  HeaderValues h;
  h.version = cel.GetFileVersion();
  h.rows = cel.GetRows();
  h.cols = cel.GetCols();
  if (with_cells) {
    h.cells = cel.GetNCells();
  } else if (h.rows > 0 && h.cols > 0) {
    const std::int64_t n = std::int64_t{h.rows} * h.cols;
    h.cells = n > INT_MAX ? INT_MAX : static_cast<int>(n);
  }
  h.masked = cel.GetNMasked();
  h.outliers = cel.GetNOutliers();
  h.margin = cel.GetCellMargin();
  h.chip_type = cel.GetChipType();
  h.algorithm = cel.GetAlgorithm();
  // A header that ends with its parameter line leaves that line's break in the parameters; it
  // belongs to no item.
  h.params = cel.GetAlgParams();
  while (!h.params.empty() && (h.params.back() == '\n' || h.params.back() == '\r' ||
                               h.params.back() == ' ' || h.params.back() == '\t')) {
    h.params.pop_back();
  }
  h.header = cel.GetHeader();
  // The library gives upper-left, upper-right, lower-right, lower-left; callers want the two
  // lower corners the other way round.
  long c[8] = {};
  if (cel.GetCorners(c)) {
    const long ordered[8] = {c[0], c[1], c[2], c[3], c[6], c[7], c[4], c[5]};
    for (int k = 0; k < 8; ++k) h.corners[k] = ordered[k];
    h.have_corners = 1;
  }
  return h;
}

}  // namespace

struct CCELFileData::Impl {
  std::string path;
  std::unique_ptr<ParvelClass> cel;  // null when no cells are loaded
  HeaderValues header;

  const CellEntryClass* At(int index) const { return cel ? cel->GetCell(index) : nullptr; }
  const CellEntryClass* At(int x, int y) const { return cel ? cel->GetCellEntry(x, y) : nullptr; }

  int Load(bool header_only) {
    try {
      auto fresh = std::make_unique<ParvelClass>();
      fresh->SetName(path.c_str());
      if (!(header_only ? fresh->ReadHeader() : fresh->Read())) return 0;
      HeaderValues h = TakeHeader(*fresh, !header_only);
      if (!header_only) {
        // Builds the position lookup now, so later lookups only read and may run concurrently.
        fresh->GetCellEntry(0, 0);
      }
      header = std::move(h);
      cel = header_only ? nullptr : std::move(fresh);
      return 1;
    } catch (const std::bad_alloc&) {
      return 0;
    }
  }
};

CCELFileData::CCELFileData() : impl_(std::make_unique<Impl>()) {}
CCELFileData::~CCELFileData() = default;

void CCELFileData::SetFileName(const char* path) {
  try {
    impl_->path = path == nullptr ? "" : path;
  } catch (const std::bad_alloc&) {
    impl_->path.clear();
  }
}

const char* CCELFileData::GetFileName() const { return impl_->path.c_str(); }

int CCELFileData::Exists() {
  ParvelClass probe;
  probe.SetName(impl_->path.c_str());
  return probe.Exists() ? 1 : 0;
}

int CCELFileData::Read(int) { return impl_->Load(false); }
int CCELFileData::ReadHeader(int) { return impl_->Load(true); }
void CCELFileData::Close() { impl_->cel.reset(); }

int CCELFileData::WriteVersion3() {
  if (!impl_->cel) return 0;
  if (!impl_->cel->WriteVersionFile(3)) return 0;
  // The file on disk is now version 3 with freshly counted flags.
  try {
    impl_->header = TakeHeader(*impl_->cel, true);
  } catch (const std::bad_alloc&) {
  }
  return 1;
}

int CCELFileData::GetVersion() const { return impl_->header.version; }
int CCELFileData::GetRows() const { return impl_->header.rows; }
int CCELFileData::GetCols() const { return impl_->header.cols; }
int CCELFileData::GetNumCells() const { return impl_->header.cells; }
int CCELFileData::GetNumMasked() const { return impl_->header.masked; }
int CCELFileData::GetNumOutliers() const { return impl_->header.outliers; }
int CCELFileData::GetCellMargin() const { return impl_->header.margin; }
const char* CCELFileData::GetChipType() const { return impl_->header.chip_type.c_str(); }
const char* CCELFileData::GetAlgorithm() const { return impl_->header.algorithm.c_str(); }
const char* CCELFileData::GetParams() const { return impl_->header.params.c_str(); }
const char* CCELFileData::GetHeader() const { return impl_->header.header.c_str(); }

int CCELFileData::GetCorners(long* corners) const {
  if (corners == nullptr) return 0;
  for (int k = 0; k < 8; ++k) corners[k] = impl_->header.corners[k];
  return impl_->header.have_corners;
}

int CCELFileData::GetX(int index) const {
  const CellEntryClass* e = impl_->At(index);
  return e ? e->X : 0;
}

int CCELFileData::GetY(int index) const {
  const CellEntryClass* e = impl_->At(index);
  return e ? e->Y : 0;
}

float CCELFileData::GetIntensity(int index) const {
  const CellEntryClass* e = impl_->At(index);
  return e ? e->MEAN : 0.0f;
}

float CCELFileData::GetIntensity(int x, int y) const {
  const CellEntryClass* e = impl_->At(x, y);
  return e ? e->MEAN : 0.0f;
}

float CCELFileData::GetStdv(int index) const {
  const CellEntryClass* e = impl_->At(index);
  return e ? e->STDV : 0.0f;
}

float CCELFileData::GetStdv(int x, int y) const {
  const CellEntryClass* e = impl_->At(x, y);
  return e ? e->STDV : 0.0f;
}

short CCELFileData::GetPixels(int index) const {
  const CellEntryClass* e = impl_->At(index);
  return e ? static_cast<short>(e->NPIXELS) : 0;
}

short CCELFileData::GetPixels(int x, int y) const {
  const CellEntryClass* e = impl_->At(x, y);
  return e ? static_cast<short>(e->NPIXELS) : 0;
}

int CCELFileData::IsOutlier(int index) const {
  const CellEntryClass* e = impl_->At(index);
  return e && e->OUTLIER ? 1 : 0;
}

int CCELFileData::IsOutlier(int x, int y) const {
  const CellEntryClass* e = impl_->At(x, y);
  return e && e->OUTLIER ? 1 : 0;
}

int CCELFileData::IsMasked(int index) const {
  const CellEntryClass* e = impl_->At(index);
  return e && e->MASKED ? 1 : 0;
}

int CCELFileData::IsMasked(int x, int y) const {
  const CellEntryClass* e = impl_->At(x, y);
  return e && e->MASKED ? 1 : 0;
}

extern "C" CCELFileData* Parvel80CreateCELFileData() {
  try {
    return new CCELFileData();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
