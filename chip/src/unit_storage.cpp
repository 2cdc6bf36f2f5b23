// Shared unit storage: one malloc'ed region laid out as the block's own record, the pairs, the
// cells and the order bytes. Pairs and cells are constructed as units take them (so a unit's
// objects are still in the cache when its record is decoded) and destroyed with the block.
#include "unit_storage.h"

#include "chp_format.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

namespace pendrix71 {

namespace {

constexpr std::size_t kPairsAhead = 64;  // about 5 KB: shorter distances measured slower

constexpr std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

}  // namespace

SharedBlock* SharedBlock::Create(std::size_t pairs, std::size_t cells) {
  constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max() / 4;
  static_assert(alignof(GeneExpressionAtomClass) <= alignof(std::max_align_t));
  static_assert(alignof(CellClass) <= alignof(std::max_align_t));
  if (pairs > kMax / sizeof(GeneExpressionAtomClass) || cells > kMax / (sizeof(CellClass) + 1))
    return nullptr;
  const std::size_t pairsAt = RoundUp(sizeof(SharedBlock), alignof(std::max_align_t));
  const std::size_t cellsAt =
      RoundUp(pairsAt + pairs * sizeof(GeneExpressionAtomClass), alignof(CellClass));
  const std::size_t orderAt = cellsAt + cells * sizeof(CellClass);
  void* raw = std::malloc(orderAt + cells);
  if (raw == nullptr) return nullptr;
  auto* base = static_cast<unsigned char*>(raw);
  auto* block = new (raw) SharedBlock();
  block->pairs_ = reinterpret_cast<GeneExpressionAtomClass*>(base + pairsAt);
  block->pairCapacity_ = pairs;
  block->cells_ = reinterpret_cast<CellClass*>(base + cellsAt);
  block->order_ = base + orderAt;
  block->cellCapacity_ = cells;
  return block;
}

SharedBlock::~SharedBlock() {
  for (std::size_t i = 0; i < pairsMade_; ++i) pairs_[i].~GeneExpressionAtomClass();
  for (std::size_t i = 0; i < cellsMade_; ++i) cells_[i].~CellClass();
}

void SharedBlock::Release() noexcept {
  if (refs_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  this->~SharedBlock();
  std::free(this);
}

bool SharedBlock::HoldsPair(const void* p) const noexcept {
  // Compared as addresses: p may point into another array.
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const auto first = reinterpret_cast<std::uintptr_t>(pairs_);
  return at >= first && at - first < pairsMade_ * sizeof(GeneExpressionAtomClass);
}

GeneExpressionAtomClass* SharedBlock::TakePairs(std::size_t n,
                                                const unsigned char* records) noexcept {
  if (n > pairCapacity_ - pairsMade_) return nullptr;
  GeneExpressionAtomClass* first = pairs_ + pairsMade_;
  // Pairs are written to memory that is rarely cached: asking for the lines well ahead keeps
  // many of them in flight instead of stalling on each.
  // (The address may lie past the block: a prefetch never faults, and it is formed as an
  // integer, not as a pointer past the array.)
  const auto prefetch = [](const GeneExpressionAtomClass* at) {
    const std::uintptr_t ahead =
        reinterpret_cast<std::uintptr_t>(at) + kPairsAhead * sizeof(GeneExpressionAtomClass);
    __builtin_prefetch(reinterpret_cast<const void*>(ahead), 1);
    __builtin_prefetch(reinterpret_cast<const void*>(ahead + 64), 1);
  };
  if (records != nullptr) {
    // Inlined, the decoding overwrites the constructor's values before they are stored: each
    // pair's memory is written once.
    for (std::size_t i = 0; i < n; ++i) {
      prefetch(first + i);
      const chp::Pair13 record(records + i * chp::kPairBytes13);
      record.StoreInto(*new (first + i) GeneExpressionAtomClass(), static_cast<int>(i));
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      prefetch(first + i);
      new (first + i) GeneExpressionAtomClass();
    }
  }
  pairsMade_ += n;
  return first;
}

bool SharedBlock::TakeCells(std::size_t n, CellClass*& cells, unsigned char*& order) noexcept {
  if (n > cellCapacity_ - cellsMade_) return false;
  cells = cells_ + cellsMade_;
  order = order_ + cellsMade_;
  for (std::size_t i = 0; i < n; ++i) {
    new (cells + i) CellClass();
    order[i] = 0;
  }
  cellsMade_ += n;
  return true;
}

// ---- UnitStorage

namespace {

void TakeReference(SharedBlock& block, long* deferred) {
  if (deferred != nullptr) ++*deferred;
  else block.Retain();
}

}  // namespace

int UnitStorage::AttachAtoms(UnitClass& u, SharedBlock& block, int atoms, int cellsPerAtom,
                             long* deferred) {
  if (atoms < 0 || cellsPerAtom < 0 || cellsPerAtom > 255) return CHIP_INSUFFICIENT_MEMORY;
  if (atoms == 0) return CHIP_SUCCESS;
  AtomClass* fresh = new (std::nothrow) AtomClass[atoms];
  if (fresh == nullptr) return CHIP_INSUFFICIENT_MEMORY;
  for (int i = 0; i < atoms && cellsPerAtom > 0; ++i) {
    AtomClass& a = fresh[i];
    if (!block.TakeCells(static_cast<std::size_t>(cellsPerAtom), a.cells, a.cellOrder)) {
      // The cells taken so far stay in the block; these atoms do not own them.
      delete[] fresh;
      return CHIP_INSUFFICIENT_MEMORY;
    }
    a.numberOfCells = static_cast<std::uint8_t>(cellsPerAtom);
    a.sharedCells_ = true;
  }
  TakeReference(block, deferred);
  u.storage_ = &block;
  u.atoms = fresh;
  u.numberOfAtoms = atoms;
  return CHIP_SUCCESS;
}

int UnitStorage::AttachPairs(GeneExpressionUnitClass& u, SharedBlock& block, int pairs,
                             long* deferred, const unsigned char* records) {
  if (pairs < 0) return CHIP_INSUFFICIENT_MEMORY;
  if (pairs == 0) return CHIP_SUCCESS;
  GeneExpressionAtomClass* first = block.TakePairs(static_cast<std::size_t>(pairs), records);
  if (first == nullptr) return CHIP_INSUFFICIENT_MEMORY;
  TakeReference(block, deferred);
  u.storage_ = &block;
  u.atoms = first;
  u.numberOfAtoms = pairs;
  return CHIP_SUCCESS;
}

void UnitStorage::DropAtoms(UnitClass& u) {
  delete[] u.atoms;  // atoms whose cells lie in the block leave them to it
  u.atoms = nullptr;
  u.numberOfAtoms = 0;
  if (u.storage_ != nullptr) u.storage_->Release();
  u.storage_ = nullptr;
}

void UnitStorage::DropPairs(GeneExpressionUnitClass& u) {
  // A caller may have replaced the pairs by an array of its own: that one is deleted.
  if (u.storage_ == nullptr || !u.storage_->HoldsPair(u.atoms)) delete[] u.atoms;
  u.atoms = nullptr;
  u.numberOfAtoms = 0;
  if (u.storage_ != nullptr) u.storage_->Release();
  u.storage_ = nullptr;
}

}  // namespace pendrix71
