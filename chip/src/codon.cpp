// Codons and amino acids of resequencing units. An atom in a coding region carries the number
// of its codon (codon) and its place in that codon (codonIndex 0 to 2, in reading order).
#include <cctype>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>

#include "tesk/pendrix71.h"

namespace {

// Index 16 * first + 4 * second + third, with a = 0, c = 1, g = 2, t = 3.
constexpr char kCodonTable[] = "KNKNTTTTRSRSIIMIQHQHPPPPRRRRLLLLEDEDAAAAGGGGVVVV*Y*YSSSS*CWCLFLF";

int BaseIndex(char c) {
  switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'a': return 0;
    case 'c': return 1;
    case 'g': return 2;
    case 't': return 3;
    default: return -1;
  }
}

// The base of atom i in a unit sequence. A padded sequence (longer than the atom count) holds
// one character per atom number, an unpadded one one character per atom.
char BaseOf(const UnitClass& unit, const char* seq, std::size_t length, int i) {
  if (i < 0 || i >= unit.numberOfAtoms) return ' ';
  const std::size_t at = length > static_cast<std::size_t>(unit.numberOfAtoms)
                             ? unit.atoms[i].atomNumber : static_cast<std::size_t>(i);
  return at < length ? seq[at] : ' ';
}

}  // namespace

void StandardUnitClass::ClearCodonPositionList(DoubleLinkedList& list) {
  list.InitIterator();
  while (void* item = list++) delete static_cast<CodonPositionClass*>(item);
  list.Clear();
}

int StandardUnitClass::DetermineCodonBases(DoubleLinkedList& list) try {
  // Codon number -> its entry, so that long units are not searched linearly per atom.
  std::unordered_map<int, CodonPositionClass*> byCodon;
  list.InitIterator();
  while (void* item = list++) {
    auto* position = static_cast<CodonPositionClass*>(item);
    byCodon.emplace(position->codon, position);
  }
  for (int i = 0; i < numberOfAtoms; ++i) {
    const AtomClass& atom = atoms[i];
    if (atom.codonIndex < 0 || atom.codonIndex > 2) continue;
    const int key = atom.codon;
    CodonPositionClass*& position = byCodon[key];
    if (position == nullptr) {
      auto fresh = std::unique_ptr<CodonPositionClass>(new (std::nothrow) CodonPositionClass);
      if (fresh == nullptr) return CHIP_INSUFFICIENT_MEMORY;
      fresh->codon = key;
      fresh->atom[0] = fresh->atom[1] = fresh->atom[2] = -1;
      if (list.Add(fresh.get()) == 0) return CHIP_INSUFFICIENT_MEMORY;
      position = fresh.release();
    }
    // The first atom claiming a place in the codon keeps it.
    if (position->atom[atom.codonIndex] < 0) position->atom[atom.codonIndex] = i;
  }
  return CHIP_SUCCESS;
} catch (const std::bad_alloc&) {
  return CHIP_INSUFFICIENT_MEMORY;
}

int StandardUnitClass::ComputeAA(DoubleLinkedList& list, int useCalled, String& aminoAcids) {
  try {
    const String& source = useCalled ? calledSequence : wildTypeSequence;
    const char* seq = source.c_str();
    const std::size_t length = std::strlen(seq);
    std::string out;
    out.reserve(static_cast<std::size_t>(list.count));
    list.InitIterator();
    while (void* item = list++) {
      const auto* position = static_cast<const CodonPositionClass*>(item);
      int index = 0;
      for (int k = 0; k < 3 && index >= 0; ++k) {
        char base = BaseOf(*this, seq, length, position->atom[k]);
        // An antisense unit reads the other strand: its codons are the complementary bases.
        if (direction == 2) base = static_cast<char>(ComplementCode(static_cast<unsigned char>(base)));
        const int b = BaseIndex(base);
        index = b < 0 ? -1 : index * 4 + b;
      }
      out.push_back(index < 0 ? 'X' : kCodonTable[index]);
    }
    aminoAcids = out.c_str();
    if (!out.empty() && aminoAcids.text == nullptr) return CHIP_INSUFFICIENT_MEMORY;
    return CHIP_SUCCESS;
  } catch (const std::bad_alloc&) {
    return CHIP_INSUFFICIENT_MEMORY;
  }
}

int ChipClass::ComputeChipAA(String& wildTypeAA, String& calledAA) {
  StandardUnitClass* unit = GetFirstStandardUnit();
  if (unit == nullptr) return CHIP_NO_VALID_TILES;
  DoubleLinkedList list;
  int rc = unit->DetermineCodonBases(list);
  if (rc == CHIP_SUCCESS) rc = unit->ComputeAA(list, 0, wildTypeAA);
  if (rc == CHIP_SUCCESS) rc = unit->ComputeAA(list, 1, calledAA);
  StandardUnitClass::ClearCodonPositionList(list);
  return rc;
}
