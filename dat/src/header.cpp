#include <cstring>

#include "codec.h"
#include "file_io.h"
#include "text_format.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

namespace {

constexpr std::uint8_t kMagic = 0xFC;

// Byte offsets in the header.
constexpr std::size_t kColsAt = 1;
constexpr std::size_t kRowsAt = 3;
constexpr std::size_t kCountAt = 5;
constexpr std::size_t kMinAt = 9;
constexpr std::size_t kMaxAt = 13;
constexpr std::size_t kStat1At = 17;
constexpr std::size_t kStat2At = 25;
constexpr std::size_t kScanInfoAt = 33;
constexpr std::size_t kChipInfoAt = 100;
constexpr std::size_t kStoredValuesAt = 320;
constexpr std::size_t kCornersAt = 340;
constexpr std::size_t kCellMarginAt = 356;
constexpr std::size_t kExperimentAt = 358;

}  // namespace

void EncodeHeader(ImageData& image, std::uint8_t* header) {
  std::memset(header, 0, kHeaderSize);
  header[0] = kMagic;
  StoreLE<std::uint16_t>(header + kColsAt, static_cast<std::uint16_t>(image.Cols));
  StoreLE<std::uint16_t>(header + kRowsAt, static_cast<std::uint16_t>(image.Rows));
  StoreLE<std::uint32_t>(header + kCountAt,
        static_cast<std::uint32_t>(static_cast<std::int64_t>(image.Cols) * image.Rows));
  StoreLE<std::uint32_t>(header + kMinAt, image.MinData);
  StoreLE<std::uint32_t>(header + kMaxAt, image.MaxData);
  std::memcpy(header + kStat1At, image.StoredStat1, 8);
  std::memcpy(header + kStat2At, image.StoredStat2, 8);

  // Both texts are already cut to the width of their fields.
  image.ScanInfoText = BuildScanInfo(image);
  std::memcpy(header + kScanInfoAt, image.ScanInfoText.data(), image.ScanInfoText.size());
  image.ChipInfoText = BuildChipInfo(image);
  std::memcpy(header + kChipInfoAt, image.ChipInfoText.data(), image.ChipInfoText.size());

  for (int i = 0; i < 5; ++i)
    StoreLE<std::uint32_t>(header + kStoredValuesAt + 4 * i, static_cast<std::uint32_t>(image.StoredValues[i]));
  for (int i = 0; i < 8; ++i)
    StoreLE<std::uint16_t>(header + kCornersAt + 2 * i, static_cast<std::uint16_t>(image.GridCorners[i]));
  StoreLE<std::uint16_t>(header + kCellMarginAt, image.CellMargin);
  // A name that does not fit with its terminating zero is not written at all.
  if (image.ExperimentName.size() < kExperimentWidth)
    std::memcpy(header + kExperimentAt, image.ExperimentName.data(),
                image.ExperimentName.size());
}

bool DecodeHeader(const std::uint8_t* header, ImageData& image) {
  std::uint16_t cols = LoadLE<std::uint16_t>(header + kColsAt);
  std::uint16_t rows = LoadLE<std::uint16_t>(header + kRowsAt);
  if (header[0] != kMagic || cols == 0 || rows == 0) return false;
  image.Cols = cols;
  image.Rows = rows;
  image.MinData = static_cast<std::uint16_t>(LoadLE<std::uint32_t>(header + kMinAt));
  image.MaxData = static_cast<std::uint16_t>(LoadLE<std::uint32_t>(header + kMaxAt));
  std::memcpy(image.StoredStat1, header + kStat1At, 8);
  std::memcpy(image.StoredStat2, header + kStat2At, 8);
  // The scan information first: the chip information falls back on its pixel size.
  DecodeScanInfo(header + kScanInfoAt, image);
  DecodeChipInfo(Bounded(header + kChipInfoAt, kChipInfoWidth + 1), image);
  for (int i = 0; i < 5; ++i)
    image.StoredValues[i] = static_cast<std::int32_t>(LoadLE<std::uint32_t>(header + kStoredValuesAt + 4 * i));
  for (int i = 0; i < 8; ++i)
    image.GridCorners[i] = static_cast<std::int16_t>(LoadLE<std::uint16_t>(header + kCornersAt + 2 * i));
  std::uint16_t margin = LoadLE<std::uint16_t>(header + kCellMarginAt);
  image.CellMargin = margin < 2 ? 1 : margin;
  image.ExperimentName = std::string(Bounded(header + kExperimentAt, kExperimentWidth));
  return true;
}

}  // namespace imbrel_detail
}  // inline namespace
