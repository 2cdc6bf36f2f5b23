// The number encodings of the tiling files: 32-bit big-endian integers, and the two 4-byte float
// encodings that probe map files use (a result file always uses the big-endian one).
#ifndef TESK_API_SRC_TILING_ENCODING_H_
#define TESK_API_SRC_TILING_ENCODING_H_

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tesk::tiling {

inline std::uint32_t LoadBE32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  return v;
}

inline void StoreBE32(unsigned char* p, std::uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

enum class FloatEncoding {
  // The bytes as a little-endian float, truncated to an integer whose bytes are reversed, and
  // that integer converted back: only whole numbers survive this encoding.
  kIntegerSwapped = 1,
  // The bytes as a big-endian IEEE float.
  kBigEndian = 2,
};

inline float DecodeBigEndianFloat(const unsigned char* p) {
  return std::bit_cast<float>(LoadBE32(p));
}

// A value that no integer-swapped writer can have produced (not a number, or beyond any
// integer) decodes as not-a-number rather than through an undefined conversion.
inline float DecodeIntegerSwappedFloat(const unsigned char* p) {
  std::uint32_t bits;
  std::memcpy(&bits, p, 4);
  if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap32(bits);
  const float f = std::bit_cast<float>(bits);
  if (!(f > -9.2e18f && f < 9.2e18f)) return std::nanf("");
  const auto whole = static_cast<std::uint32_t>(static_cast<std::int64_t>(f));
  return static_cast<float>(static_cast<std::int32_t>(__builtin_bswap32(whole)));
}

inline float DecodeFloat(const unsigned char* p, FloatEncoding e) {
  return e == FloatEncoding::kBigEndian ? DecodeBigEndianFloat(p) : DecodeIntegerSwappedFloat(p);
}

// The inverse of each decoding, for writers (samples, tests): 4 bytes at p.
inline void EncodeFloat(unsigned char* p, float v, FloatEncoding e) {
  if (e == FloatEncoding::kBigEndian) {
    StoreBE32(p, std::bit_cast<std::uint32_t>(v));
    return;
  }
  if (!(v > -2.1e9f && v < 2.1e9f)) v = 0;  // no integer to carry it
  const auto whole = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
  float swapped = static_cast<float>(static_cast<std::int32_t>(__builtin_bswap32(whole)));
  std::uint32_t bits = std::bit_cast<std::uint32_t>(swapped);
  if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap32(bits);
  std::memcpy(p, &bits, 4);
}

}  // namespace tesk::tiling

#endif  // TESK_API_SRC_TILING_ENCODING_H_
