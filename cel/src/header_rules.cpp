// Values that live in the header text: chip type, grid size, algorithm parameters, corners.
#include <cstdio>
#include <string>

#include "parvel_impl.h"
#include "scan.h"

namespace parvel {

namespace {

constexpr char kSeparator = '\x14';  // field separator of the scanner image header copy

// Runs a pattern of "%d" conversions, blanks (any white space) and literal characters; returns
// how many numbers were stored.
int ScanInts(Scanner s, std::string_view pattern, long* out) {
  int stored = 0;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (pattern.compare(i, 2, "%d") == 0) {
      int v = 0;
      if (!s.Int(v)) return stored;
      out[stored++] = v;
      i += 2;
      continue;
    }
    const std::size_t next = pattern.find('%', i);
    const std::size_t stop = next == std::string_view::npos ? pattern.size() : next;
    if (!s.Literal(pattern.substr(i, stop - i))) return stored;
    i = stop;
  }
  return stored;
}

}  // namespace

void DeriveChipType(ParvelClass::Impl& d) {
  const std::string& h = d.header;
  const std::size_t first = h.find(kSeparator);
  if (first == std::string::npos) return;
  const std::size_t second = h.find(kSeparator, first + 1);
  if (second == std::string::npos || second + 1 >= h.size()) return;
  // The field starts behind the separator and one blank.
  const std::size_t start = second + 2;
  const std::size_t dot = h.find('.', start);
  if (dot != std::string::npos) {
    d.chip_type = h.substr(start, dot - start);
    return;
  }
  const std::size_t third = h.find(kSeparator, start);
  if (third == std::string::npos) return;
  // Without a suffix the field ends before the blank in front of the next separator.
  d.chip_type = third > start ? h.substr(start, third - 1 - start) : std::string();
}

void ApplyHeader(ParvelClass::Impl& d, std::string_view header) {
  d.header.assign(header);
  d.params.clear();
  static constexpr std::string_view kKey = "AlgorithmParameters=";
  const std::size_t at = d.header.find(kKey);
  if (at == std::string::npos) return;
  std::string params = d.header.substr(at + kKey.size());
  for (char& c : params) {
    if (c == ':') c = '=';
    else if (c == ';') c = ' ';
  }
  d.params = params;
  static constexpr std::string_view kMargin = "CellMargin=";
  const std::size_t m = params.find(kMargin);
  if (m == std::string::npos) return;
  const std::size_t value = m + kMargin.size();
  const std::size_t blank = params.find(' ', value);
  if (blank == std::string::npos) {
    d.cell_margin = 0;
    return;
  }
  int margin = 0;
  Scanner s(params.data() + value, params.data() + blank);
  if (!s.Int(margin)) margin = 0;
  d.cell_margin = margin;
}

void TakeGridSizeFromHeader(ParvelClass::Impl& d) {
  const std::string& h = d.header;
  const auto take = [&h](std::string_view key, std::int32_t& out) {
    const std::size_t at = h.find(key);
    if (at == std::string::npos) return;
    Scanner s(h.data() + at + key.size(), h.data() + h.size());
    int v = 0;
    if (s.Int(v)) out = v;
  };
  take("Cols=", d.cols);
  take("Rows=", d.rows);
}

int ScanCorners(const ParvelClass::Impl& d, long* out) {
  const std::string& h = d.header;
  const bool old = d.version == 2;
  const std::size_t at = h.find(old ? "CORNERS=" : "GridCorner");
  if (at == std::string::npos) return 0;
  Scanner s(h.data() + at, h.data() + h.size());
  const std::string_view pattern =
      old ? "CORNERS=%d %d, %d %d, %d %d, %d %d"
          : "GridCornerUL=%d %d GridCornerUR=%d %d GridCornerLR=%d %d GridCornerLL=%d %d";
  return ScanInts(s, pattern, out) == 8 ? 1 : 0;
}

bool ParseParameterLine(ParvelClass::Impl& d, std::string_view line) {
  static constexpr std::string_view kKey = "AlgorithmParameters=";
  Scanner s(line.substr(kKey.size()));
  std::string_view word;
  if (!s.Word(word)) return false;
  // parameters;CellMargin:<int>[;OutlierHigh:<number>[;OutlierLow:<number>]][;...]
  const std::size_t semi = word.find(';');
  if (semi == std::string_view::npos) return false;
  std::string params(word.substr(0, semi));
  Scanner rest(word.substr(semi));
  int margin = 0;
  if (!rest.Literal(";CellMargin:") || !rest.Int(margin)) return false;
  float high = -1.0f, low = -1.0f;
  const std::string_view after = std::string_view(rest.p, static_cast<std::size_t>(rest.end - rest.p));
  const std::size_t h = after.find(';');
  if (h != std::string_view::npos) {
    Scanner hs(after.substr(h));
    if (!hs.Literal(";OutlierHigh:") || !hs.Float(high)) return false;
    const std::size_t l = after.find(';', h + 1);
    if (l != std::string_view::npos) {
      Scanner ls(after.substr(l));
      if (!ls.Literal(";OutlierLow:") || !ls.Float(low)) return false;
    }
  }
  const std::size_t colon = params.find(':');
  if (colon != std::string::npos && colon > 0) params[colon] = '=';
  char tail[128];
  std::snprintf(tail, sizeof tail, " CellMargin=%d OutlierHigh=%.3f OutlierLow=%.3f", margin,
                static_cast<double>(high), static_cast<double>(low));
  d.cell_margin = margin;
  d.params = params + tail;
  return true;
}

}  // namespace parvel
