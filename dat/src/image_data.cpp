// ImageData: names, texts and sub-grids. File operations are in image_file.cpp.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "build.h"
#include "codec.h"
#include "guard.h"
#include "handles.h"
#include "text_format.h"

inline namespace TESK_IMBREL_NS {

using namespace imbrel_detail;

ImageData::ImageData() = default;

ImageData::~ImageData() { Close(); }

Handles& ImageData::H() {
  if (!handles_) handles_ = std::make_unique<Handles>();
  return *handles_;
}

void ImageData::SetName(const char* name) {
  GuardedVoid([&] { FileName = Text(name); });
}

void ImageData::SetChipType(const char* type) {
  GuardedVoid([&] { ChipField[1] = Text(type); });
}

void ImageData::SetChipInfo(int index, const char* text) {
  if (index < 0 || index >= 10) return;
  GuardedVoid([&] { ChipField[index] = Text(text); });
}

void ImageData::SetExperimentName(const char* name) {
  GuardedVoid([&] { ExperimentName = Text(name); });
}

void ImageData::SetScanDate(const char* date, const char* time) {
  GuardedVoid([&] {
    ScanDate = Text(date);
    if (time != nullptr) ScanDate = ScanDate + " " + time + " ";
  });
}

void ImageData::SetScannerID(const char* id) {
  GuardedVoid([&] { ScannerID = Trim(Text(id)); });
}

void ImageData::SetScannerType(const char* type) {
  GuardedVoid([&] { ScannerType = Trim(Text(type)); });
}

#if TESK_IMBREL_BUILD == 6
void ImageData::SetBarcode(const char* barcode) {
  GuardedVoid([&] {
    std::string_view text = Text(barcode);
    Barcode = text.substr(0, kBarcodeWidth);
  });
}
#endif

const char* ImageData::GetScanInfo() {
  GuardedVoid([&] { ScanInfoText = BuildScanInfo(*this); });
  return ScanInfoText.c_str();
}

const char* ImageData::GetChipInfo() {
  GuardedVoid([&] { ChipInfoText = BuildChipInfo(*this); });
  return ChipInfoText.c_str();
}

int ImageData::Exists() {
  if (FileName.empty()) return 0;
  struct stat st;
  return ::lstat(FileName.c_str(), &st) == 0 ? 1 : 0;
}

int ImageData::GetSubGrid(int index, SUBGRID* out) {
  if (out == nullptr || index < 0 || static_cast<std::size_t>(index) >= subGrids_.size()) return 0;
  *out = subGrids_[index];
  return 1;
}

int ImageData::GetSubGrid(int row, int col, SUBGRID* out) {
  if (out == nullptr) return 0;
  std::memset(out, 0, sizeof *out);
  out->ROW = -1;
  out->COL = -1;
  auto found = std::find_if(subGrids_.begin(), subGrids_.end(),
                            [&](const SUBGRID& s) { return s.ROW == row && s.COL == col; });
  if (found == subGrids_.end()) return 0;
  *out = *found;
  return 1;
}

int ImageData::AddSubGrid(SUBGRID* subgrid) {
  // The trailer counts sub-grids in 16 bits.
  if (subgrid == nullptr || subGrids_.size() >= 65535) return 0;
  return Guarded([&] {
    subGrids_.push_back(*subgrid);
    NumSubGrids = static_cast<std::uint16_t>(subGrids_.size());
    return 1;
  });
}

int ImageData::UpdateSubGrid(SUBGRID* subgrid) {
  if (subgrid == nullptr) return 0;
  for (SUBGRID& s : subGrids_) {
    if (s.ROW == subgrid->ROW && s.COL == subgrid->COL) {
      s = *subgrid;
      return 1;
    }
  }
  return 0;
}

void ImageData::RemoveSubGrids() {
  subGrids_.clear();
  NumSubGrids = 0;
}

#if TESK_IMBREL_BUILD == 7
std::int64_t GetImageFileSize(int cols, int rows) {
  if (cols < 0 || rows < 0) return -1;
  return PixelEnd(cols, rows);
}
#else
int GetImageFileSize(int cols, int rows) {
  if (cols < 0 || rows < 0) return -1;
  std::int64_t size = PixelEnd(cols, rows);
  return size > INT32_MAX ? -1 : static_cast<int>(size);
}
#endif

}  // inline namespace
