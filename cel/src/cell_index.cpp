#include "cell_index.h"

namespace parvel {

namespace {

inline std::uint64_t Hash(std::uint32_t key) {
  std::uint64_t h = key * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

inline bool At(const CellEntryClass& e, int x, int y) { return e.X == x && e.Y == y; }

}  // namespace

bool CellIndex::TryPositional(const CellStore& cells, std::int64_t w) {
  if (w <= 0 || w > 65536) return false;
  const std::size_t n = cells.size();
  if (n > 0 && static_cast<std::int64_t>((n - 1) / static_cast<std::size_t>(w)) > 65535) {
    return false;
  }
  std::int64_t x = 0, y = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const CellEntryClass& e = cells[i];
    if (e.X != x || e.Y != y) return false;
    if (++x == w) {
      x = 0;
      ++y;
    }
  }
  SetPositional(w);
  return true;
}

void CellIndex::Insert(std::uint32_t key, std::uint32_t index) {
  if ((used_ + 1) * 2 > slots_.size()) {
    std::vector<std::uint64_t> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
    used_ = 0;
    for (std::uint64_t s : old) {
      if (static_cast<std::uint32_t>(s) != 0) {
        Insert(static_cast<std::uint32_t>(s >> 32), static_cast<std::uint32_t>(s) - 1);
      }
    }
  }
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
    std::uint64_t& s = slots_[i];
    if (static_cast<std::uint32_t>(s) == 0) {
      s = (std::uint64_t{key} << 32) | (std::uint64_t{index} + 1);
      ++used_;
      return;
    }
    if (static_cast<std::uint32_t>(s >> 32) == key) return;  // the first entry stays
  }
}

std::int64_t CellIndex::Lookup(std::uint32_t key) const {
  if (slots_.empty()) return -1;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
    const std::uint64_t s = slots_[i];
    if (static_cast<std::uint32_t>(s) == 0) return -1;
    if (static_cast<std::uint32_t>(s >> 32) == key) return static_cast<std::uint32_t>(s) - 1;
  }
}

void CellIndex::Build(const CellStore& cells, int cols_hint) {
  Reset();
  // Prefer the positional form: the grid width, or the position of the first entry of row 1.
  if (TryPositional(cells, cols_hint)) return;
  const std::size_t n = cells.size();
  if (n > 0 && cells[0].X == 0 && cells[0].Y == 0) {
    for (std::size_t i = 1; i < n && i <= 65536; ++i) {
      if (cells[i].Y != 0) {
        if (cells[i].X == 0 && cells[i].Y == 1 && TryPositional(cells, static_cast<int>(i))) {
          return;
        }
        break;
      }
    }
    if (n <= 65536 && TryPositional(cells, static_cast<std::int64_t>(n))) return;
  }
  // Table indexes are 32-bit here; a table of more than 2^32 - 1 entries cannot come from a
  // file (its count field is 32-bit), and such a table would simply not be indexed past that.
  std::size_t cap = 64;
  while (cap < n * 2) cap *= 2;
  slots_.assign(cap, 0);
  for (std::size_t i = 0; i < n && i < 0xFFFFFFFEu; ++i) {
    Insert(Key(cells[i].X, cells[i].Y), static_cast<std::uint32_t>(i));
  }
  built_ = true;
}

void CellIndex::Appended(const CellStore& cells, std::size_t index) {
  const CellEntryClass& e = cells[index];
  if (width_ > 0) {
    const std::int64_t w = width_;
    if (e.X == static_cast<std::int64_t>(index) % w &&
        e.Y == static_cast<std::int64_t>(index) / w) {
      return;  // still positional
    }
    Reset();  // rebuilt on the next lookup
    return;
  }
  if (built_ && index < 0xFFFFFFFEu) Insert(Key(e.X, e.Y), static_cast<std::uint32_t>(index));
}

std::int64_t CellIndex::Find(const CellStore& cells, int x, int y, int cols_hint) {
  if (x < 0 || y < 0 || x > 65535 || y > 65535 || cells.empty()) return -1;
  // Two rounds: an entry whose X or Y a caller changed through its pointer makes the index
  // stale; a failed check rebuilds it once.
  for (int round = 0; round < 2; ++round) {
    if (width_ == 0 && !built_) Build(cells, cols_hint);
    std::int64_t i;
    if (width_ > 0) {
      if (x >= width_) return -1;
      i = static_cast<std::int64_t>(y) * width_ + x;
      if (static_cast<std::size_t>(i) >= cells.size()) return -1;
    } else {
      i = Lookup(Key(static_cast<unsigned>(x), static_cast<unsigned>(y)));
      if (i < 0) return -1;
    }
    if (At(cells[static_cast<std::size_t>(i)], x, y)) return i;
    Reset();
  }
  return -1;
}

}  // namespace parvel
