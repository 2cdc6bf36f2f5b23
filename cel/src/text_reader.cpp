// Readers of the text encodings. Version 3 is sectioned ([CEL], [HEADER], [INTENSITY], [MASKS],
// [OUTLIERS], [MODIFIED], optional [SUBGRIDS]); version 2 is two header lines, a caption line
// and one line per cell.
#include <string>

#include "cell_parse.h"
#include "parvel_impl.h"
#include "scan.h"
#include "io.h"

namespace parvel {

namespace {

void Append(std::string& text, const Line& l) {
  text.append(l.begin, l.chars);
  if (l.has_newline) text.push_back('\n');
}

// Skips lines up to and including one that begins with `key`; false at the end of the file.
bool SkipTo(LineReader& r, Line& l, std::string_view key) {
  while (r.Next(l)) {
    if (l.StartsWith(key)) return true;
  }
  return false;
}

// "<key>%d" on the next line; `out` keeps its value when the line does not match.
void ReadCount(LineReader& r, std::string_view key, int& out) {
  Line l;
  if (!r.Next(l)) return;
  Scanner s(l.View());
  int v = 0;
  if (s.Literal(key) && s.Int(v)) out = v;
}

// Tracks whether entries arrive in row-major order of the grid, which makes lookups by
// position a plain index.
class OrderCheck {
 public:
  explicit OrderCheck(std::int64_t cols) : cols_(cols), ok_(cols > 0 && cols <= 65536) {}
  void See(const CellEntryClass& e) {
    if (!ok_) return;
    if (e.X != x_ || e.Y != y_) ok_ = false;
    if (++x_ == cols_) {
      x_ = 0;
      ++y_;
    }
  }
  void Apply(CellIndex& index) const {
    if (ok_) index.SetPositional(cols_);
    else index.Reset();
  }

 private:
  std::int64_t cols_;
  bool ok_;
  std::int64_t x_ = 0, y_ = 0;
};

// Cell lines while their length is more than 3 (version 3) or up to the end (version 2). A
// table never grows past rows x cols entries.
bool ReadCells(ParvelClass::Impl& d, LineReader& r, bool stop_at_short) {
  if (d.rows < 0 || d.cols < 0) return false;
  const std::int64_t expected = std::int64_t{d.rows} * d.cols;
  OrderCheck order(d.cols);
  std::int64_t count = 0;
  Line l;
  while (r.Next(l)) {
    if (stop_at_short && l.Length() <= 3) break;
    if (count == expected) return false;
    CellEntryClass e;
    StoreCell(e, l.begin, l.end());
    order.See(*d.cells.push_back(e));
    ++count;
  }
  order.Apply(d.index);
  return count == expected;
}

// A masks or outliers section: announced count, caption, then "x y" lines.
bool ReadFlags(ParvelClass::Impl& d, LineReader& r, std::string_view section,
               std::uint32_t& stored_count, std::uint8_t CellEntryClass::*flag) {
  Line l;
  if (!SkipTo(r, l, section)) return false;
  int announced = 0;
  ReadCount(r, "NumberCells=", announced);
  stored_count = static_cast<std::uint32_t>(announced);
  r.Next(l);  // caption
  std::int64_t lines = 0;
  while (r.Next(l) && l.Length() > 3) {
    if (++lines > announced) return false;
    Scanner s(l.View());
    int x = 0, y = 0;
    if (!s.Int(x) || !s.Int(y)) return false;
    if (x < 0 || y < 0 || x >= d.cols || y >= d.rows) return false;
    d.cells[static_cast<std::size_t>(std::int64_t{y} * d.cols + x)].*flag = 1;
  }
  return lines == announced;
}

bool ReadModified(LineReader& r) {
  Line l;
  if (!SkipTo(r, l, "[MODIFIED]")) return false;
  int announced = 0;
  ReadCount(r, "NumberCells=", announced);
  r.Next(l);  // caption
  std::int64_t lines = 0;
  while (r.Next(l) && l.Length() > 3) ++lines;
  return lines == announced;
}

bool ParseSubGrid(const Line& l, SUBGRID& g) {
  Scanner s(l.View());
  int v[6];
  float f[8];
  if (!s.Int(v[0]) || !s.Int(v[1])) return false;
  for (float& x : f) {
    if (!s.Float(x)) return false;
  }
  for (int k = 2; k < 6; ++k) {
    if (!s.Int(v[k])) return false;
  }
  g = SUBGRID{v[0], v[1], f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7],
              v[2], v[3], v[4], v[5]};
  return true;
}

int ReadSubGrids(ParvelClass::Impl& d, LineReader& r) {
  Line l;
  if (!SkipTo(r, l, "[SUBGRIDS]")) return 1;  // the section is optional
  int announced = 0;
  ReadCount(r, "NumberSubGrids=", announced);
  r.Next(l);  // caption
  std::int64_t lines = 0;
  while (r.Next(l) && l.Length() > 3) {
    if (++lines > announced) return 0;
    SUBGRID g;
    if (!ParseSubGrid(l, g)) return 0;
    d.subgrids.push_back(g);
  }
  return lines == announced ? 1 : 0;
}

int ReadVersion3(ParvelClass::Impl& d, LineReader& r, bool header_only) {
  Line l;
  if (!SkipTo(r, l, "[HEADER]")) return 0;
  // Cols= and Rows= open the header text.
  int v = 0;
  if (!r.Next(l)) return 0;
  if (Scanner s(l.View()); s.Literal("Cols=") && s.Int(v)) d.cols = v;
  d.header.clear();
  Append(d.header, l);
  if (!r.Next(l)) return 0;
  if (Scanner s(l.View()); s.Literal("Rows=") && s.Int(v)) d.rows = v;
  Append(d.header, l);
  // Further header lines up to and including AlgorithmParameters=.
  for (;;) {
    if (!r.Next(l)) return 0;
    Append(d.header, l);
    if (l.StartsWith("AlgorithmParameters=")) {
      if (!ParseParameterLine(d, l.View())) return 0;
      break;
    }
    if (l.StartsWith("Algorithm=")) {
      Scanner s(l.View().substr(10));
      std::string_view word;
      if (s.Word(word)) d.algorithm.assign(word);
    }
  }
  DeriveChipType(d);
  if (header_only) return 1;

  if (!SkipTo(r, l, "[INTENSITY]")) return 0;
  r.Next(l);  // NumberCells= (the grid size decides)
  r.Next(l);  // CellHeader=
  if (!ReadCells(d, r, true)) return 0;
  if (!ReadFlags(d, r, "[MASKS]", d.n_masked, &CellEntryClass::MASKED)) return 0;
  if (!ReadFlags(d, r, "[OUTLIERS]", d.n_outliers, &CellEntryClass::OUTLIER)) return 0;
  if (!ReadModified(r)) return 0;
  return ReadSubGrids(d, r);
}

int ReadVersion2(ParvelClass::Impl& d, LineReader& r, const Line& first, bool header_only) {
  std::string header;
  Append(header, first);
  Line l;
  if (!r.Next(l)) return 0;
  Append(header, l);
  d.header = std::move(header);
  if (!r.Next(l)) return 0;  // the caption line is not part of the header
  Scanner s(d.header);
  int v = 0;
  if (s.Literal("COLS/ROWS=") && s.Int(v)) {
    d.cols = v;
    if (s.Int(v)) d.rows = v;
  }
  DeriveChipType(d);
  if (header_only) return 1;
  return ReadCells(d, r, false) ? 1 : 0;
}

}  // namespace

int ReadText(ParvelClass::Impl& d, Bytes bytes, bool header_only) {
  const char* begin = reinterpret_cast<const char*>(bytes.data());
  LineReader r(begin, begin + bytes.size(), kLinePiece);
  Line first;
  if (!r.Next(first)) return 0;
  if (first.StartsWith("[CEL]")) {
    d.version = 3;
    return ReadVersion3(d, r, header_only);
  }
  if (first.StartsWith("COLS/ROWS=")) {
    d.version = 2;
    return ReadVersion2(d, r, first, header_only);
  }
  return 0;
}

}  // namespace parvel
