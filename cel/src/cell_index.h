// Constant-time lookup of "the first entry in table order at (x, y)".
//
// Tables read from files are normally positional: entry i sits at (i mod w, i div w) for the
// grid width w, so the answer is entry y*w + x and only needs a check. Tables in any other
// order get a hash index from position to first entry, built once and then kept up to date as
// entries are appended.
#ifndef TESK_CEL_SRC_CELL_INDEX_H_
#define TESK_CEL_SRC_CELL_INDEX_H_

#include <cstdint>
#include <vector>

#include "cell_store.h"

namespace parvel {

class CellIndex {
 public:
  // Forget everything (the table was replaced or cleared).
  void Reset() {
    width_ = 0;
    slots_.clear();
    used_ = 0;
    built_ = false;
  }
  // The table is known to be positional with width w (w > 0).
  void SetPositional(std::int64_t w) {
    Reset();
    width_ = w;
  }
  // Entry `index` was just appended to `cells`.
  void Appended(const CellStore& cells, std::size_t index);
  // Index of the first entry at (x, y), or -1.
  std::int64_t Find(const CellStore& cells, int x, int y, int cols_hint);

 private:
  static std::uint32_t Key(unsigned x, unsigned y) { return (y << 16) | x; }
  void Build(const CellStore& cells, int cols_hint);
  bool TryPositional(const CellStore& cells, std::int64_t w);
  void Insert(std::uint32_t key, std::uint32_t index);
  std::int64_t Lookup(std::uint32_t key) const;

  std::int64_t width_ = 0;  // > 0: positional with this width
  // Open addressing: slot = (key, index + 1); index + 1 == 0 marks an empty slot.
  std::vector<std::uint64_t> slots_;
  std::size_t used_ = 0;
  bool built_ = false;
};

}  // namespace parvel

#endif  // TESK_CEL_SRC_CELL_INDEX_H_
