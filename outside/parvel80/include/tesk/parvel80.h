// Parvel80: the cell intensity reader that the object model binds on first use.
//
// CCELFileData reads one cell intensity file (binary version 4, text versions 2 and 3; layouts in
// doc/formats/cel.md) through ParvelClass and answers the object model's questions about it. Operations that can fail
// return 0; getters answer 0 or an empty text when nothing is loaded or an index or position
// lies outside the table. No exception leaves the library.
//
// Binding: every operation is virtual, so a caller that opens the library with dlopen needs only
// the creation function Parvel80CreateCELFileData; it destroys the object with delete. A caller
// that links the library may construct the class directly.
//
// Life of the data:
//   SetFileName names the file of the next Exists, Read or ReadHeader.
//   Read loads header and cells, ReadHeader only the header. Either reads into a fresh object and
//   replaces what was loaded only on success, so a failed read leaves the earlier file readable.
//   Close frees the cells; the header values (counts, texts, corners) stay readable.
//   WriteVersion3 writes the loaded cells again, as version 3 text, to the file they came from.
// Concurrent getters on one loaded object are safe; reads, Close and writes are not.
#ifndef TESK_OUTSIDE_PARVEL80_INCLUDE_TESK_PARVEL80_H_
#define TESK_OUTSIDE_PARVEL80_INCLUDE_TESK_PARVEL80_H_

#include <memory>

#include <tesk/parvel80_export.h>

class TESK_PARVEL80_API CCELFileData {
 public:
  CCELFileData();
  virtual ~CCELFileData();
  CCELFileData(const CCELFileData&) = delete;
  CCELFileData& operator=(const CCELFileData&) = delete;

  // File access. `options` is reserved: pass 0.
  virtual void SetFileName(const char* path);
  virtual const char* GetFileName() const;
  virtual int Exists();  // 1 when the named file exists, else 0
  virtual int Read(int options = 0);
  virtual int ReadHeader(int options = 0);
  virtual void Close();
  virtual int WriteVersion3();  // 0 when no cells are loaded or the write fails

  // Header values of the last successful read; 0 or "" before one.
  virtual int GetVersion() const;      // 2, 3 or the binary version field
  virtual int GetRows() const;
  virtual int GetCols() const;
  virtual int GetNumCells() const;     // cells read; after ReadHeader alone, rows x cols
  virtual int GetNumMasked() const;
  virtual int GetNumOutliers() const;
  virtual int GetCellMargin() const;   // -1 when the header names none
  virtual const char* GetChipType() const;
  virtual const char* GetAlgorithm() const;
  // The algorithm parameters as blank-separated name=value items, without trailing white space.
  virtual const char* GetParams() const;
  virtual const char* GetHeader() const;  // the whole header text
  // Grid corners into corners[0..7]: upper-left x, y, upper-right x, y, lower-left x, y,
  // lower-right x, y. 1 when the header gives all four corners; otherwise 0 and eight zeros.
  virtual int GetCorners(long* corners) const;

  // Cells, by index (y * cols + x for files read from disk) or by position. Outside the table,
  // or with no cells loaded: position 0, values 0.
  virtual int GetX(int index) const;
  virtual int GetY(int index) const;
  virtual float GetIntensity(int index) const;
  virtual float GetIntensity(int x, int y) const;
  virtual float GetStdv(int index) const;
  virtual float GetStdv(int x, int y) const;
  virtual short GetPixels(int index) const;  // the stored 16 bits
  virtual short GetPixels(int x, int y) const;
  virtual int IsOutlier(int index) const;  // 1 or 0
  virtual int IsOutlier(int x, int y) const;
  virtual int IsMasked(int index) const;
  virtual int IsMasked(int x, int y) const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Creates a reader for a caller that bound the library at run time; null when out of memory.
extern "C" TESK_PARVEL80_API CCELFileData* Parvel80CreateCELFileData();

#endif  // TESK_OUTSIDE_PARVEL80_INCLUDE_TESK_PARVEL80_H_
