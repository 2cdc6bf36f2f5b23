// The header (512 bytes) and trailer (104 bytes) of an image file, and the two texts that the
// header carries at fixed positions.
#ifndef TESK_DAT_SRC_CODEC_H_
#define TESK_DAT_SRC_CODEC_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "build.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

inline constexpr std::size_t kScanInfoWidth = 67;   // header bytes 33..99
inline constexpr std::size_t kChipInfoWidth = 219;  // header bytes 100..319, then a zero
inline constexpr std::size_t kExperimentWidth = 154;  // header bytes 358..511, with its zero
inline constexpr std::size_t kBarcodeWidth = 63;    // trailer bytes 38..101, with its zero

// Scan information: "CLS=... RWS=... XIN=... YIN=... VE=... TMP=... <value 4><scan date>",
// cut to its 67 characters.
std::string BuildScanInfo(const ImageData& image);
// Decodes the 67 bytes at header offset 33 from their fixed positions.
void DecodeScanInfo(const std::uint8_t* field, ImageData& image);

// Chip information: scanner ID, scanner type and the ten chip fields between 0x14 separators,
// cut to its 219 characters. Sets the numeric chip fields first (Imbrel7).
std::string BuildChipInfo(ImageData& image);
void DecodeChipInfo(std::string_view text, ImageData& image);

// Builds both texts into the image and lays out the whole header.
void EncodeHeader(ImageData& image, std::uint8_t* header);
// False for an invalid header (magic byte, zero dimensions).
bool DecodeHeader(const std::uint8_t* header, ImageData& image);

void EncodeTrailer(const ImageData& image, std::uint8_t* trailer);
// Takes version, stored values (and barcode) from a full trailer; returns the number of sub-grid
// records that follow it (0 for versions 4 and older).
std::uint16_t DecodeTrailer(const std::uint8_t* trailer, ImageData& image);

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_SRC_CODEC_H_
