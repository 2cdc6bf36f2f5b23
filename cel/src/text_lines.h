// Line reading for the text encodings. A line is handed out in pieces of at most 1023
// characters; a carriage return right before the line feed belongs to the line break. The
// length of a piece counts its characters plus the line feed (not the carriage return).
#ifndef TESK_PARVEL_TEXT_LINES_H_
#define TESK_PARVEL_TEXT_LINES_H_

#include <cstddef>
#include <cstring>
#include <string_view>

namespace parvel {

struct Line {
  const char* begin = nullptr;  // characters, without line break
  std::size_t chars = 0;
  bool has_newline = false;

  std::size_t Length() const { return chars + (has_newline ? 1 : 0); }
  const char* end() const { return begin + chars; }
  std::string_view View() const { return {begin, chars}; }
  bool StartsWith(std::string_view key) const {
    return chars >= key.size() && std::memcmp(begin, key.data(), key.size()) == 0;
  }
};

class LineReader {
 public:
  static constexpr std::size_t kPiece = 1023;

  LineReader(const char* begin, const char* end) : p_(begin), end_(end) {}

  bool Next(Line& line) {
    if (p_ >= end_) return false;
    const std::size_t avail = static_cast<std::size_t>(end_ - p_);
    const std::size_t window = avail < kPiece + 1 ? avail : kPiece + 1;
    const auto* lf = static_cast<const char*>(std::memchr(p_, '\n', window));
    line.begin = p_;
    if (lf != nullptr) {
      std::size_t chars = static_cast<std::size_t>(lf - p_);
      if (chars > 0 && lf[-1] == '\r') --chars;
      if (chars + 1 <= kPiece) {
        line.chars = chars;
        line.has_newline = true;
        p_ = lf + 1;
        return true;
      }
    } else if (avail <= kPiece) {
      line.chars = avail;  // last line, without a line break
      line.has_newline = false;
      p_ = end_;
      return true;
    }
    line.chars = kPiece;
    line.has_newline = false;
    p_ += kPiece;
    return true;
  }

 private:
  const char* p_;
  const char* end_;
};

}  // namespace parvel

#endif  // TESK_PARVEL_TEXT_LINES_H_
