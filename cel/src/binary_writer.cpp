// Writer of the binary encoding (version 4); see binary_reader.cpp for the layout.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "io.h"
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

constexpr std::size_t kCellRecord = 10;
constexpr std::size_t kBlock = 4096;  // entries encoded between two looks at the flags

// Writes the records of m <= kBlock entries (MEAN and STDV are an entry's first eight bytes,
// NPIXELS follows at 12) and returns how many entries have a flag set; their positions go to
// flagged. No branches on the data, and no stores the compiler must think alias the table.
std::size_t EncodeCells(const unsigned char* __restrict src, std::size_t m,
                        char* __restrict out, std::uint16_t* __restrict flagged) {
  constexpr std::size_t kPrefetchAhead = 8192;
  std::size_t f = 0;
  for (std::size_t k = 0; k < m; ++k) {
    if ((k & 3) == 0) __builtin_prefetch(src + 16 * k + kPrefetchAhead);
    std::uint64_t values, rest;
    std::memcpy(&values, src + 16 * k, 8);
    std::memcpy(&rest, src + 16 * k + 8, 8);
    const auto npixels = static_cast<std::uint16_t>(rest >> 32);
    std::memcpy(out + kCellRecord * k, &values, 8);
    std::memcpy(out + kCellRecord * k + 8, &npixels, 2);
    flagged[f] = static_cast<std::uint16_t>(k);
    f += (rest >> 48) != 0;
  }
  return f;
}

}  // namespace

int WriteBinary(ParvelClass::Impl& d) {
  if (d.name.empty()) return 0;
  AtomicWriter w;
  if (!w.Open(d.name)) return 0;
  TakeGridSizeFromHeader(d);

  const std::size_t n = d.cells.size();
  PutI32(w, 64);
  PutI32(w, 4);
  PutI32(w, d.rows);
  PutI32(w, d.cols);
  PutI32(w, static_cast<std::int32_t>(n));
  PutText(w, d.header);
  PutText(w, d.algorithm);
  PutText(w, d.params);
  PutI32(w, d.cell_margin);
  // The two flag counts are known once the cells are out; they are filled in then.
  const std::uint64_t counts_at = 4 * 4 + 3 * 4 + d.header.size() + d.algorithm.size() +
                                  d.params.size() + 4 + 4;
  PutI32(w, 0);
  PutI32(w, 0);
  PutI32(w, static_cast<std::int32_t>(d.subgrids.size()));

  // One pass over the table writes the cell records and collects the flagged cells'
  // coordinates in table order.
  std::vector<std::uint32_t> masked, outliers;
  std::uint16_t flagged[kBlock];
  d.cells.ForEachRun([&](const CellEntryClass* run, std::size_t count) {
    const auto* src = reinterpret_cast<const unsigned char*>(run);
    while (count > 0) {
      const std::size_t m = std::min(kBlock, count);
      const std::size_t f = EncodeCells(src, m, w.Reserve(m * kCellRecord), flagged);
      w.Advance(m * kCellRecord);
      for (std::size_t j = 0; j < f; ++j) {
        std::uint64_t rest;
        std::memcpy(&rest, src + 16 * flagged[j] + 8, 8);
        // X in the low and Y in the high half: the two int16 fields in file order.
        const auto xy = static_cast<std::uint32_t>(rest);
        if ((rest >> 56) != 0) masked.push_back(xy);             // MASKED, byte 15
        if (((rest >> 48) & 0xFF) != 0) outliers.push_back(xy);  // OUTLIER, byte 14
      }
      src += 16 * m;
      count -= m;
    }
  });
  d.n_masked = static_cast<std::uint32_t>(masked.size());
  d.n_outliers = static_cast<std::uint32_t>(outliers.size());
  PutCoords(w, masked);
  PutCoords(w, outliers);
  w.Put(d.subgrids.data(), d.subgrids.size() * sizeof(SUBGRID));
  const std::int32_t counts[2] = {static_cast<std::int32_t>(d.n_outliers),
                                  static_cast<std::int32_t>(d.n_masked)};
  w.PatchAt(counts_at, counts, sizeof counts);
  return w.Commit() ? 1 : 0;
}

}  // namespace parvel
