// Result file byte access: the little-endian fields of a result file, decoded from memory
// and gathered into memory. Internal to the library (units read and write their records with
// it); the layout itself is in doc/formats/chp.md.
#ifndef TESK_CHIP_SRC_CHP_IO_H_
#define TESK_CHIP_SRC_CHP_IO_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include <tesk/internal/little_endian.h>

#include "tesk/pendrix71.h"

// ChpInput decodes little-endian fields from a result file held in memory. Every read is bounds
// checked: a read past the end yields zeros and latches the failed state, so record decoders
// test ok() once per record instead of after each field. Fits() lets a decoder check a count
// against the bytes left before it allocates anything for it.
class ChpInput {
 public:
  ChpInput(const unsigned char* data, std::size_t size) : p_(data), end_(data + size) {}

  bool ok() const { return ok_; }
  void Fail() { ok_ = false; p_ = end_; }
  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }
  // True when count records of width bytes each can still be in the file.
  bool Fits(long long count, long long width) const {
    return count >= 0 && width >= 0 &&
           (width == 0 || static_cast<unsigned long long>(count) <=
                              Remaining() / static_cast<unsigned long long>(width));
  }
  // The next n bytes, or null (and failed) when fewer are left.
  const unsigned char* Bytes(std::size_t n) {
    if (n > Remaining()) {
      Fail();
      return nullptr;
    }
    const unsigned char* at = p_;
    p_ += n;
    return at;
  }
  std::int32_t I32() { return Load<std::int32_t>(); }
  std::uint32_t U32() { return Load<std::uint32_t>(); }
  std::int16_t I16() { return Load<std::int16_t>(); }
  std::uint16_t U16() { return Load<std::uint16_t>(); }
  unsigned char Byte() { return Load<unsigned char>(); }
  float F32() { return Load<float>(); }
  // A fixed-point value: an i32 holding the value times 1000.
  float Fixed() { return static_cast<float>(I32() / 1000.0); }
  // An i32 length n and n bytes; n <= 0 is the empty text.
  void LengthText(String& out);
  // A fixed-width field holding a NUL-terminated text.
  void FixedText(String& out, std::size_t width);

 private:
  template <class T>
  T Load() {
    T v{};
    if (Remaining() < sizeof(T)) {
      Fail();
      return v;
    }
    v = tesk::internal::LoadLE<T>(p_);
    p_ += sizeof(T);
    return v;
  }
  const unsigned char* p_;
  const unsigned char* end_;
  bool ok_ = true;
};

// ChpOutput gathers the bytes of a result file in memory; the writers hand them to the stream
// in one piece.
class ChpOutput {
 public:
  std::string bytes;

  void I32(std::int32_t v) { Store(v); }
  void U32(std::uint32_t v) { Store(v); }
  void I16(std::int16_t v) { Store(v); }
  void U16(std::uint16_t v) { Store(v); }
  void Byte(unsigned char v) { bytes.push_back(static_cast<char>(v)); }
  void F32(float v) { Store(v); }
  // The value times 1000, truncated toward zero.
  void Fixed(float v) { Store(FixedValue(v)); }
  void Raw(const void* p, std::size_t n) { bytes.append(static_cast<const char*>(p), n); }
  // An i32 length and the text's bytes; the empty text is the length 0.
  void LengthText(const char* text);
  // The text in a field of width bytes, NUL-terminated and zero-filled.
  void FixedText(const char* text, std::size_t width);
  static std::int32_t FixedValue(float v);

 private:
  template <class T>
  void Store(T v) {
    char b[sizeof(T)];
    tesk::internal::StoreLE(b, v);
    bytes.append(b, sizeof(T));
  }
};

#endif  // TESK_CHIP_SRC_CHP_IO_H_
