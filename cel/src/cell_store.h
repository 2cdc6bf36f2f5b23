// The cell table: entries never move once created (callers keep pointers to entries), and
// index i is a compare, a shift and a mask away. A table read from a file has its size known
// up front and lives in one block of exactly that many entries; entries appended later go into
// fixed-size chunks after it.
#ifndef TESK_CEL_SRC_CELL_STORE_H_
#define TESK_CEL_SRC_CELL_STORE_H_

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "tesk/parvel.h"

namespace parvel {

class CellStore {
 public:
  static constexpr std::size_t kShift = 16;
  static constexpr std::size_t kChunk = std::size_t{1} << kShift;  // entries per chunk (1 MiB)
  static constexpr std::size_t kMask = kChunk - 1;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  CellEntryClass& operator[](std::size_t i) { return *Slot(i); }
  const CellEntryClass& operator[](std::size_t i) const {
    return *const_cast<CellStore*>(this)->Slot(i);
  }

  void clear() {
    chunks_.clear();
    first_.reset();
    first_n_ = 0;
    size_ = 0;
  }

  // Appends a copy of e; returns the new entry.
  CellEntryClass* push_back(const CellEntryClass& e) {
    const std::size_t j = size_ - first_n_;
    if ((j & kMask) == 0 && (j >> kShift) == chunks_.size()) chunks_.push_back(Allocate(kChunk));
    CellEntryClass* slot = &chunks_[j >> kShift][j & kMask];
    ::new (static_cast<void*>(slot)) CellEntryClass(e);
    ++size_;
    return slot;
  }

  // Makes an empty table n entries long, in one block whose storage the caller fills before
  // reading it (or empties the table again with clear()). 64-byte aligned.
  CellEntryClass* AssignRaw(std::size_t n) {
    clear();
    if (n == 0) return nullptr;
    first_ = Allocate(n);
    first_n_ = size_ = n;
    return first_.get();
  }

  // Calls f(entries, count) for the table's contiguous runs, in table order.
  template <class F>
  void ForEachRun(F&& f) const {
    if (first_n_ > 0) f(static_cast<const CellEntryClass*>(first_.get()), first_n_);
    std::size_t left = size_ - first_n_;
    for (std::size_t c = 0; left > 0; ++c) {
      const std::size_t m = left < kChunk ? left : kChunk;
      f(static_cast<const CellEntryClass*>(chunks_[c].get()), m);
      left -= m;
    }
  }

 private:
  static constexpr std::align_val_t kAlign{64};
  struct Free {
    void operator()(CellEntryClass* p) const { ::operator delete(static_cast<void*>(p), kAlign); }
  };
  using Block = std::unique_ptr<CellEntryClass[], Free>;

  // Raw storage: CellEntryClass is trivially copyable, so entries come to life as they are
  // written (no zeroing pass over memory that is about to be overwritten).
  static Block Allocate(std::size_t n) {
    return Block(static_cast<CellEntryClass*>(::operator new(n * sizeof(CellEntryClass), kAlign)));
  }

  CellEntryClass* Slot(std::size_t i) {
    if (i < first_n_) return &first_[i];
    const std::size_t j = i - first_n_;
    return &chunks_[j >> kShift][j & kMask];
  }

  Block first_;                // the block of a table read from a file, first_n_ entries
  std::size_t first_n_ = 0;
  std::vector<Block> chunks_;  // kChunk entries each
  std::size_t size_ = 0;
};

}  // namespace parvel

#endif  // TESK_CEL_SRC_CELL_STORE_H_
