// One-byte base codes, and codons and amino acids of resequencing units.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tesk/pendrix71.h"

namespace {

struct Pair {
  const char* text;
  int code;
  char iupac;
};

constexpr Pair kPairs[] = {
    {"AC", 161, 'M'}, {"ac", 162, 'm'}, {"AG", 163, 'R'}, {"ag", 164, 'r'}, {"AT", 165, 'W'},
    {"at", 166, 'w'}, {"CA", 167, 'M'}, {"ca", 168, 'm'}, {"CG", 169, 'S'}, {"cg", 170, 's'},
    {"CT", 171, 'Y'}, {"ct", 172, 'y'}, {"GA", 174, 'R'}, {"ga", 175, 'r'}, {"GC", 176, 'S'},
    {"gc", 177, 's'}, {"GT", 178, 'K'}, {"gt", 179, 'k'}, {"TA", 180, 'W'}, {"ta", 181, 'w'},
    {"TC", 182, 'Y'}, {"tc", 184, 'y'}, {"TG", 185, 'K'}, {"tg", 186, 'k'},
};

TEST(BaseCodes, EveryMixtureBothWays) {
  for (const Pair& p : kPairs) {
    unsigned char code = 0;
    ASSERT_EQ(CharToCode(p.text, code), 1) << p.text;
    EXPECT_EQ(code, p.code) << p.text;
    char text[4] = {};
    EXPECT_EQ(CodeToChar(code, text), 1);
    EXPECT_STREQ(text, p.text);
    EXPECT_EQ(CodeToIUPAC(code), p.iupac);
    EXPECT_TRUE(IsMixture(code));
  }
}

TEST(BaseCodes, SingleLettersAndRejectedTexts) {
  unsigned char code = 0;
  for (const char* ok : {"a", "C", "g", "T", "M", "r", "W", "y", "S", "k", "V", "h", "D", "b", "N"}) {
    ASSERT_EQ(CharToCode(ok, code), 1) << ok;
    EXPECT_EQ(code, static_cast<unsigned char>(ok[0]));
  }
  code = 99;
  for (const char* bad : {"", "x", "aa", "aC", "an", "acg", "-"}) {
    EXPECT_EQ(CharToCode(bad, code), 0) << bad;
  }
  EXPECT_EQ(CharToCode(nullptr, code), 0);
  EXPECT_EQ(code, 99);  // untouched by a refused text
}

TEST(BaseCodes, CodesWithoutLetterTables) {
  char text[4] = {};
  EXPECT_EQ(CodeToChar('g', text), 1);
  EXPECT_STREQ(text, "g");
  EXPECT_EQ(CodeToChar(187, text), 1);
  EXPECT_STREQ(text, "-");
  EXPECT_EQ(CodeToChar(188, text), 1);
  EXPECT_STREQ(text, "+");
  for (int other : {128, 160, 173, 183, 189, 255}) {
    EXPECT_EQ(CodeToChar(static_cast<unsigned char>(other), text), 1);
    EXPECT_STREQ(text, "N") << other;
  }
}

TEST(BaseCodes, ClassesOfCodes) {
  for (int c = 0; c < 256; ++c) {
    const bool mixture = (c >= 161 && c <= 172) || (c >= 174 && c <= 182) || (c >= 184 && c <= 186);
    EXPECT_EQ(IsMixture(static_cast<unsigned char>(c)) != 0, mixture) << c;
    EXPECT_EQ(IsDeletion(static_cast<unsigned char>(c)) != 0, c == 187);
    EXPECT_EQ(IsInsertion(static_cast<unsigned char>(c)) != 0, c == 188);
  }
}

TEST(BaseCodes, IupacLetters) {
  EXPECT_EQ(CodeToIUPAC(167), 'M');
  EXPECT_EQ(CodeToIUPAC('a'), 'a');
  EXPECT_EQ(CodeToIUPAC(187), 187);
  const char* letters = "KMRSWYkmrswy";
  const int codes[] = {178, 161, 163, 169, 165, 171, 179, 162, 164, 170, 166, 172};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(IUPACToCode(static_cast<unsigned char>(letters[i])), codes[i]);
    EXPECT_EQ(CodeToIUPAC(IUPACToCode(static_cast<unsigned char>(letters[i]))), letters[i]);
  }
  EXPECT_EQ(IUPACToCode('q'), 'q');
  EXPECT_EQ(IUPACToCode('N'), 'N');
}

TEST(BaseCodes, ComplementsAndCase) {
  EXPECT_EQ(ComplementCode('a'), 't');
  EXPECT_EQ(ComplementCode('G'), 'C');
  EXPECT_EQ(ComplementCode('M'), 'K');
  EXPECT_EQ(ComplementCode('w'), 'w');
  EXPECT_EQ(ComplementCode('N'), 'N');
  EXPECT_EQ(ComplementCode(161), 185);  // AC -> TG
  EXPECT_EQ(ComplementCode(184), 164);  // tc -> ag
  EXPECT_EQ(ComplementCode(187), 187);
  EXPECT_EQ(ComplementCode('x'), ' ');
  for (const Pair& p : kPairs)
    EXPECT_EQ(ComplementCode(ComplementCode(static_cast<unsigned char>(p.code))), p.code);
  char text[] = "acGT\xa1-";
  ComplementBases(text);
  EXPECT_STREQ(text, "tgCA\xb9 ");
  ComplementBases(nullptr);

  EXPECT_EQ(TOUPPER('a'), 'A');
  EXPECT_EQ(TOLOWER('G'), 'g');
  EXPECT_EQ(TOUPPER(184), 182);  // tc -> TC across the gap at 183
  EXPECT_EQ(TOLOWER(182), 184);
  EXPECT_EQ(TOLOWER(172), 172);
  EXPECT_EQ(TOUPPER(175), 174);
  EXPECT_EQ(TOUPPER(187), 187);
  for (const Pair& p : kPairs) {
    const auto c = static_cast<unsigned char>(p.code);
    EXPECT_TRUE(TOUPPER(c) == c || TOLOWER(c) == c);
    EXPECT_EQ(TOUPPER(TOLOWER(c)), TOUPPER(c));
  }
}

// A unit whose atoms are codons 4 (wild type a t g) and 5 (t a a), the second listed out of
// order, plus one atom outside the coding region.
std::unique_ptr<StandardUnitClass> CodingUnit() {
  auto unit = std::make_unique<StandardUnitClass>(7, 4);
  const int codon[] = {4, 4, 5, 5, 4, 5, -1};
  const int index[] = {0, 1, 2, 0, 2, 1, -1};
  for (int i = 0; i < 7; ++i) {
    unit->atoms[i].atomNumber = static_cast<std::uint16_t>(i);
    unit->atoms[i].codon = static_cast<short>(codon[i]);
    unit->atoms[i].codonIndex = static_cast<signed char>(index[i]);
  }
  unit->wildTypeSequence = "atatgac";
  unit->calledSequence = "atatatc";
  return unit;
}

TEST(Codons, PositionsAndAminoAcids) {
  auto unit = CodingUnit();
  DoubleLinkedList list;
  ASSERT_EQ(unit->DetermineCodonBases(list), 0);
  ASSERT_EQ(list.count, 2);
  auto* first = static_cast<CodonPositionClass*>(list[0]);
  EXPECT_EQ(first->codon, 4);
  EXPECT_EQ(first->atom[0], 0);
  EXPECT_EQ(first->atom[1], 1);
  EXPECT_EQ(first->atom[2], 4);
  auto* second = static_cast<CodonPositionClass*>(list[1]);
  EXPECT_EQ(second->atom[0], 3);
  EXPECT_EQ(second->atom[2], 2);
  String aa;
  ASSERT_EQ(unit->ComputeAA(list, 0, aa), 0);
  EXPECT_STREQ(aa.c_str(), "M*");  // atg, taa
  ASSERT_EQ(unit->ComputeAA(list, 1, aa), 0);
  EXPECT_STREQ(aa.c_str(), "IL");  // ata, tta
  StandardUnitClass::ClearCodonPositionList(list);
  EXPECT_EQ(list.count, 0);
}

TEST(Codons, UnknownBasesMissingPlacesAndAntisense) {
  auto unit = CodingUnit();
  unit->calledSequence = "at\xa3n gac";  // a mixture code and an n in the codons
  unit->atoms[5].codonIndex = -1;         // codon 5 loses its middle base
  DoubleLinkedList list;
  ASSERT_EQ(unit->DetermineCodonBases(list), 0);
  String aa;
  ASSERT_EQ(unit->ComputeAA(list, 1, aa), 0);
  EXPECT_STREQ(aa.c_str(), "XX");
  ASSERT_EQ(unit->ComputeAA(list, 0, aa), 0);
  EXPECT_STREQ(aa.c_str(), "MX");
  // Antisense units translate the complementary bases: tac -> Y.
  unit->direction = 2;
  ASSERT_EQ(unit->ComputeAA(list, 0, aa), 0);
  EXPECT_EQ(aa.c_str()[0], 'Y');
  StandardUnitClass::ClearCodonPositionList(list);
}

TEST(Codons, EveryCodonOfTheTable) {
  const char* bases = "acgt";
  const std::string table = "KNKNTTTTRSRSIIMIQHQHPPPPRRRRLLLLEDEDAAAAGGGGVVVV*Y*YSSSS*CWCLFLF";
  auto unit = std::make_unique<StandardUnitClass>(192, 4);
  std::string seq;
  for (int c = 0; c < 64; ++c) {
    for (int k = 0; k < 3; ++k) {
      AtomClass& atom = unit->atoms[3 * c + k];
      atom.codon = static_cast<short>(c);
      atom.codonIndex = static_cast<signed char>(k);
      atom.atomNumber = static_cast<std::uint16_t>(3 * c + k);
      seq += bases[(c >> (2 * (2 - k))) & 3];
    }
  }
  unit->wildTypeSequence = seq.c_str();
  DoubleLinkedList list;
  ASSERT_EQ(unit->DetermineCodonBases(list), 0);
  String aa;
  ASSERT_EQ(unit->ComputeAA(list, 0, aa), 0);
  EXPECT_EQ(std::string(aa.c_str()), table);
  StandardUnitClass::ClearCodonPositionList(list);
}

TEST(Codons, ChipTranslatesItsFirstResequencingUnit) {
  ChipClass chip;
  String wt, called;
  EXPECT_EQ(chip.ComputeChipAA(wt, called), 9);
  auto unit = CodingUnit();
  ASSERT_EQ(chip.AddUnit(unit.release(), 20), 0);
  chip.numberOfUnits = 1;
  ASSERT_EQ(chip.ComputeChipAA(wt, called), 0);
  EXPECT_STREQ(wt.c_str(), "M*");
  EXPECT_STREQ(called.c_str(), "IL");
}

}  // namespace
