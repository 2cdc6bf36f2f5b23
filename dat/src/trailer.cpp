#include <cstring>

#include "codec.h"
#include "file_io.h"
#include "text_format.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

namespace {

constexpr std::size_t kValuesAt = 2;
#if TESK_IMBREL_BUILD == 6
constexpr std::size_t kBarcodeAt = 38;  // Imbrel7 leaves these bytes zero and ignores them
#endif
constexpr std::size_t kCountAt = 102;

}  // namespace

void EncodeTrailer(const ImageData& image, std::uint8_t* trailer) {
  std::memset(trailer, 0, kTrailerSize);
  StoreLE<std::uint16_t>(trailer, kTrailerVersion);
  for (int i = 0; i < 9; ++i)
    StoreLE<std::uint32_t>(trailer + kValuesAt + 4 * i, static_cast<std::uint32_t>(image.TrailerValues[i]));
#if TESK_IMBREL_BUILD == 6
  std::size_t length = image.Barcode.size() < kBarcodeWidth ? image.Barcode.size() : kBarcodeWidth;
  std::memcpy(trailer + kBarcodeAt, image.Barcode.data(), length);
#endif
  StoreLE<std::uint16_t>(trailer + kCountAt, image.NumSubGrids);
}

std::uint16_t DecodeTrailer(const std::uint8_t* trailer, ImageData& image) {
  image.TrailerVersion = LoadLE<std::uint16_t>(trailer);
  if (image.TrailerVersion <= 4) return 0;
  for (int i = 0; i < 9; ++i)
    image.TrailerValues[i] = static_cast<std::int32_t>(LoadLE<std::uint32_t>(trailer + kValuesAt + 4 * i));
#if TESK_IMBREL_BUILD == 6
  image.Barcode = std::string(Bounded(trailer + kBarcodeAt, kBarcodeWidth));
#endif
  return LoadLE<std::uint16_t>(trailer + kCountAt);
}

}  // namespace imbrel_detail
}  // inline namespace
