// Resequencing atom computations: atom order, wild-type sequence, target cell, intensity
// ranking and the ratios derived from it, and sequence padding.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "tesk/pendrix71.h"

#include "cdf_parse.h"

namespace {

const char* TextOf(const String& s) { return s.c_str(); }

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// d when d > 1, else 1 (also for a non-number).
float Clamp(float d) { return d > 1.0f ? d : 1.0f; }

// Background-corrected intensity of cell c, clamped at 1.
float Corrected(const AtomClass& a, int c) { return Clamp(a.cells[c].intensity - a.background); }

}  // namespace

// --- compare callbacks -------------------------------------------------------------------------

int CompareAtomNumber(const void* a, const void* b) {
  return static_cast<int>(static_cast<const AtomClass*>(a)->atomNumber) -
         static_cast<int>(static_cast<const AtomClass*>(b)->atomNumber);
}

int CompareAtomNode(const void* key, const void* atom) {
  return *static_cast<const int*>(key) -
         static_cast<int>(static_cast<const AtomClass*>(atom)->atomNumber);
}

int CompareUnitAtom(const void* a, const void* b) {
  const auto* x = static_cast<const AtomClass*>(a);
  const auto* y = static_cast<const AtomClass*>(b);
  if (x->unitNumber != y->unitNumber) return x->unitNumber < y->unitNumber ? -1 : 1;
  return static_cast<int>(x->atomNumber) - static_cast<int>(y->atomNumber);
}

int CompareUnitBlock(const void* a, const void* b) {
  const auto* x = static_cast<const AtomClass*>(a);
  const auto* y = static_cast<const AtomClass*>(b);
  if (x->unitNumber != y->unitNumber) return x->unitNumber < y->unitNumber ? -1 : 1;
  return static_cast<int>(x->blockNumber) - static_cast<int>(y->blockNumber);
}

int CompareIntensity(const void* a, const void* b) {
  const float x = static_cast<const CellClass*>(a)->intensity;
  const float y = static_cast<const CellClass*>(b)->intensity;
  if (x < y) return 1;
  if (x > y) return -1;
  return 0;
}

// --- AtomClass -----------------------------------------------------------------------------------

int AtomClass::ComputeTargetIndex(char base) {
  for (int i = 0; i < numberOfCells; ++i)
    if (pendrix71::ComplementBase(cells[i].probeBase) == base) return i;
  return 0;
}

void AtomClass::SortByIndex() {
  const int n = numberOfCells;
  if (n == 0 || cells == nullptr || cellOrder == nullptr) return;
  float keys[256];
  int index[256];
  for (int i = 0; i < n; ++i) keys[i] = cells[i].intensity;
  HeapSortIndex(n, keys, index);
  for (int k = 0; k < n; ++k) cellOrder[n - 1 - k] = static_cast<unsigned char>(index[k]);
}

float AtomClass::DetermineMaxRatio() {
  // The ratios read cellOrder[0..3]; an atom with fewer cells has no such contrast.
  if (numberOfCells < 2) return 1.0f;
  return Corrected(*this, cellOrder[0]) / Corrected(*this, cellOrder[1]);
}

float AtomClass::DetermineSecondRatio() {
  if (numberOfCells < 3) return 1.0f;
  return Corrected(*this, cellOrder[1]) / Corrected(*this, cellOrder[2]);
}

float AtomClass::DetermineThirdRatio() {
  if (numberOfCells < 4) return 1.0f;
  return Corrected(*this, cellOrder[2]) / Corrected(*this, cellOrder[3]);
}

float AtomClass::DetermineTargetRatio(int cell) {
  if (cell < 0 || cell >= numberOfCells) return 1.0f;
  int other = 0;
  for (int k = 0; k < numberOfCells; ++k) {
    if (cellOrder[k] != cell) {
      other = cellOrder[k];
      break;
    }
  }
  return Corrected(*this, cell) / Corrected(*this, other);
}

float AtomClass::DetermineWeightedRatio(int cell) {
  if (cell < 0 || cell >= numberOfCells) return 1.0f;
  float sum = 0.0f;
  for (int c = 0; c < numberOfCells; ++c) sum += Corrected(*this, c);
  return Corrected(*this, cell) / sum;
}

// --- UnitClass -----------------------------------------------------------------------------------

void UnitClass::ProcessUnitData() {
  SortAtomData();
  ComputeWTSeq();
  ComputeAtomData();
}

void UnitClass::SortAtomData() {
  if (numberOfAtoms > 1 && atoms != nullptr)
    std::qsort(atoms, static_cast<std::size_t>(numberOfAtoms), sizeof(AtomClass),
               CompareAtomNumber);
}

int UnitClass::DetermineMaxAtom() {
  int best = -1;
  for (int i = 0; i < numberOfAtoms; ++i)
    if (static_cast<int>(atoms[i].atomNumber) > best) best = atoms[i].atomNumber;
  return best;
}

int GeneExpressionUnitClass::DetermineMaxAtom() {
  int best = -1;
  for (int i = 0; i < numberOfAtoms; ++i)
    if (static_cast<int>(atoms[i].atomNumber) > best) best = atoms[i].atomNumber;
  return best;
}

AtomClass* UnitClass::operator[](int n) {
  if (numberOfAtoms <= 0 || atoms == nullptr) return nullptr;
  return static_cast<AtomClass*>(std::bsearch(&n, atoms, static_cast<std::size_t>(numberOfAtoms),
                                              sizeof(AtomClass), CompareAtomNode));
}

void UnitClass::ComputeWTSeq() {
  std::string seq(static_cast<std::size_t>(numberOfAtoms > 0 ? numberOfAtoms : 0), ' ');
  for (int i = 0; i < numberOfAtoms; ++i) {
    const AtomClass& atom = atoms[i];
    for (int c = 0; c < atom.numberOfCells; ++c) {
      if (atom.cells[c].targetBase != ' ') {
        seq[static_cast<std::size_t>(i)] = Lower(atom.cells[c].targetBase);
        break;
      }
    }
  }
  wildTypeSequence = seq.c_str();
}

void UnitClass::ComputeAtomData() {
  const int n = DetermineMaxAtom() + 2;
  const char* wt = TextOf(wildTypeSequence);
  const std::size_t wtLength = std::strlen(wt);
  auto visit = [&](AtomClass* atom, int i) {
    const char base = static_cast<std::size_t>(i) < wtLength ? Lower(wt[i]) : ' ';
    atom->targetIndex = static_cast<signed char>(atom->ComputeTargetIndex(base));
    atom->SortByIndex();
  };
  if (static_cast<std::size_t>(n) > std::strlen(TextOf(calledSequence))) {
    for (int i = 0; i < numberOfAtoms; ++i) visit(&atoms[i], i);
  } else {
    for (int i = 0; i < n; ++i)
      if (AtomClass* atom = (*this)[i]) visit(atom, i);
  }
}

int UnitClass::PadUnit() {
  const int m = DetermineMaxAtom();
  if (m + 1 <= numberOfAtoms) return 0;
  try {
    std::string wt(static_cast<std::size_t>(m) + 1, ' ');
    std::string called(static_cast<std::size_t>(m) + 1, ' ');
    const char* oldWt = TextOf(wildTypeSequence);
    const char* oldCalled = TextOf(calledSequence);
    const std::size_t wtLength = std::strlen(oldWt);
    const std::size_t calledLength = std::strlen(oldCalled);
    for (int k = 0; k < numberOfAtoms; ++k) {
      const std::size_t at = atoms[k].atomNumber;
      if (static_cast<std::size_t>(k) < wtLength) wt[at] = oldWt[k];
      if (static_cast<std::size_t>(k) < calledLength) called[at] = oldCalled[k];
    }
    wildTypeSequence = wt.c_str();
    calledSequence = called.c_str();
  } catch (const std::bad_alloc&) {
    return 14;
  }
  return 0;
}
