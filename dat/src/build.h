// Selects the build (TESK_IMBREL_BUILD is 7 or 6, set by tesk_library_builds) and its limits.
// Every internal name lives in the build's inline namespace TESK_IMBREL_NS, so both libraries
// load into one process without their symbols meeting.
#ifndef TESK_DAT_SRC_BUILD_H_
#define TESK_DAT_SRC_BUILD_H_

#include <cstdint>

#if TESK_IMBREL_BUILD == 7
#include <tesk/imbrel7.h>
#define TESK_IMBREL_NS imbrel7
#elif TESK_IMBREL_BUILD == 6
#include <tesk/imbrel6.h>
#define TESK_IMBREL_NS imbrel6
#else
#error "TESK_IMBREL_BUILD must be 7 or 6"
#endif

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

inline constexpr bool kLegacy = TESK_IMBREL_BUILD == 6;
inline constexpr std::uint16_t kTrailerVersion = kLegacy ? 6 : 7;

inline constexpr std::int64_t kHeaderSize = 512;
inline constexpr std::int64_t kTrailerSize = 104;
inline constexpr std::int64_t kSubGridSize = 56;
inline constexpr int kMaxDimension = 65535;  // cols and rows are 16-bit in the header

// Largest file offset the build addresses: Imbrel6 computes its offsets in 32 bits.
inline constexpr std::int64_t kMaxFileSize = kLegacy ? INT32_MAX : INT64_MAX;

// Byte offsets of the parts of a file of cols x rows pixels.
inline std::int64_t PixelEnd(std::int64_t cols, std::int64_t rows) {
  return kHeaderSize + 2 * cols * rows;
}
inline std::int64_t SubGridStart(std::int64_t cols, std::int64_t rows) {
  return PixelEnd(cols, rows) + kTrailerSize;
}

// Dimensions the header can carry and whose file (with a full sub-grid table) this build can
// address.
inline bool ValidDimensions(std::int64_t cols, std::int64_t rows) {
  return cols >= 1 && rows >= 1 && cols <= kMaxDimension && rows <= kMaxDimension &&
         SubGridStart(cols, rows) + 65535 * kSubGridSize <= kMaxFileSize;
}

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_SRC_BUILD_H_
