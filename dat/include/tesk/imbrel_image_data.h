// ImageData, the class of both builds of the scanner image library. Include <tesk/imbrel7.h> or
// <tesk/imbrel6.h>, not this file: it is read once per build, with TESK_IMBREL_HEADER_BUILD set
// to 7 or 6, and declares that build's class in its own inline namespace. The file layout is
// in doc/formats/dat.md.
//
// Contract of ImageData:
//  - Results: 1 for success, 0 for failure; no exception leaves the library.
//  - After a failure the object holds what it held before the call, except that a failed Read
//    leaves it closed (no mapping).
//  - Pixels points into the current mapping: valid until the next MapData, Read, Create,
//    Close or destruction.
//  - One object is used by one thread at a time; the two builds may live in one process.
// No include guard: read once per build.
#if !defined(TESK_IMBREL_HEADER_BUILD) || \
    (TESK_IMBREL_HEADER_BUILD != 6 && TESK_IMBREL_HEADER_BUILD != 7)
#error "include <tesk/imbrel7.h> or <tesk/imbrel6.h>"
#endif

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <tesk/imbrel_common.h>

#if TESK_IMBREL_HEADER_BUILD == 7
inline namespace imbrel7 {
#else
inline namespace imbrel6 {
#endif

namespace imbrel_detail {
struct Handles;  // open file, mapping and view: owned, released by Close
}

class TESK_IMBREL_API ImageData {
 public:
  ImageData();
  virtual ~ImageData();  // Close, then frees the sub-grids
  ImageData(const ImageData&) = delete;
  ImageData& operator=(const ImageData&) = delete;

  // Names and texts. Null pointers count as empty texts.
  void SetName(const char* name);  // full path of the file
  void SetChipType(const char* type);             // chip field 1
  void SetChipInfo(int index, const char* text);  // chip field index (0..9), else nothing
  void SetExperimentName(const char* name);
  void SetScanDate(const char* date, const char* time);  // "date time " or date alone
  void SetScannerID(const char* id);                     // trimmed of blanks
  void SetScannerType(const char* type);                 // trimmed of blanks
#if TESK_IMBREL_HEADER_BUILD == 6
  void SetBarcode(const char* barcode);  // at most 63 characters are stored
#endif
  // Build the text as it goes into the header; the object keeps it.
  const char* GetScanInfo();
  const char* GetChipInfo();

  // Dimensions; with a mapped view the file is cut or grown to the new pixel area (its trailer
  // and sub-grids are dropped) and mapped anew, read-only.
  void SetSize(int cols, int rows);

  // Files. 1 on success, 0 on failure.
  int Create(int cols, int rows);  // new file (replacing one), whole image mapped read-write
#if TESK_IMBREL_HEADER_BUILD == 7
  int Open(RWAccess access, ShareMode share);  // opens the file without mapping it
  int MapData(int firstLine, int numLines);    // maps a window of lines of the opened file
  int ReadHeader();                            // header, trailer and sub-grids; no pixels
  int WriteHeader();                           // header, trailer and sub-grids
#endif
  int Read();   // whole file, pixels mapped read-only
  int Write();  // whole file; a new file goes through a temporary file and a rename
  void Close();
  int Rename(const char* newName);
  int Delete();
  int Exists();

  // Sub-grids, at most 65535.
  int GetSubGrid(int index, SUBGRID* out);
  int GetSubGrid(int row, int col, SUBGRID* out);
  int AddSubGrid(SUBGRID* subgrid);
  int UpdateSubGrid(SUBGRID* subgrid);
  void RemoveSubGrids();

  // State, in the order the file format lists it.
  std::int32_t Cols = 0;
  std::int32_t Rows = 0;
  std::uint16_t* Pixels = nullptr;  // pixel (0, FirstLine) in the mapping, or null

 private:
  std::unique_ptr<imbrel_detail::Handles> handles_;

 public:
  std::int32_t FirstLine = 0;
  std::int32_t NumLines = 0;
  std::string OpenPath;  // the name the current file was opened or mapped under
  std::string ChipField[10];
  std::string ChipInfoText;
  std::string ScanDate;
  std::string ScanInfoText;
  std::string ScannerID;
  std::string ScannerType;
  std::string ExperimentName;
  std::string FileName;
  std::uint16_t NumSubGrids = 0;
  std::uint16_t NumSubGridsOnDisk = 0;  // at the last read or write

 private:
  std::vector<SUBGRID> subGrids_;
  imbrel_detail::Handles& H();  // created on first use

 public:
  std::uint16_t MinData = 0;
  std::uint16_t MaxData = 0;
  std::uint8_t StoredStat1[8] = {};  // written back unchanged
  std::uint8_t StoredStat2[8] = {};
  std::int32_t PixelSize = 0;
  std::int32_t ChipDigit = 0;
  std::int32_t ScanSpeed = 0;
  std::int32_t ScanValue4 = 0;
  std::int32_t TMP = 0;
  std::int32_t StoredValues[5] = {};  // written back unchanged
  // Upper-left x, y, upper-right x, y, lower-right x, y, lower-left x, y.
  std::int32_t GridCorners[8] = {};
  std::uint16_t CellMargin = 1;
#if TESK_IMBREL_HEADER_BUILD == 7
  double ChipNumber3 = 0.0;
  double ChipNumber1 = 0.0;
  double ChipNumber2 = 0.0;
  std::int32_t ChipCount = 0;
  std::uint16_t TrailerVersion = 7;
#else
  std::uint16_t TrailerVersion = 6;
#endif
  std::int32_t TrailerValues[9] = {};  // written back unchanged
#if TESK_IMBREL_HEADER_BUILD == 6
  std::string Barcode;
#endif
};

// 512 + 2 x cols x rows: the size of an image without trailer; -1 for negative dimensions
// (and, in Imbrel6, for a size beyond 32-bit offsets).
#if TESK_IMBREL_HEADER_BUILD == 7
TESK_IMBREL_API std::int64_t GetImageFileSize(int cols, int rows);
#else
TESK_IMBREL_API int GetImageFileSize(int cols, int rows);
#endif

}  // inline namespace imbrel7 / imbrel6
