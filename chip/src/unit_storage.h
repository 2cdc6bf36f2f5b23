// Storage shared by the units of a chip: one allocation holding the probe pairs of expression
// units and the cells and cell order bytes of tiling atoms. Building a chip this way costs one
// allocation instead of one or two per unit or atom. Units that use a block hold a reference to
// it; the last reference destroys the objects made in it and frees it.
#ifndef TESK_CHIP_SRC_UNIT_STORAGE_H_
#define TESK_CHIP_SRC_UNIT_STORAGE_H_

#include <atomic>
#include <cstddef>

#include "tesk/pendrix71.h"

namespace pendrix71 {

class SharedBlock {
 public:
  // Room for `pairs` expression pairs and `cells` cells (with one order byte each), held by
  // the caller's reference; null when out of memory.
  static SharedBlock* Create(std::size_t pairs, std::size_t cells);

  void Retain(long n = 1) noexcept { refs_.fetch_add(n, std::memory_order_relaxed); }
  void Release() noexcept;

  // True when p points at a pair made in this block.
  bool HoldsPair(const void* p) const noexcept;
  // The next n pairs, constructed, or made from n version-13 pair records when records is
  // not null; null when the block has no room left.
  GeneExpressionAtomClass* TakePairs(std::size_t n,
                                     const unsigned char* records = nullptr) noexcept;
  // The next n cells, constructed, and n zero order bytes; false when there is no room left.
  bool TakeCells(std::size_t n, CellClass*& cells, unsigned char*& order) noexcept;

 private:
  SharedBlock() = default;
  ~SharedBlock();

  std::atomic<long> refs_{1};
  GeneExpressionAtomClass* pairs_ = nullptr;
  std::size_t pairCapacity_ = 0;
  std::size_t pairsMade_ = 0;
  CellClass* cells_ = nullptr;
  unsigned char* order_ = nullptr;
  std::size_t cellCapacity_ = 0;
  std::size_t cellsMade_ = 0;
};

// Ties units to shared blocks (a friend of the unit and atom classes).
struct UnitStorage {
  // Gives u `atoms` atoms of cellsPerAtom cells taken from block; the unit must hold no atoms.
  // 0, or 14 (the unit then holds none). A unit given atoms keeps a reference to the block:
  // taken here, or, with `deferred`, counted there for the caller to add (Retain) before the
  // unit can be destroyed. Each atomic increment waits for every store before it, which made
  // one per unit the slowest step of a read.
  static int AttachAtoms(UnitClass& u, SharedBlock& block, int atoms, int cellsPerAtom,
                         long* deferred = nullptr);
  // Gives u `pairs` pairs taken from block, the same way, made from their version-13 records
  // when records is not null; the unit must hold none. 0, or 14.
  static int AttachPairs(GeneExpressionUnitClass& u, SharedBlock& block, int pairs,
                         long* deferred = nullptr, const unsigned char* records = nullptr);
  // Drops the unit's atoms or pairs and its reference to its block.
  static void DropAtoms(UnitClass& u);
  static void DropPairs(GeneExpressionUnitClass& u);
};

// A reference held by the code that fills a block.
class SharedBlockRef {
 public:
  explicit SharedBlockRef(SharedBlock* block) : block_(block) {}
  ~SharedBlockRef() {
    if (block_ != nullptr) block_->Release();
  }
  SharedBlockRef(const SharedBlockRef&) = delete;
  SharedBlockRef& operator=(const SharedBlockRef&) = delete;
  SharedBlock* get() const { return block_; }

 private:
  SharedBlock* block_;
};

}  // namespace pendrix71

#endif  // TESK_CHIP_SRC_UNIT_STORAGE_H_
