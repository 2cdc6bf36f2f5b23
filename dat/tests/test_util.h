// Raw image bytes for the image library tests: whole files as unsigned bytes (over the test
// support's file bytes), 16-bit fields, and hand-made images and trailers.
#ifndef TESK_DAT_TESTS_TEST_UTIL_H_
#define TESK_DAT_TESTS_TEST_UTIL_H_

#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <tesk/testing/bytes.h>

namespace dat_test {

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  const std::string bytes = tesk::testing::ReadFileBytes(path);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  tesk::testing::WriteFileBytes(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

inline std::int64_t SizeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

inline void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// A minimal valid image of cols x rows pixels (pixel value x + y), optionally followed by extra
// bytes where the trailer goes.
inline std::vector<std::uint8_t> RawImage(int cols, int rows,
                                          const std::vector<std::uint8_t>& tail = {}) {
  std::vector<std::uint8_t> b(512 + 2 * static_cast<std::size_t>(cols) * rows, 0);
  b[0] = 0xFC;
  Put16(b, 1, static_cast<std::uint16_t>(cols));
  Put16(b, 3, static_cast<std::uint16_t>(rows));
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < cols; ++x)
      Put16(b, 512 + 2 * (static_cast<std::size_t>(y) * cols + x),
            static_cast<std::uint16_t>(x + y));
  const std::size_t pixels_end = b.size();
  b.resize(pixels_end + tail.size());
  std::copy(tail.begin(), tail.end(), b.begin() + static_cast<std::ptrdiff_t>(pixels_end));
  return b;
}

// A trailer of the given version announcing count sub-grid records.
inline std::vector<std::uint8_t> RawTrailer(std::uint16_t version, std::uint16_t count) {
  std::vector<std::uint8_t> t(104, 0);
  Put16(t, 0, version);
  Put16(t, 102, count);
  return t;
}

}  // namespace dat_test

#endif  // TESK_DAT_TESTS_TEST_UTIL_H_
