// Writers of the text encodings (versions 3 and 2), CR LF line ends.
#include <string>

#include "parvel_impl.h"
#include "text_format.h"

namespace parvel {

namespace {

// "%3d\t%3d\t%.1f\t%.1f\t%3u" and the line end.
void PutCellLines(AtomicWriter& w, const CellStore& cells) {
  const std::size_t n = cells.size();
  for (std::size_t i = 0; i < n; ++i) {
    const CellEntryClass& e = cells[i];
    LineOut o{w.Reserve(kMaxLine)};
    char* start = o.p;
    o.Int(e.X, 3);
    o.Char('\t');
    o.Int(e.Y, 3);
    o.Char('\t');
    o.Fixed(e.MEAN, 1);
    o.Char('\t');
    o.Fixed(e.STDV, 1);
    o.Char('\t');
    o.Int(e.NPIXELS, 3);
    o.Newline();
    w.Advance(static_cast<std::size_t>(o.p - start));
  }
}

void PutLine(AtomicWriter& w, std::string_view text) {
  PutTextLines(w, text);
  w.Put("\r\n", 2);
}

void PutCountLine(AtomicWriter& w, std::string_view key, long long count) {
  LineOut o{w.Reserve(kMaxLine)};
  char* start = o.p;
  o.Text(key);
  o.Int(count);
  o.Newline();
  w.Advance(static_cast<std::size_t>(o.p - start));
}

// A masks or outliers section; returns the count it wrote.
std::uint32_t PutFlagSection(AtomicWriter& w, const CellStore& cells, std::string_view name,
                             std::uint8_t CellEntryClass::*flag) {
  std::uint32_t count = 0;
  const std::size_t n = cells.size();
  for (std::size_t i = 0; i < n; ++i) count += cells[i].*flag != 0;
  PutLine(w, "");
  PutLine(w, name);
  PutCountLine(w, "NumberCells=", count);
  PutLine(w, "CellHeader=X\tY");
  for (std::size_t i = 0; i < n; ++i) {
    const CellEntryClass& e = cells[i];
    if (e.*flag == 0) continue;
    LineOut o{w.Reserve(kMaxLine)};
    char* start = o.p;
    o.Int(e.X);
    o.Char('\t');
    o.Int(e.Y);
    o.Newline();
    w.Advance(static_cast<std::size_t>(o.p - start));
  }
  return count;
}

void PutSubGrid(AtomicWriter& w, const SUBGRID& g) {
  LineOut o{w.Reserve(kMaxLine)};
  char* start = o.p;
  o.Int(g.ROW);
  o.Char('\t');
  o.Int(g.COL);
  for (float v : {g.ULPX, g.ULPY, g.URPX, g.URPY, g.LLPX, g.LLPY, g.LRPX, g.LRPY}) {
    o.Char('\t');
    o.Fixed(v, 1);
  }
  for (std::int32_t v : {g.LEFTC, g.TOPC, g.RIGHTC, g.BOTTOMC}) {
    o.Char('\t');
    o.Int(v);
  }
  o.Newline();
  w.Advance(static_cast<std::size_t>(o.p - start));
}

}  // namespace

int WriteText3(ParvelClass::Impl& d) {
  if (d.name.empty()) return 0;
  AtomicWriter w;
  if (!w.Open(d.name)) return 0;
  PutLine(w, "[CEL]");
  PutCountLine(w, "Version=", d.version);
  PutLine(w, "");
  PutLine(w, "[HEADER]");
  PutTextLines(w, d.header);
  PutLine(w, "");
  PutLine(w, "[INTENSITY]");
  PutCountLine(w, "NumberCells=", static_cast<long long>(d.cells.size()));
  PutLine(w, "CellHeader=X\tY\tMEAN\tSTDV\tNPIXELS");
  PutCellLines(w, d.cells);
  d.n_masked = PutFlagSection(w, d.cells, "[MASKS]", &CellEntryClass::MASKED);
  d.n_outliers = PutFlagSection(w, d.cells, "[OUTLIERS]", &CellEntryClass::OUTLIER);
  PutLine(w, "");
  PutLine(w, "[MODIFIED]");
  PutCountLine(w, "NumberCells=", 0);
  PutLine(w, "CellHeader=X\tY\tORIGMEAN");
  if (!d.subgrids.empty()) {
    PutLine(w, "");
    PutLine(w, "[SUBGRIDS]");
    PutCountLine(w, "NumberSubGrids=", static_cast<long long>(d.subgrids.size()));
    PutLine(w,
            "CellHeader=ROW\tCOL\tULPX\tULPY\tURPX\tURPY\tLLPX\tLLPY\tLRPX\tLRPY\tLEFTC\tTOPC\t"
            "RIGHTC\tBOTTOMC");
    for (const SUBGRID& g : d.subgrids) PutSubGrid(w, g);
  }
  return w.Commit() ? 1 : 0;
}

int WriteText2(ParvelClass::Impl& d) {
  if (d.name.empty()) return 0;
  AtomicWriter w;
  if (!w.Open(d.name)) return 0;
  // The caption joins the stored header text, as files of this version have always done.
  d.header += "X\tY\tMEAN\tSTDV\tNPIXELS\n";
  PutTextLines(w, d.header);
  PutCellLines(w, d.cells);
  return w.Commit() ? 1 : 0;
}

}  // namespace parvel
