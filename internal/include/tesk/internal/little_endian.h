// Little-endian loads and stores of fixed-size fields, the byte order of every binary file the
// kit reads or writes. On a little-endian host they compile to plain copies; decoders that copy
// whole records into memory in one go check kLittleEndianHost instead of converting.
#ifndef TESK_INTERNAL_INCLUDE_TESK_INTERNAL_LITTLE_ENDIAN_H_
#define TESK_INTERNAL_INCLUDE_TESK_INTERNAL_LITTLE_ENDIAN_H_

#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace tesk::internal {

inline constexpr bool kLittleEndianHost = std::endian::native == std::endian::little;
static_assert(std::endian::native == std::endian::little ||
                  std::endian::native == std::endian::big,
              "mixed-endian hosts are not supported");

// The T stored little-endian at p (no alignment needed).
template <class T>
T LoadLE(const void* p) {
  static_assert(std::is_trivially_copyable_v<T>);
  T v;
  if constexpr (kLittleEndianHost) {
    std::memcpy(&v, p, sizeof v);
  } else {
    const auto* in = static_cast<const unsigned char*>(p);
    auto* out = reinterpret_cast<unsigned char*>(&v);
    for (std::size_t i = 0; i < sizeof v; ++i) out[i] = in[sizeof v - 1 - i];
  }
  return v;
}

// Stores v little-endian at p (no alignment needed).
template <class T>
void StoreLE(void* p, T v) {
  static_assert(std::is_trivially_copyable_v<T>);
  if constexpr (kLittleEndianHost) {
    std::memcpy(p, &v, sizeof v);
  } else {
    const auto* in = reinterpret_cast<const unsigned char*>(&v);
    auto* out = static_cast<unsigned char*>(p);
    for (std::size_t i = 0; i < sizeof v; ++i) out[i] = in[sizeof v - 1 - i];
  }
}

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_INCLUDE_TESK_INTERNAL_LITTLE_ENDIAN_H_
