// Building the bytes of test files field by field (little-endian, as every binary format of
// the kit), and moving whole files in and out of strings.
#ifndef TESK_INTERNAL_INCLUDE_TESK_TESTING_BYTES_H_
#define TESK_INTERNAL_INCLUDE_TESK_TESTING_BYTES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tesk/internal/little_endian.h"

namespace tesk::testing {

// Self is the builder type the calls return, so that a format's tests can derive a builder
// with fields of their own (class Bytes : public BasicByteBuilder<Bytes>) and keep chaining.
template <class Self>
class BasicByteBuilder {
 public:
  Self& I8(std::int8_t v) { return Put(v); }
  Self& U8(std::uint8_t v) { return Put(v); }
  Self& I16(std::int16_t v) { return Put(v); }
  Self& U16(std::uint16_t v) { return Put(v); }
  Self& I32(std::int32_t v) { return Put(v); }
  Self& U32(std::uint32_t v) { return Put(v); }
  Self& F32(float v) { return Put(v); }
  Self& F64(double v) { return Put(v); }
  // Bytes as they are.
  Self& Raw(std::string_view bytes) {
    bytes_.append(bytes);
    return self();
  }
  Self& Raw(const void* data, std::size_t n) {
    return Raw(std::string_view(static_cast<const char*>(data), n));
  }
  // A text behind its int32 length.
  Self& Text(std::string_view text) {
    I32(static_cast<std::int32_t>(text.size()));
    return Raw(text);
  }
  // A text in a field of width bytes, cut or zero-filled.
  Self& FixedText(std::string_view text, std::size_t width) {
    const std::size_t n = text.size() < width ? text.size() : width;
    bytes_.append(text.substr(0, n));
    bytes_.append(width - n, '\0');
    return self();
  }
  // n copies of byte.
  Self& Fill(std::size_t n, char byte = '\0') {
    bytes_.append(n, byte);
    return self();
  }

  const std::string& str() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  operator const std::string&() const { return bytes_; }

 private:
  Self& self() { return static_cast<Self&>(*this); }
  template <class T>
  Self& Put(T v) {
    char b[sizeof v];
    internal::StoreLE(b, v);
    bytes_.append(b, sizeof b);
    return self();
  }

  std::string bytes_;
};

class ByteBuilder : public BasicByteBuilder<ByteBuilder> {};

// The whole file at path ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);
// Makes path hold exactly bytes; false on failure.
bool WriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace tesk::testing

#endif  // TESK_INTERNAL_INCLUDE_TESK_TESTING_BYTES_H_
