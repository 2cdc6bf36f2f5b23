// Text fields of result files, and the fixed-point conversion of the writers.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "chp_io.h"
#include "tesk/pendrix71.h"

namespace {

// Stores the bytes up to the first zero byte (at most n) as the string's text; an empty text
// is stored as null, as String requires.
void StoreText(String& out, const unsigned char* p, std::size_t n) {
  const void* zero = std::memchr(p, 0, n);
  const std::size_t length =
      zero != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - p) : n;
  out.Clean();
  if (length == 0) return;
  char* text = static_cast<char*>(std::malloc(length + 1));
  if (text == nullptr) throw std::bad_alloc();
  std::memcpy(text, p, length);
  text[length] = '\0';
  out.text = text;
}

}  // namespace

void ChpInput::LengthText(String& out) {
  const std::int32_t n = I32();
  if (n <= 0) {
    out.Clean();
    return;
  }
  const unsigned char* p = Bytes(static_cast<std::size_t>(n));
  if (p == nullptr) return;
  StoreText(out, p, static_cast<std::size_t>(n));
}

void ChpInput::FixedText(String& out, std::size_t width) {
  const unsigned char* p = Bytes(width);
  if (p == nullptr) return;
  StoreText(out, p, width);
}

void ChpOutput::LengthText(const char* text) {
  const std::size_t n = text != nullptr ? std::strlen(text) : 0;
  I32(static_cast<std::int32_t>(n));
  Raw(text, n);
}

void ChpOutput::FixedText(const char* text, std::size_t width) {
  if (width == 0) return;
  std::size_t n = text != nullptr ? std::strlen(text) : 0;
  if (n > width - 1) n = width - 1;  // keep room for the terminator
  Raw(text, n);
  bytes.append(width - n, '\0');
}

std::int32_t ChpOutput::FixedValue(float v) {
  const double scaled = static_cast<double>(v) * 1000.0;
  // Values that do not fit an i32 saturate instead of overflowing; a non-number is 0.
  if (std::isnan(scaled)) return 0;
  if (scaled >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (scaled <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(scaled);  // truncates toward zero
}
