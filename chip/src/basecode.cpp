// One-byte base codes: letters below 128, two-base mixtures from 161 up (each ordered pair in an
// upper- and a lower-case form), 187 for a deletion and 188 for an insertion.
#include <cctype>
#include <cstring>

#include "tesk/pendrix71.h"

namespace {

struct Mixture {
  unsigned char code;
  char first, second;  // the two bases, in the case of the code
  char iupac;          // the ambiguity letter, same case
};

// Ordered by code; the upper-case form of a pair precedes its lower-case form.
constexpr Mixture kMixtures[] = {
    {161, 'A', 'C', 'M'}, {162, 'a', 'c', 'm'}, {163, 'A', 'G', 'R'}, {164, 'a', 'g', 'r'},
    {165, 'A', 'T', 'W'}, {166, 'a', 't', 'w'}, {167, 'C', 'A', 'M'}, {168, 'c', 'a', 'm'},
    {169, 'C', 'G', 'S'}, {170, 'c', 'g', 's'}, {171, 'C', 'T', 'Y'}, {172, 'c', 't', 'y'},
    {174, 'G', 'A', 'R'}, {175, 'g', 'a', 'r'}, {176, 'G', 'C', 'S'}, {177, 'g', 'c', 's'},
    {178, 'G', 'T', 'K'}, {179, 'g', 't', 'k'}, {180, 'T', 'A', 'W'}, {181, 't', 'a', 'w'},
    {182, 'T', 'C', 'Y'}, {184, 't', 'c', 'y'}, {185, 'T', 'G', 'K'}, {186, 't', 'g', 'k'},
};

const Mixture* FindMixture(unsigned char code) {
  for (const Mixture& m : kMixtures)
    if (m.code == code) return &m;
  return nullptr;
}

bool IsBase(char c) { return std::strchr("ACGTacgt", c) != nullptr && c != '\0'; }

bool IsIupacLetter(char c) {
  return c != '\0' && std::strchr("ACGTMRWYSKVHDBNacgtmrwyskvhdbn", c) != nullptr;
}

// Complement of one letter: bases a<->t, c<->g; ambiguity letters to the letter of the
// complementary set (M<->K, R<->Y, V<->B, H<->D; W, S, N are their own). Case is kept.
char ComplementLetter(char c) {
  static constexpr char kFrom[] = "ACGTMKRYWSVBHDN";
  static constexpr char kTo[] = "TGCAKMYRWSBVDHN";
  const bool lower = std::islower(static_cast<unsigned char>(c)) != 0;
  const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const char* at = up != '\0' ? std::strchr(kFrom, up) : nullptr;
  if (at == nullptr) return ' ';
  const char r = kTo[at - kFrom];
  return lower ? static_cast<char>(std::tolower(static_cast<unsigned char>(r))) : r;
}

}  // namespace

int IsMixture(unsigned char code) {
  return (code >= 161 && code <= 172) || (code >= 174 && code <= 182) ||
         (code >= 184 && code <= 186);
}

int IsDeletion(unsigned char code) { return code == 187; }

int IsInsertion(unsigned char code) { return code == 188; }

int CharToCode(const char* text, unsigned char& code) {
  if (text == nullptr) return 0;
  const std::size_t n = std::strlen(text);
  if (n == 1) {
    if (!IsIupacLetter(text[0])) return 0;
    code = static_cast<unsigned char>(text[0]);
    return 1;
  }
  if (n != 2 || !IsBase(text[0]) || !IsBase(text[1]) || text[0] == text[1]) return 0;
  for (const Mixture& m : kMixtures) {
    if (m.first == text[0] && m.second == text[1]) {
      code = m.code;
      return 1;
    }
  }
  return 0;  // two bases of different case
}

int CodeToChar(unsigned char code, char* text) {
  if (text == nullptr) return 0;
  if (code <= 127) {
    text[0] = static_cast<char>(code);
    text[1] = '\0';
    return 1;
  }
  if (const Mixture* m = FindMixture(code)) {
    text[0] = m->first;
    text[1] = m->second;
    text[2] = '\0';
    return 1;
  }
  if (code == 187 || code == 188) {
    text[0] = code == 187 ? '-' : '+';
    text[1] = '\0';
    return 1;
  }
  text[0] = 'N';  // a code without a letter of its own reads as any base
  text[1] = '\0';
  return 1;
}

unsigned char CodeToIUPAC(unsigned char code) {
  const Mixture* m = FindMixture(code);
  return m != nullptr ? static_cast<unsigned char>(m->iupac) : code;
}

unsigned char IUPACToCode(unsigned char letter) {
  switch (letter) {
    case 'K': return 178;
    case 'M': return 161;
    case 'R': return 163;
    case 'S': return 169;
    case 'W': return 165;
    case 'Y': return 171;
    case 'k': return 179;
    case 'm': return 162;
    case 'r': return 164;
    case 's': return 170;
    case 'w': return 166;
    case 'y': return 172;
    default: return letter;
  }
}

unsigned char ComplementCode(unsigned char code) {
  if (code >= 1 && code <= 127) return static_cast<unsigned char>(ComplementLetter(static_cast<char>(code)));
  if (const Mixture* m = FindMixture(code)) {
    const char pair[3] = {ComplementLetter(m->first), ComplementLetter(m->second), '\0'};
    unsigned char out = code;
    CharToCode(pair, out);
    return out;
  }
  return code;  // deletion, insertion and unknown codes have no complement of their own
}

void ComplementBases(char* text) {
  if (text == nullptr) return;
  for (; *text != '\0'; ++text)
    *text = static_cast<char>(ComplementCode(static_cast<unsigned char>(*text)));
}

unsigned char TOUPPER(unsigned char code) {
  if (code <= 127) return static_cast<unsigned char>(std::toupper(code));
  const Mixture* m = FindMixture(code);
  if (m == nullptr || std::isupper(static_cast<unsigned char>(m->first))) return code;
  return static_cast<unsigned char>(m[-1].code);  // the upper-case form precedes it
}

unsigned char TOLOWER(unsigned char code) {
  if (code <= 127) return static_cast<unsigned char>(std::tolower(code));
  const Mixture* m = FindMixture(code);
  if (m == nullptr || std::islower(static_cast<unsigned char>(m->first))) return code;
  return static_cast<unsigned char>(m[1].code);
}
