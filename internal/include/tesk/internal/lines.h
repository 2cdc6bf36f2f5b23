// Splitting text held in memory into lines. A line ends at a line feed; a carriage return
// right before it belongs to the line break. A line longer than the piece limit is handed out
// in pieces of that many characters (the text readers of fixed-buffer formats count a long
// line as several).
#ifndef TESK_INTERNAL_INCLUDE_TESK_INTERNAL_LINES_H_
#define TESK_INTERNAL_INCLUDE_TESK_INTERNAL_LINES_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tesk::internal {

struct Line {
  const char* begin = nullptr;  // characters, without the line break
  std::size_t chars = 0;
  bool has_newline = false;

  // Characters plus the line feed (not the carriage return).
  std::size_t Length() const { return chars + (has_newline ? 1 : 0); }
  const char* end() const { return begin + chars; }
  std::string_view View() const { return {begin, chars}; }
  bool StartsWith(std::string_view key) const {
    return chars >= key.size() && std::memcmp(begin, key.data(), key.size()) == 0;
  }
};

class LineSplitter {
 public:
  static constexpr std::size_t kNoLimit = SIZE_MAX;

  explicit LineSplitter(std::string_view text, std::size_t piece = kNoLimit)
      : p_(text.data()), end_(text.data() + text.size()), piece_(piece) {}
  LineSplitter(const char* begin, const char* end, std::size_t piece = kNoLimit)
      : p_(begin), end_(end), piece_(piece) {}

  // The next line or piece; false at the end of the text. A last line without a line feed
  // counts; an empty text has no lines.
  bool Next(Line& line) {
    if (p_ >= end_) return false;
    const std::size_t avail = static_cast<std::size_t>(end_ - p_);
    const std::size_t window = piece_ == kNoLimit || avail <= piece_ ? avail : piece_ + 1;
    const auto* lf = static_cast<const char*>(std::memchr(p_, '\n', window));
    line.begin = p_;
    if (lf != nullptr) {
      std::size_t chars = static_cast<std::size_t>(lf - p_);
      if (chars > 0 && lf[-1] == '\r') --chars;
      if (piece_ == kNoLimit || chars + 1 <= piece_) {
        line.chars = chars;
        line.has_newline = true;
        p_ = lf + 1;
        return true;
      }
    } else if (avail <= piece_) {
      line.chars = avail;  // last line, without a line break
      line.has_newline = false;
      p_ = end_;
      return true;
    }
    line.chars = piece_;
    line.has_newline = false;
    p_ += piece_;
    return true;
  }

  // The next line that holds more than carriage returns, without them at its end; false at
  // the end of the text. For formats where blank lines carry nothing.
  bool NextNonEmpty(std::string_view& out) {
    Line line;
    while (Next(line)) {
      std::string_view v = line.View();
      while (!v.empty() && v.back() == '\r') v.remove_suffix(1);
      if (v.empty()) continue;
      out = v;
      return true;
    }
    return false;
  }

  // Bytes not yet handed out.
  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }

 private:
  const char* p_;
  const char* end_;
  std::size_t piece_;
};

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_INCLUDE_TESK_INTERNAL_LINES_H_
