// Writer of the binary encoding (version 4); see binary_reader.cpp for the layout.
#include <cstring>
#include <vector>

#include "file_io.h"
#include "parvel_impl.h"

namespace parvel {

namespace {

void PutI32(AtomicWriter& w, std::int32_t v) { w.Put(&v, sizeof v); }

void PutText(AtomicWriter& w, const std::string& s) {
  PutI32(w, static_cast<std::int32_t>(s.size()));
  w.Put(s);
}

void PutCoords(AtomicWriter& w, const std::vector<std::uint32_t>& xy) {
  // Each packed value is X in the low and Y in the high half: the two int16 fields in order.
  w.Put(xy.data(), xy.size() * sizeof(std::uint32_t));
}

}  // namespace

int WriteBinary(ParvelClass::Impl& d) {
  if (d.name.empty()) return 0;
  AtomicWriter w;
  if (!w.Open(d.name)) return 0;
  TakeGridSizeFromHeader(d);

  // One pass over the table counts the flags and collects their coordinates in table order.
  std::vector<std::uint32_t> masked, outliers;
  const std::size_t n = d.cells.size();
  for (std::size_t i = 0; i < n; ++i) {
    const CellEntryClass& e = d.cells[i];
    if ((e.MASKED | e.OUTLIER) == 0) continue;
    const std::uint32_t xy = std::uint32_t{e.X} | (std::uint32_t{e.Y} << 16);
    if (e.MASKED != 0) masked.push_back(xy);
    if (e.OUTLIER != 0) outliers.push_back(xy);
  }
  d.n_masked = static_cast<std::uint32_t>(masked.size());
  d.n_outliers = static_cast<std::uint32_t>(outliers.size());

  PutI32(w, 64);
  PutI32(w, 4);
  PutI32(w, d.rows);
  PutI32(w, d.cols);
  PutI32(w, static_cast<std::int32_t>(n));
  PutText(w, d.header);
  PutText(w, d.algorithm);
  PutText(w, d.params);
  PutI32(w, d.cell_margin);
  PutI32(w, static_cast<std::int32_t>(d.n_outliers));
  PutI32(w, static_cast<std::int32_t>(d.n_masked));
  PutI32(w, static_cast<std::int32_t>(d.subgrids.size()));

  // Cell records: MEAN and STDV are the entry's first eight bytes, NPIXELS follows at 12.
  constexpr std::size_t kBlock = 4096;
  for (std::size_t i = 0; i < n;) {
    const std::size_t m = std::min(kBlock, n - i);
    char* out = w.Reserve(m * 10);
    for (std::size_t k = 0; k < m; ++k, ++i) {
      const auto* e = reinterpret_cast<const unsigned char*>(&d.cells[i]);
      std::memcpy(out + 10 * k, e, 8);
      std::memcpy(out + 10 * k + 8, e + 12, 2);
    }
    w.Advance(m * 10);
  }
  PutCoords(w, masked);
  PutCoords(w, outliers);
  w.Put(d.subgrids.data(), d.subgrids.size() * sizeof(SUBGRID));
  return w.Commit() ? 1 : 0;
}

}  // namespace parvel
