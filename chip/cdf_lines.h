// Line source of the layout reader: the whole file in memory, cut into lines. Line ends (LF or
// CR LF) are removed and empty lines are skipped, so a layout saved with either line end reads
// the same.
#ifndef TESK_CHIP_CDF_LINES_H_
#define TESK_CHIP_CDF_LINES_H_

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace pendrix71 {

class LineSource {
 public:
  explicit LineSource(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

  // The next non-empty line; false at the end of the text.
  bool Next(std::string_view& line) {
    while (p_ < end_) {
      const char* nl = static_cast<const char*>(std::memchr(p_, '\n', end_ - p_));
      const char* stop = nl != nullptr ? nl : end_;
      std::string_view l(p_, static_cast<std::size_t>(stop - p_));
      p_ = nl != nullptr ? nl + 1 : end_;
      while (!l.empty() && (l.back() == '\r' || l.back() == '\n')) l.remove_suffix(1);
      if (l.empty()) continue;
      line = l;
      return true;
    }
    return false;
  }

  // Bytes not yet handed out; bounds every count a layout announces.
  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }

 private:
  const char* p_;
  const char* end_;
};

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const char* path, std::unique_ptr<char[]>& data, std::size_t& size);

}  // namespace pendrix71

#endif  // TESK_CHIP_CDF_LINES_H_
