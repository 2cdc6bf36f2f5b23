// Building the bytes of test files field by field (little-endian, as every binary format of
// the kit), and moving whole files in and out of strings.
#ifndef TESK_TESTING_BYTES_H_
#define TESK_TESTING_BYTES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tesk/internal/little_endian.h"

namespace tesk::testing {

class ByteBuilder {
 public:
  ByteBuilder& I8(std::int8_t v) { return Put(v); }
  ByteBuilder& U8(std::uint8_t v) { return Put(v); }
  ByteBuilder& I16(std::int16_t v) { return Put(v); }
  ByteBuilder& U16(std::uint16_t v) { return Put(v); }
  ByteBuilder& I32(std::int32_t v) { return Put(v); }
  ByteBuilder& U32(std::uint32_t v) { return Put(v); }
  ByteBuilder& F32(float v) { return Put(v); }
  ByteBuilder& F64(double v) { return Put(v); }
  // Bytes as they are.
  ByteBuilder& Raw(std::string_view bytes) {
    bytes_.append(bytes);
    return *this;
  }
  ByteBuilder& Raw(const void* data, std::size_t n) {
    return Raw(std::string_view(static_cast<const char*>(data), n));
  }
  // A text behind its int32 length.
  ByteBuilder& Text(std::string_view text) {
    I32(static_cast<std::int32_t>(text.size()));
    return Raw(text);
  }
  // n copies of byte.
  ByteBuilder& Fill(std::size_t n, char byte = '\0') {
    bytes_.append(n, byte);
    return *this;
  }

  const std::string& str() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  operator const std::string&() const { return bytes_; }

 private:
  template <class T>
  ByteBuilder& Put(T v) {
    char b[sizeof v];
    internal::StoreLE(b, v);
    bytes_.append(b, sizeof b);
    return *this;
  }

  std::string bytes_;
};

// The whole file at path ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);
// Makes path hold exactly bytes; false on failure.
bool WriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace tesk::testing

#endif  // TESK_TESTING_BYTES_H_
