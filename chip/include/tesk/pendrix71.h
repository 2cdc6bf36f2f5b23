// Pendrix71: the chip results library.
//
// ChipClass is the in-memory model of one chip: its geometry, its units (probe sets) with their
// atoms and probe cells, its QC units and the analysis results a chip result file carries. It is
// filled from a text layout file (versions "QX1.0" to "QX3.0"), optionally merged with the cell
// intensities of a cell intensity file, and from binary result files (versions 1 to 13); it
// writes result files of versions 13 and 12.
//
// Every operation that can fail returns an integer code, 0 for success; CheckError gives the
// text of a code. No exception leaves the library. All fields are public: callers read and set
// them directly. File layouts: doc/formats/cdf.md (layouts) and doc/formats/chp.md (results).
//
// Contract of ChipClass:
//  - Results are the named ChipErrorCodes (CHIP_SUCCESS, CHIP_INCOMPLETE_FILE, ...).
//  - A failed read leaves the chip holding what was decoded before the failure; it is emptied
//    again by the next read. A failed write leaves the file on disk as it was.
//  - Units, atoms and strings belong to the chip: pointers into them stay valid until the chip
//    is read again, cleared or destroyed.
//  - One chip is used by one thread at a time; CheckError's buffer is per thread.
#ifndef TESK_CHIP_INCLUDE_TESK_PENDRIX71_H_
#define TESK_CHIP_INCLUDE_TESK_PENDRIX71_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>

#include "tesk/pendrix71_containers.h"

class ChipClass;

namespace pendrix71 {
class SharedBlock;   // storage shared by the atoms or pairs of units
struct UnitStorage;  // ties units to it
}  // namespace pendrix71

// =============================================================================================
// Codes and enumerations

// Result codes of the chip operations; CheckError(code) gives their texts.
enum ChipErrorCodes {
  CHIP_SUCCESS = 0,
  CHIP_INVALID_TILING_TYPE = 1,
  CHIP_ROWCOL_MISSING = 2,
  CHIP_LIBRARY_FIELD_MISSING = 3,
  CHIP_CELL_LABEL_MISSING = 4,
  CHIP_CANT_OPEN_LIBRARY = 5,
  CHIP_CANT_OPEN_CELL = 6,
  CHIP_INCOMPLETE_CELL_FILE = 7,
  CHIP_INCOMPLETE_FILE = 8,
  CHIP_NO_VALID_TILES = 9,
  CHIP_FORMAT_INCOMPATIBLE = 10,
  CHIP_VERSION_INCOMPATIBLE = 11,
  CHIP_LIBRARY_VERSION_INCOMPATIBLE = 12,
  CHIP_INVALID_LIBRARY_FORMAT = 13,
  CHIP_INSUFFICIENT_MEMORY = 14,
  CHIP_LIBRARY_READ_FAILED = 17
};

// The message text of a code, ending in one blank ("Unknown error " for codes without a text).
// The buffer belongs to the calling thread and stays valid until its next call.
TESK_PENDRIX71_API const char* CheckError(int code);

// Unit type codes; also the bit positions of ChipClass::validUnitTypes.
enum TilingTypes {
  TILING_NONE = 0,
  TILING_RESEQUENCING = 1,  // StandardUnitClass, 4 cells per atom
  TILING_GENOTYPING = 2,    // BlockUnitClass, 4 cells per atom
  TILING_EXPRESSION = 3,    // GeneExpressionUnitClass, 2 cells per pair
  TILING_STANDARD_5 = 5,    // StandardUnitClass keeping code 5
  TILING_STANDARD_6 = 6,    // StandardUnitClass keeping code 6
  TILING_UNIVERSAL = 7      // UniversalUnitClass, 4 cells per atom
};

// QC unit types. The layout of a QC cell line depends on the type family:
//   1-6, 13-18 and others: x, y, probe, probe length, atom, cell index;
//   7, 8: the same, then a match flag;
//   9, 10: the same, then a match flag and a background flag;
//   11, 12: x, y, probe (its first letter is kept), probe length, atom, cell index.
enum QCUnitTypes {
  QC_NO_TYPE = 0,
  QC_TYPE_1 = 1, QC_TYPE_2, QC_TYPE_3, QC_TYPE_4, QC_TYPE_5, QC_TYPE_6,
  QC_TYPE_7, QC_TYPE_8,    // with a match flag
  QC_TYPE_9, QC_TYPE_10,   // with match and background flags
  QC_TYPE_11, QC_TYPE_12,  // with a probe letter
  QC_TYPE_13, QC_TYPE_14, QC_TYPE_15, QC_TYPE_16, QC_TYPE_17, QC_TYPE_18
};

// Confidence kinds of a genotyping block.
enum BlockConfidenceType { BLOCK_CONFIDENCE_0 = 0, BLOCK_CONFIDENCE_1 = 1, BLOCK_CONFIDENCE_2 = 2 };

// The 22 bytes that open every result file (no terminator).
inline constexpr char kChipFileMagic[] = "Varolith Sequence File";
inline constexpr int kChipFileMagicLength = 22;

// The result file codec (internal): units decode and encode their records through it.
class ChpInput;
class ChpOutput;

// =============================================================================================
// Cells and atoms

// One probe cell.
class TESK_PENDRIX71_API CellClass {
 public:
  float intensity;
  float stdev;
  String probe;                // probe sequence
  std::uint16_t x;
  std::uint16_t y;
  std::uint16_t pixels;
  std::uint8_t background;     // the cell is not a member of an atom
  std::uint8_t masked;
  std::uint8_t outlier;
  char probeBase;              // lower case; blank for none
  char targetBase;             // lower case; blank for none

  // Inline: a chip holds hundreds of thousands of cells, all made by this constructor.
  CellClass() noexcept
      : intensity(0.0f), stdev(0.0f), x(0), y(0), pixels(0), background(0), masked(0),
        outlier(0), probeBase(' '), targetBase(' ') {}
  CellClass(const CellClass& other) = default;
  CellClass& operator=(const CellClass& other) = default;
  ~CellClass() = default;

  void Init();  // numbers and flags 0, both bases blank, probe kept

  // Parses the value part of a layout cell line: x, y, probe, two ignored words, an ignored
  // number, the position, an ignored base, probe base, target base. Sets x, y, both bases
  // (first letters, lower-cased), the probe unless it begins with N, and the background flag
  // when the probe begins with "!" or both bases are blank. The two numbers are not used.
  // Returns 1 when every field up to the target base was present, else 0 (fields parsed so far
  // are kept).
  int StoreCDFData(const char* text, int unitNumber, int blockNumber);
};

// The cells that probe one position of a target.
class TESK_PENDRIX71_API AtomClass {
 public:
  CellClass* cells;            // numberOfCells cells, owned (see sharedCells_ below)
  float background;
  String region;
  int regionType;              // 99 = none
  int unitNumber;
  int expos;
  short codon;
  short blockNumber;
  std::uint16_t atomNumber;
  signed char targetIndex;     // -1 = none
  unsigned char* cellOrder;    // numberOfCells bytes, owned: brightest cell first
  signed char codonIndex;      // -1 = none
  std::uint8_t numberOfCells;

  AtomClass();
  explicit AtomClass(int n);
  AtomClass(const AtomClass& other);
  AtomClass& operator=(const AtomClass& other);
  ~AtomClass();

  // Resets the fields (targetIndex, codonIndex, codon -1; regionType 99; the rest 0) and
  // allocates n cells and n zero order bytes. Returns 0, or 14 when n is outside 0..255 or
  // memory runs out (the atom then holds no cells).
  int Init(int n);

  // Index of the first cell whose probe base's complement is base; 0 when none is.
  int ComputeTargetIndex(char base);
  // Fills cellOrder from the cells' intensities: cellOrder[0] the brightest cell.
  void SortByIndex();
  // Intensity ratios over cellOrder, background-corrected and clamped at 1.0; they need four
  // cells.
  float DetermineMaxRatio();
  float DetermineSecondRatio();
  float DetermineThirdRatio();
  float DetermineTargetRatio(int cell);
  float DetermineWeightedRatio(int cell);

 private:
  friend struct pendrix71::UnitStorage;
  // True while cells and cellOrder lie in storage a unit holds for all of its atoms (units
  // made by SetAtoms or read from a result file): the atom does not free them, and Init or an
  // assignment of another cell count gives it cells of its own. Copies always own their cells.
  bool sharedCells_ = false;
};

// One probe pair of an expression unit: cells[0] the perfect match, cells[1] the mismatch.
class TESK_PENDRIX71_API GeneExpressionAtomClass {
 public:
  CellClass cells[2];
  float pairValue;
  int unitNumber;
  std::uint16_t atomNumber;
  std::uint8_t pairCode;       // 1 at construction

  GeneExpressionAtomClass() noexcept
      : pairValue(0.0f), unitNumber(0), atomNumber(0), pairCode(1) {}
};

// =============================================================================================
// Blocks

// A block of consecutive atoms of a unit.
class TESK_PENDRIX71_API UnitBlockInfoClass {
 public:
  std::uint16_t firstAtom;     // index of the block's first atom in the unit
  std::uint16_t numberOfAtoms;
  String name;

  UnitBlockInfoClass();
  virtual ~UnitBlockInfoClass();
};

// A genotyping block, with its call and confidences.
class TESK_PENDRIX71_API BlockUnitBlockInfoClass : public UnitBlockInfoClass {
 public:
  int code;                    // 0 at construction; carried by result files
  float confidence[3];         // by BlockConfidenceType
  String label;
  int call;                    // 3 at construction
  int direction;

  BlockUnitBlockInfoClass();
  ~BlockUnitBlockInfoClass() override;

  float GetConfidence(BlockConfidenceType type) const;
  void SetConfidence(BlockConfidenceType type, float value);
};

// =============================================================================================
// Units

// Base of the tiling-style units (resequencing, genotyping, universal).
class TESK_PENDRIX71_API UnitClass {
 public:
  // Creates atoms atoms of cellsPerAtom cells each (none when allocation fails: numberOfAtoms
  // is then 0).
  UnitClass(int atoms = 0, int cellsPerAtom = 4);
  UnitClass(const UnitClass&) = delete;
  UnitClass& operator=(const UnitClass&) = delete;

  // Virtual operations, in this slot order.
  // SortAtomData, ComputeWTSeq and ComputeAtomData, in this order.
  virtual void ProcessUnitData();
  // Result file records: the unit's record as the given file version holds it, and the
  // version-13 (WriteUnitData) and version-12 (WriteUnitData60) writers. ReadAtomData and the
  // WriteAtomData pair handle the record of atom `atom` (index into atoms). Codes as ReadChip.
  // The tiling record: wildTypeSequence and calledSequence (length-prefixed texts), the atom
  // count (i32, must equal numberOfAtoms), then per atom its background (fixed) and its cells
  // (version 13: x, y as u16; before: x, y (i32), intensity, stdev (fixed), pixels (i32), and
  // from version 8 masked and outlier (bytes)). After reading, atom k takes the position of the
  // k-th non-blank base of wildTypeSequence as its atomNumber, the atoms are sorted by number
  // and their target index and cell order computed.
  virtual int ReadUnitData(ChpInput& in, int version);
  virtual int WriteUnitData(ChpOutput& out);
  virtual int ReadAtomData(ChpInput& in, int version, int atom);
  virtual int WriteAtomData(ChpOutput& out, int atom);
  virtual int WriteUnitData60(ChpOutput& out);
  virtual int WriteAtomData60(ChpOutput& out, int atom);
  // Pads wildTypeSequence and calledSequence to one character per atom number; 0 or 14.
  virtual int PadUnit();
  virtual ~UnitClass();

  int numberOfAtoms;
  int unitType;
  int direction;
  AtomClass* atoms;            // numberOfAtoms atoms, owned
  String name;
  String wildTypeSequence;
  String calledSequence;
  ArrayClass blocks;           // UnitBlockInfoClass*, owned

  // Replaces the atoms by atoms atoms of cellsPerAtom cells; 0, or 14 (the unit then holds no
  // atoms).
  int SetAtoms(int atoms, int cellsPerAtom);
  // Deletes every block description.
  void ClearBlocks();

  void SortAtomData();                // qsort by atomNumber
  int DetermineMaxAtom();             // highest atomNumber; -1 for no atoms
  AtomClass* operator[](int n);       // the atom numbered n (atoms sorted); null if none
  void ComputeWTSeq();
  void ComputeAtomData();
  // The block whose atoms cover atom index `position` (a position of the unit's sequences,
  // firstAtom <= position < firstAtom + numberOfAtoms); the first such block, null when none.
  UnitBlockInfoClass* GetBlockInfoByBase(int position);

 private:
  friend struct pendrix71::UnitStorage;
  // The storage of the atoms' cells (shared with other units of a chip read from a result
  // file); released with the atoms by SetAtoms and the destructor.
  pendrix71::SharedBlock* storage_ = nullptr;
};

// Where the three bases of one codon lie in a unit: atom indices, -1 when absent.
struct TESK_PENDRIX71_API CodonPositionClass {
  int codon;
  int atom[3];
};

// A resequencing unit (type 1, or 5 and 6 which keep their code).
class TESK_PENDRIX71_API StandardUnitClass : public UnitClass {
 public:
  StandardUnitClass(int atoms = 0, int cellsPerAtom = 4);
  ~StandardUnitClass() override;

  // Deletes the CodonPositionClass items of list and empties it.
  static void ClearCodonPositionList(DoubleLinkedList& list);
  // Fills list with one CodonPositionClass per codon number of the unit's atoms (atoms with
  // codonIndex 0..2), in order of first appearance; 0, or 14.
  int DetermineCodonBases(DoubleLinkedList& list);
  // The amino-acid text of the unit: one letter per codon of list, from the wild-type sequence
  // (useCalled 0) or the called sequence; 'X' where a base is missing or not a, c, g, t.
  // Codons index the 64-letter table "KNKNTTTTRSRSIIMIQHQHPPPPRRRRLLLLEDEDAAAAGGGGVVVV*Y*YSSSS*C
  // WCLFLF" by 16 x first + 4 x second + third base (a 0, c 1, g 2, t 3; '*' a stop). A
  // sequence longer than the atom count (padded, PadUnit) is read at each atom's number,
  // otherwise at its index. Antisense units (direction 2) translate the complementary bases.
  // 0, or 14.
  int ComputeAA(DoubleLinkedList& list, int useCalled, String& aminoAcids);
};

// A genotyping unit (type 2): blocks are BlockUnitBlockInfoClass.
class TESK_PENDRIX71_API BlockUnitClass : public UnitClass {
 public:
  BlockUnitClass(int atoms = 0, int cellsPerAtom = 4);
  ~BlockUnitClass() override;

  // The genotyping record: the block part, the result part (from version 10; callMethod only
  // in version 13, the five raw resultValues in every version from 10), then the tiling
  // record; the bytes are in doc/formats/chp.md. WriteUnitData writes the version-13 form,
  // WriteUnitData60 the version-12 form.
  int ReadUnitData(ChpInput& in, int version) override;
  int WriteUnitData(ChpOutput& out) override;
  int WriteUnitData60(ChpOutput& out) override;

  int mutationType;            // from the layout (QX2.0 and later)

  // Genotyping result of the unit; the fields below hold a result when resultPresent is 1.
  std::uint8_t resultPresent;
  int genotypeIndex;           // index of the called block, -1 for none
  String alleleA;              // first allele text
  String alleleB;              // second allele text
  String genotypeName;         // the call as a text
  int blocksUsed;              // blocks that took part in the call
  int blocksCalled;            // blocks that made a call
  std::uint8_t genotypeCall;   // the unit's call code
  int callMethod;              // how the call was reached
  std::uint32_t resultValues[5];  // further scores, carried bit for bit
};

// A universal unit (type 7).
class TESK_PENDRIX71_API UniversalUnitClass : public UnitClass {
 public:
  UniversalUnitClass(int atoms = 0, int cellsPerAtom = 4);
  ~UniversalUnitClass() override;
};

// Comparison results of an expression unit, stored without interpretation.
struct TESK_PENDRIX71_API CComparisonData {
  int c0;
  int c1;
  float c2;
  float c3;
  int c4;
  int c5;
  float c6;
  float c7;
  float c8;
  int c9;
  float c10;
  float c11;
  float c12;
  float c13;
  std::uint8_t b0;
  std::uint8_t b1;
};

// An expression unit (type 3): probe pairs and the unit's results. No virtual operations.
class TESK_PENDRIX71_API GeneExpressionUnitClass {
 public:
  GeneExpressionUnitClass(int atoms = 0, int cellsPerAtom = 2);
  ~GeneExpressionUnitClass();
  GeneExpressionUnitClass(const GeneExpressionUnitClass&) = delete;
  GeneExpressionUnitClass& operator=(const GeneExpressionUnitClass&) = delete;

  int unitType;                // 3
  int direction;
  String name;
  int resultCode;              // 1 at construction
  int numberOfAtoms;           // probe pairs
  int pairsUsed;
  int pairsInAverage;
  int stat1;
  int stat2;
  int stat3;
  int stat4;
  float value1;
  float value2;
  float value3;
  int callCode;
  GeneExpressionAtomClass* atoms;  // numberOfAtoms pairs, owned (see storage_ below)
  ArrayClass blocks;               // UnitBlockInfoClass*, owned
  CComparisonData comparison;
  int comparisonPresent;

  // Replaces the pairs by `atoms` new pairs; 0, or 14 (the unit then holds none).
  int SetAtoms(int atoms);
  void ClearBlocks();
  int DetermineMaxAtom();            // highest atomNumber; -1 for no pairs

  // Result file records (see UnitClass).
  int ReadUnitData(ChpInput& in, int version);
  int WriteUnitData(ChpOutput& out);
  int ReadAtomData(ChpInput& in, int version, int atom);
  int WriteAtomData(ChpOutput& out, int atom);
  int WriteUnitData60(ChpOutput& out);
  int WriteAtomData60(ChpOutput& out, int atom);

 private:
  friend struct pendrix71::UnitStorage;
  // Units read from a result file take their pairs from storage shared by the chip's units:
  // atoms then points into it and is released through SetAtoms or the destructor, never by
  // delete[]. An array a caller puts in atoms instead is delete[]d by the unit as before.
  pendrix71::SharedBlock* storage_ = nullptr;
};

// The unit at one index of a chip; ChipClass::unitTypes[i] tells which member is set.
union AllUnitTypes {
  UnitClass* unit;                              // any tiling type, through its base
  StandardUnitClass* standard;                  // 1, 5, 6
  BlockUnitClass* block;                        // 2
  GeneExpressionUnitClass* geneExpression;      // 3
  UniversalUnitClass* universal;                // 7
};

// The tiling unit held at a holder of the given type code; null for type 3, unknown types
// and empty holders.
TESK_PENDRIX71_API UnitClass* TilingUnitOf(const AllUnitTypes* holder, int type);

// =============================================================================================
// QC units

// One cell of a QC unit.
class TESK_PENDRIX71_API QCCellClass {
 public:
  std::uint16_t x;
  std::uint16_t y;
  float intensity;
  float stdev;
  std::uint16_t pixels;
  std::uint16_t atom;
  std::uint8_t probeLength;
  std::uint8_t match;          // match flag (types 7 to 10)
  std::uint8_t background;     // background flag (types 9, 10)
  char probe;                  // probe letter (types 11, 12)
  IntArrayClass values;
  int qcValue;                 // 0; the four raw bytes a result file carries per QC cell

  QCCellClass();
  QCCellClass(const QCCellClass&) = delete;
  QCCellClass& operator=(const QCCellClass&) = delete;
};

class TESK_PENDRIX71_API QCUnitClass {
 public:
  QCUnitClass();
  QCUnitClass(int n, int type);
  QCUnitClass(const QCUnitClass&) = delete;
  QCUnitClass& operator=(const QCUnitClass&) = delete;

  // Frees the old cells and allocates n; 0, or 14 (the unit is then empty).
  virtual int SetSize(int n);
  // Fills QC cell i from the value part of a QC cell line (layout by qcType). When cells is
  // not null, the cell also takes intensity, stdev and pixels from cells[cell index]; a cell
  // index outside 0..cellLimit-1 is then refused (a negative cellLimit trusts the caller).
  // 0, or 13 for a malformed line or an index out of range.
  virtual int SetData(int i, CellClass* cells, const char* text, int cellLimit = -1);
  virtual ~QCUnitClass();

  QCCellClass* qcCells;        // numberOfCells cells, owned
  int numberOfCells;
  int qcType;

  bool operator==(QCUnitTypes type) const { return qcType == static_cast<int>(type); }
};

// =============================================================================================
// Composite sequence of a resequencing chip

class TESK_PENDRIX71_API ChipComposite {
 public:
  ChipComposite();
  ~ChipComposite();
  ChipComposite(const ChipComposite&) = delete;
  ChipComposite& operator=(const ChipComposite&) = delete;

  CharArrayClass sequence;
  CharArrayClass calls;
  CharArrayClass secondCalls;          // zero bytes when there are none
  ShortArrayClass positionUnits;       // number of the unit that covers each position
  String extraText1;
  String extraText2;
  IntArrayClass percentComposition;    // four signed bytes per position

  void Clear();
  // sequence = s; calls as many blanks; second calls as many zero bytes; positionUnits sized
  // to the length; percent composition sized and zeroed. 0, or 14.
  int SetSequence(const char* s);
  // Byte k (0 = lowest) of position pos, or 0 when pos is outside the array.
  signed char GetPercentComposition(int pos, int k) const;
  // Keeps the bytes below k, sets byte k to v and the bytes above it to v's sign; sizes and
  // zeroes the array to the sequence length first when it is empty. A position or byte outside
  // the array changes nothing. 0, or 14 when it cannot.
  int SetPercentComposition(int pos, int k, signed char v);
};

// =============================================================================================
// The chip

class TESK_PENDRIX71_API ChipClass {
 public:
  ChipClass();
  ~ChipClass();
  ChipClass(const ChipClass&) = delete;
  ChipClass& operator=(const ChipClass&) = delete;

  int cols;
  int rows;
  int numberOfUnits;
  int maxUnit;
  int layoutVersion;
  int numberOfQCUnits;
  int layoutQCUnits;
  int validUnitTypes;          // bit t: load units of type t; 0 loads every type
  int resultVersion;
  IntArrayClass unitAtoms;
  IntArrayClass unitCellsPerAtom;
  IntArrayClass unitTypes;
  IntArrayClass unitNumbers;
  String layoutFile;
  String infoFile;
  String cellFile;
  String libraryPath;
  String chipType;
  String algorithmName;
  String algorithmVersion;
  String algorithmParameters;
  String chipSummary;
  String algorithmIdentifier;
  String layoutReference;
  String layoutNameLine;
  String controlFile;
  ArrayClass units;            // AllUnitTypes*, owned
  ArrayClass qcUnits;          // QCUnitClass*, owned
  ChipComposite composite;

  // Zeroes every count except layoutVersion, deletes the units and QC units, empties every
  // array and string.
  void InitializeChip();

  // Layout file. Null source: reads layoutFile without intensities; a chip holding no units is
  // built from it, a chip holding units (read from a result file) gets their layout filled in.
  // Otherwise copies the layout part of source into this chip's units, index by index.
  int ReadCDF(ChipClass* source = nullptr);
  // Reads layoutFile with the intensities of cellFile, then ProcessUnitData on every tiling
  // unit.
  int ReadCell();

  // Result files. The stream readers and writers work on a stream the caller opened in binary
  // mode; a failed stream gives 8. The path forms open the file themselves; the path writers
  // write a temporary file beside the target and rename it over the target only when the
  // whole file was written, so a failed write never replaces a good file. ReadChip keeps
  // libraryPath (it names the companion files) and empties everything else first. The writers
  // return 9 for a chip whose per-unit tables disagree with its units, or one of whose
  // numberOfQCUnits QC units has no cells (nothing is written then).
  int ReadChip(std::ifstream& in);
  int ReadChip(const char* path);
  int ReadChipHeaderOnly(const char* path);
  int WriteChip(std::ofstream& out);     // version 13
  int WriteChip60(std::ofstream& out);   // version 12
  int WriteChip(const char* path);
  int WriteChip60(const char* path);

  AllUnitTypes* GetUnit(int i);                 // null outside 0..units.count-1
  QCUnitClass* GetQCUnit(int i);                // null outside 0..qcUnits.count-1
  QCUnitClass* GetQCUnit(QCUnitTypes type);     // first QC unit of the type, else null
  StandardUnitClass* GetFirstStandardUnit();    // first unit of type 1, else null
  // The atom numbered n of the unit covering composite position n; null when none.
  AtomClass* GetCompositeAtom(int n);
  void SetValidUnit(TilingTypes type);          // validUnitTypes |= 1 << type

  // Appends u (the chip takes ownership) with its type, cells per atom, atom count and
  // unitNumber; numberOfUnits is left to the caller. 9 for a null u, 14 when out of memory.
  int AddUnit(GeneExpressionUnitClass* u, int unitNumber);
  int AddUnit(UnitClass* u, int unitNumber);
  // Appends q (the chip takes ownership); 9 for null, 14 when out of memory. numberOfQCUnits
  // is left to the caller.
  int AddQCUnit(QCUnitClass* q);

  // Amino-acid texts of the first resequencing unit: from its wild-type and called sequences.
  // 0; 9 when the chip has no resequencing unit; 14 when out of memory.
  int ComputeChipAA(String& wildTypeAA, String& calledAA);
};

// =============================================================================================
// Compare callbacks (qsort/bsearch contract; the arguments are records, not pointers to them)

TESK_PENDRIX71_API int CompareAtomNumber(const void* a, const void* b);  // AtomClass
TESK_PENDRIX71_API int CompareAtomNode(const void* key, const void* atom);  // int key
TESK_PENDRIX71_API int CompareUnitAtom(const void* a, const void* b);    // unit, then atom
TESK_PENDRIX71_API int CompareUnitBlock(const void* a, const void* b);   // unit, then block
TESK_PENDRIX71_API int CompareIntensity(const void* a, const void* b);   // CellClass, falling

// =============================================================================================
// One-byte base codes. Up to 127: letters. 161-186: two-base mixtures (ordered pair, upper and
// lower case). 187: deletion. 188: insertion.

// A one-letter text (a, c, g, t, or an IUPAC letter, either case) or a two-letter text of two
// different bases in the same case, to its code; 1, or 0 for any other text.
TESK_PENDRIX71_API int CharToCode(const char* text, unsigned char& code);
// Writes the letter or two-letter pair of code into text (at least 3 bytes) and returns 1.
// Deletion gives "-", insertion "+", other codes above 127 "N".
TESK_PENDRIX71_API int CodeToChar(unsigned char code, char* text);
TESK_PENDRIX71_API unsigned char CodeToIUPAC(unsigned char code);
TESK_PENDRIX71_API unsigned char IUPACToCode(unsigned char letter);
TESK_PENDRIX71_API int IsMixture(unsigned char code);
TESK_PENDRIX71_API int IsDeletion(unsigned char code);
TESK_PENDRIX71_API int IsInsertion(unsigned char code);
// Complement of a code: a<->t, c<->g in either case, a mixture to the mixture of the
// complemented pair, IUPAC letters to their complement; deletion, insertion and others
// unchanged.
TESK_PENDRIX71_API unsigned char ComplementCode(unsigned char code);
// Complements every code of the NUL-terminated text in place.
TESK_PENDRIX71_API void ComplementBases(char* codes);
// Upper and lower case of a code: letters as usual, mixtures to their other-case form.
TESK_PENDRIX71_API unsigned char TOUPPER(unsigned char code);
TESK_PENDRIX71_API unsigned char TOLOWER(unsigned char code);

#endif  // TESK_CHIP_INCLUDE_TESK_PENDRIX71_H_
