// The cell table: entries live in fixed-size chunks, so an entry never moves once created
// (callers keep pointers to entries) and index i is a shift and a mask away.
#ifndef TESK_PARVEL_CELL_STORE_H_
#define TESK_PARVEL_CELL_STORE_H_

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

  CellEntryClass& operator[](std::size_t i) { return chunks_[i >> kShift][i & kMask]; }
  const CellEntryClass& operator[](std::size_t i) const {
    return chunks_[i >> kShift][i & kMask];
  }

  void clear() {
    chunks_.clear();
    size_ = 0;
  }

  // Appends a copy of e; returns the new entry.
  CellEntryClass* push_back(const CellEntryClass& e) {
    if ((size_ & kMask) == 0 && (size_ >> kShift) == chunks_.size()) AddChunk();
    CellEntryClass* slot = &chunks_[size_ >> kShift][size_ & kMask];
    ::new (static_cast<void*>(slot)) CellEntryClass(e);
    ++size_;
    return slot;
  }

  // Grows the table by n entries whose storage the caller fills through Chunk() before reading
  // them. Chunks are whole, so the raw storage of a chunk is kChunk entries long.
  void GrowRaw(std::size_t n) {
    const std::size_t need = (size_ + n + kMask) >> kShift;
    chunks_.reserve(need);
    while (chunks_.size() < need) AddChunk();
    size_ += n;
  }

  CellEntryClass* Chunk(std::size_t c) { return chunks_[c].get(); }

  // Drops entries from the end (n <= size()); used when a fill stops early.
  void Truncate(std::size_t n) {
    size_ = n;
    chunks_.resize((n + kMask) >> kShift);
  }

 private:
  struct Free {
    void operator()(CellEntryClass* p) const { ::operator delete(static_cast<void*>(p)); }
  };
  using ChunkPtr = std::unique_ptr<CellEntryClass[], Free>;

  void AddChunk() {
    // Raw storage: CellEntryClass is trivially copyable, so entries come to life as they are
    // written (no zeroing pass over memory that is about to be overwritten).
    void* raw = ::operator new(kChunk * sizeof(CellEntryClass));
    chunks_.emplace_back(static_cast<CellEntryClass*>(raw));
  }

  std::vector<ChunkPtr> chunks_;
  std::size_t size_ = 0;
};

}  // namespace parvel

#endif  // TESK_PARVEL_CELL_STORE_H_
