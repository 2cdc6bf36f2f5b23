#include <cmath>

#include "codec.h"
#include "text_format.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

namespace {

// Offsets inside the 67-character text (header offset minus 33).
constexpr std::size_t kPixelSizeAt = 22;  // header byte 55
constexpr std::size_t kScanSpeedAt = 35;  // header byte 68
constexpr std::size_t kTmpMarkAt = 38;    // header byte 71, 'T' of "TMP="
constexpr std::size_t kTmpAt = 42;        // header byte 75
constexpr std::size_t kValue4At = 45;     // header byte 78
constexpr std::size_t kScanDateAt = 49;   // header byte 82
constexpr std::size_t kScanDateWidth = 18;

}  // namespace

std::string BuildScanInfo(const ImageData& image) {
  std::string text;
  if constexpr (kLegacy) {
    text = "CLS=" + LeftInt(image.Cols, 4) + " RWS=" + LeftInt(image.Rows, 4) + " ";
  } else {
    text = "CLS=" + LeftInt(image.Cols, 5) + "RWS=" + LeftInt(image.Rows, 5);
  }
  text += "XIN=" + LeftInt(image.PixelSize, 2) + " YIN=" + LeftInt(image.PixelSize, 2) +
          " VE=" + LeftInt(image.ScanSpeed, 2) + " ";
  text += image.TMP >= 1 ? "TMP=" + LeftInt(image.TMP, 3) : std::string(7, ' ');
  text += image.ScanValue4 >= 1000 ? LeftFixed(image.ScanValue4 / 1000.0, 1, 4)
                                   : LeftInt(image.ScanValue4, 4);
  text += image.ScanDate;
  if (text.size() > kScanInfoWidth) text.resize(kScanInfoWidth);
  return text;
}

void DecodeScanInfo(const std::uint8_t* field, ImageData& image) {
  // Positions past a zero byte read as empty: the parsers stop at the first non-number byte.
  std::string_view text(reinterpret_cast<const char*>(field), kScanInfoWidth);
  image.ScanInfoText = std::string(Bounded(field, kScanInfoWidth));
  image.PixelSize = ParseInt(text.substr(kPixelSizeAt));
  image.ScanSpeed = ParseInt(text.substr(kScanSpeedAt));
  image.TMP = text[kTmpMarkAt] == 'T' ? ParseInt(text.substr(kTmpAt)) : 0;
  std::string_view value4 = text.substr(kValue4At);
  if (value4.substr(0, 4).find('.') != std::string_view::npos) {
    // Written as thousands with one decimal ("1.5" for 1500). The decimal text is not exact in
    // binary, so 2.3 x 1000 may come out as 2299.9999...; a nudge keeps the truncation honest.
    double scaled = ParseDouble(value4) * 1000.0;
    scaled = scaled >= 0 ? std::trunc(scaled + 1e-6) : std::trunc(scaled - 1e-6);
    image.ScanValue4 =
        std::isfinite(scaled) && std::fabs(scaled) < 2e9 ? static_cast<std::int32_t>(scaled) : 0;
  } else {
    image.ScanValue4 = ParseInt(value4);
  }
  image.ScanDate =
      std::string(Bounded(field + kScanDateAt, kScanDateWidth));
}

}  // namespace imbrel_detail
}  // inline namespace
