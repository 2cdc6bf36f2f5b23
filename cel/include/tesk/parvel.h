// Parvel: the cell intensity library.
//
// One ParvelClass holds one cell intensity file in memory: a header text (grid size, algorithm,
// its parameters, a copy of the scanner image header), a table of cells, and a table of
// sub-grids. It reads the binary encoding (version 4) and the text encodings (versions 2 and 3),
// and writes any of them. Every operation reports failure by returning 0 and shows no messages.
// The byte and text layouts are in doc/formats/cel.md.
//
// Contract of ParvelClass:
//  - Results: 1 for success, 0 for failure (no other codes); no exception leaves the library.
//  - After a failed read the object keeps what was decoded before the failure; the next read
//    starts from empty tables. A failed write leaves the file on disk as it was and the
//    object unchanged (the header keeps what a version 2 write added only on success).
//  - Pointers handed out (GetCellEntry, GetCell) stay valid until the object is destroyed or
//    read again; text getters' pointers until that text changes.
//  - One object is used by one thread at a time; distinct objects are independent.
#ifndef TESK_CEL_INCLUDE_TESK_PARVEL_H_
#define TESK_CEL_INCLUDE_TESK_PARVEL_H_

#include <cstddef>
#include <cstdint>
#include <memory>

#ifndef TESK_HWND_DEFINED
#define TESK_HWND_DEFINED
struct HWND__;
typedef HWND__* HWND;
#endif

#include <tesk/parvel_export.h>

// One cell of the grid: 16 bytes, no padding.
class TESK_PARVEL_API CellEntryClass {
 public:
  float MEAN;               // mean intensity
  float STDV;               // standard deviation of the intensity
  std::uint16_t X;          // column (0 = leftmost)
  std::uint16_t Y;          // row (0 = top)
  std::uint16_t NPIXELS;    // number of pixels summarised
  std::uint8_t OUTLIER;     // nonzero: the cell is an outlier
  std::uint8_t MASKED;      // nonzero: the cell is masked

  CellEntryClass() { Init(); }
  ~CellEntryClass() = default;
  CellEntryClass(const CellEntryClass&) = default;
  CellEntryClass& operator=(const CellEntryClass&) = default;

  // Sets every field to 0.
  void Init() {
    MEAN = 0.0f;
    STDV = 0.0f;
    X = 0;
    Y = 0;
    NPIXELS = 0;
    OUTLIER = 0;
    MASKED = 0;
  }

  // Parses one cell line of a text file: X, Y, MEAN, STDV, NPIXELS separated by blanks or
  // tabs. X, Y and NPIXELS keep their low 16 bits; fields that cannot be parsed keep their
  // value. The flags are not touched.
  void StoreCellData(char* line);
};

static_assert(sizeof(CellEntryClass) == 16, "CellEntryClass must be 16 bytes");

// One sub-grid of the array, stored byte for byte (little-endian) in files: 56 bytes.
struct SUBGRID {
  std::int32_t ROW;       // row among the sub-grids; with COL the key
  std::int32_t COL;       // column among the sub-grids
  float ULPX, ULPY;       // upper-left corner point
  float URPX, URPY;       // upper-right corner point
  float LLPX, LLPY;       // lower-left corner point
  float LRPX, LRPY;       // lower-right corner point
  std::int32_t LEFTC;     // cell rectangle
  std::int32_t TOPC;
  std::int32_t RIGHTC;
  std::int32_t BOTTOMC;
};

static_assert(sizeof(SUBGRID) == 56, "SUBGRID must be 56 bytes");

// One cell intensity file in memory.
class TESK_PARVEL_API ParvelClass {
 public:
  explicit ParvelClass(HWND owner = nullptr);
  ~ParvelClass();
  ParvelClass(const ParvelClass&) = delete;
  ParvelClass& operator=(const ParvelClass&) = delete;

  // File name and access.
  void SetName(const char* path);
  int Exists();
  int Read();
  int ReadHeader();
  int Write();                        // always the binary encoding, version field 4
  int WriteVersionFile(int version);  // 2 or 3: text; 4: binary; anything else: 0
  int GetFileVersion();
  int SetFileVersion(int version);    // always 1; writes nothing

  // Header, algorithm and counts.
  void SetHeader(const char* header);
  int SetAlgorithm(const char* algorithm);
  const char* GetAlgorithm();
  const char* GetAlgParams();
  const char* GetChipType();
  int GetCellMargin();
  int GetNOutliers();
  int GetNMasked();
  int GetNSubGrids() const;
  unsigned long DetermineSize();

  // Cells.
  void AddCellData(CellEntryClass* entry);
  // The first entry in table order at (x, y); null when there is none. The pointer stays valid
  // until the object is destroyed.
  CellEntryClass* GetCellEntry(int x, int y);

  // Sub-grids.
  int AddSubGrid(SUBGRID* subgrid);
  int UpdateSubGrid(SUBGRID* subgrid);
  int GetSubGrid(int index, SUBGRID* out);
  int GetSubGrid(int row, int col, SUBGRID* out);
  void RemoveSubGrids();
  int IsSubGrid(SUBGRID* subgrid);
  int AreSubGrids(SUBGRID* subgrids, int count);

  // Grid corners from the header text: eight values, upper-left x, y, upper-right x, y,
  // lower-right x, y, lower-left x, y.
  int GetCorners(long* out);
  int AreCorners(long* corners);

  // Read access for callers that walk the table by index.
  const char* GetName() const;
  const char* GetHeader() const;
  HWND GetOwner() const;
  int GetRows() const;
  int GetCols() const;
  int GetNCells() const;
  CellEntryClass* GetCell(int index);  // null when index is outside the table
  const CellEntryClass* GetCell(int index) const;

  // Read or ReadHeader (header_only nonzero) over the bytes of a whole file held in memory.
  int ReadMemory(const void* data, std::size_t size, int header_only = 0);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

#endif  // TESK_CEL_INCLUDE_TESK_PARVEL_H_
