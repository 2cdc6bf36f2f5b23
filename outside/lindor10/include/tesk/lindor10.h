// Lindor10: the chip layout reader that the object model binds on first use.
//
// CCDFFileData reads a text layout file (versions QX1.0 to QX3.0, doc/formats/cdf.md) with
// Pendrix71's layout reader (ChipClass::ReadCDF) and answers questions about it from that chip
// model, without copying it.
// The companion classes are small values that a caller creates and the reader fills: each keeps
// a pointer back to its CCDFFileData and the indices it stands for, and asks the reader again
// for what it needs. They are valid while their CCDFFileData holds the same read layout.
//
// How the chip model answers:
//   unit type       layout type 3 -> 1 expression, 2 -> 2 genotyping, 1, 5, 6 -> 3 custom
//                   sequence; any other (7, universal) -> 0, which no view claims.
//   probe set name  the unit's name, or the name of its first block when the unit is named
//                   "NONE".
//   unit            GetNumAtoms: probe pairs of an expression unit, atoms of any other unit.
//   block           a run of consecutive atoms (pairs) of the unit. A genotyping or custom
//                   sequence group is a block, a list is an atom of the block (list l = the
//                   block's l-th atom), a probe is a cell of the atom. Cells of a block are
//                   numbered list by list: cell i is cell i % c of list i / c, c being the
//                   block's cells per list (2 for expression, the unit's cells per atom else).
//                   So pair p of an expression block has its perfect match cell at 2p and its
//                   mismatch cell at 2p + 1.
//   cell bases      the probe base and the target base as the layout gives them (lower case);
//                   0 where the cell has none. GetBases packs them: low byte the probe base,
//                   high byte the target base.
//   block direction a genotyping block's own direction, otherwise the unit's: 1 sense,
//                   2 antisense.
//   custom sequence a list's reference index is its atom number, its sequence position the
//                   atom's position (EXPOS), its reference base the target base of its first
//                   cell that has one (0 when none has); FindListByReferenceIndex searches
//                   every block.
//   QC unit         its cells and its type as the layout gives it.
// Atoms keep the layout file's order within their unit (the layout is read without
// intensities, so nothing re-sorts them).
//
// Operations that can fail return 0 and leave their output describing nothing (zeros, empty
// texts). No exception leaves the library. IsXDACompatibleFile answers 0: only the text form is
// read. The const operations (and the companions') may run concurrently on one loaded layout;
// Read and Close may not run alongside anything else on the same object.
//
// Binding: CCDFFileData's operations are virtual and the companions' are inline, so a caller
// that opens the library with dlopen needs only Lindor10CreateCDFFileData; it destroys the
// object with delete. A caller that links the library may construct the class directly.
#ifndef TESK_OUTSIDE_LINDOR10_INCLUDE_TESK_LINDOR10_H_
#define TESK_OUTSIDE_LINDOR10_INCLUDE_TESK_LINDOR10_H_

#include <memory>
#include <string>

#include <tesk/lindor10_export.h>

class CCDFFileData;

// Kinds of unit that the object model tells apart.
enum VarolithUnitType {
  UnknownUnitType = 0,
  ExpressionUnitType = 1,
  GenotypingUnitType = 2,
  CustomSeqUnitType = 3
};

// One cell of a block.
class CCDFUnitBlockCellInformation {
 public:
  int GetX() const { return x_; }  // 0..65535
  int GetY() const { return y_; }
  char GetProbeBase() const { return probe_base_; }
  char GetTargetBase() const { return target_base_; }
  unsigned short GetBases() const {
    return static_cast<unsigned short>(static_cast<unsigned char>(probe_base_) |
                                       static_cast<unsigned char>(target_base_) << 8);
  }
  int GetListIndex() const { return list_; }  // the list (atom, pair) of the block it is in
  int GetAtomNumber() const { return atom_number_; }

 private:
  friend class CCDFFileData;
  int x_ = 0, y_ = 0, list_ = -1, atom_number_ = 0;
  char probe_base_ = 0, target_base_ = 0;
};

// One block of a unit.
class CCDFUnitBlockInformation {
 public:
  int GetNumLists() const { return lists_; }  // atoms, or pairs of an expression block
  int GetNumCells() const { return lists_ * cells_per_list_; }
  unsigned char GetNumCellsPerList() const { return static_cast<unsigned char>(cells_per_list_); }
  int GetDirection() const { return direction_; }
  int GetBlockIndex() const { return block_; }
  const char* GetName() const { return name_ ? name_ : ""; }

  // Cell `cell` of the block (see the numbering above); 0 outside the block.
  inline int GetCell(int cell, CCDFUnitBlockCellInformation& info) const;
  // Of list `list`: its atom number (reference index), its position (sequence position) and
  // its number of cells; -1 (0 cells) outside the block.
  inline int GetReferenceIndex(int list) const;
  inline int GetSequencePosition(int list) const;
  inline int GetNumCellsInList(int list) const;
  inline char GetReferenceBase(int list) const;  // 0 outside the block

 private:
  friend class CCDFFileData;
  const CCDFFileData* file_ = nullptr;
  int unit_ = -1, block_ = -1, lists_ = 0, cells_per_list_ = 0, direction_ = 0;
  const char* name_ = nullptr;
};

// One unit (probe set).
class CCDFUnitInformation {
 public:
  int GetNumAtoms() const { return atoms_; }  // first field: probe pairs of an expression unit
  int GetNumBlocks() const { return blocks_; }
  int GetNumCellsPerAtom() const { return cells_per_atom_; }
  int GetNumCells() const { return atoms_ * cells_per_atom_; }
  VarolithUnitType GetUnitType() const { return type_; }
  int GetUnitIndex() const { return unit_; }
  int GetUnitNumber() const { return number_; }
  int GetDirection() const { return direction_; }

  // Block `block` of the unit; 0 when there is none.
  inline int GetBlockInformation(int block, CCDFUnitBlockInformation& info) const;
  // The block and list of the atom whose number is `reference`; 0 when no block holds one.
  inline int FindListByReferenceIndex(int reference, int& block, int& list) const;

 private:
  friend class CCDFFileData;
  const CCDFFileData* file_ = nullptr;
  int unit_ = -1, atoms_ = 0, blocks_ = 0, cells_per_atom_ = 0, number_ = 0, direction_ = 0;
  VarolithUnitType type_ = UnknownUnitType;
};

// One cell of a QC unit.
class CCDFQCCellInformation {
 public:
  int GetX() const { return x_; }
  int GetY() const { return y_; }
  int GetProbeLength() const { return probe_length_; }
  int GetAtom() const { return atom_; }
  int IsPerfectMatch() const { return match_; }  // the match flag (types 7 to 10)
  int IsBackground() const { return background_; }  // the background flag (types 9, 10)

 private:
  friend class CCDFFileData;
  int x_ = 0, y_ = 0, probe_length_ = 0, atom_ = 0, match_ = 0, background_ = 0;
};

// One QC unit.
class CCDFQCUnitInformation {
 public:
  int GetNumCells() const { return cells_; }  // first field
  unsigned short GetQCType() const { return type_; }
  int GetQCUnitIndex() const { return qc_; }

  // Cell `cell` of the QC unit; 0 outside it.
  inline int GetCell(int cell, CCDFQCCellInformation& info) const;

 private:
  friend class CCDFFileData;
  const CCDFFileData* file_ = nullptr;
  int qc_ = -1, cells_ = 0;
  unsigned short type_ = 0;
};

// The probe set names of the loaded layout.
class CCDFProbeSetNames {
 public:
  // The name of unit `unit` (see above); 0 and an empty name outside the layout.
  inline int GetProbeSetName(int unit, std::string& name) const;
  inline const char* GetProbeSetName(int unit) const;

 private:
  friend class CCDFFileData;
  explicit CCDFProbeSetNames(const CCDFFileData* file) : file_(file) {}
  const CCDFFileData* file_;
};

class TESK_LINDOR10_API CCDFFileData {
 public:
  CCDFFileData();
  virtual ~CCDFFileData();
  CCDFFileData(const CCDFFileData&) = delete;
  CCDFFileData& operator=(const CCDFFileData&) = delete;

  // File access. `options` is reserved: pass 0. Read replaces the loaded layout only when it
  // succeeds; Close releases it.
  virtual void SetFileName(const char* path);
  virtual const char* GetFileName() const;
  virtual int Exists() const;  // 1 when the named file exists
  virtual int Read(int options = 0);
  virtual void Close();
  virtual int IsLoaded() const;
  // The reason the last Read failed (the layout reader's message); empty after a success.
  virtual const char* GetError() const;
  virtual int IsXDACompatibleFile() const;  // 0: the text form

  // Header values; 0 or "" with nothing loaded.
  virtual int GetRows() const;
  virtual int GetCols() const;
  virtual int GetNumUnits() const;
  virtual int GetNumQCUnits() const;
  virtual int GetVersion() const;  // layout version 1, 2 or 3
  virtual const char* GetChipName() const;  // the value of the chip section's name line

  virtual VarolithUnitType GetUnitType(int unit) const;  // UnknownUnitType outside the layout
  virtual int GetUnitInformation(int unit, CCDFUnitInformation& info) const;
  virtual int GetQCUnitInformation(int qc, CCDFQCUnitInformation& info) const;
  const CCDFProbeSetNames& GetProbeSetNames() const { return names_; }

  struct Impl;

 protected:
  friend class CCDFUnitInformation;
  friend class CCDFUnitBlockInformation;
  friend class CCDFQCUnitInformation;
  friend class CCDFProbeSetNames;
  // What the companions ask for; the arguments are the indices they hold.
  virtual int GetBlock(int unit, int block, CCDFUnitBlockInformation& info) const;
  virtual int GetBlockCell(int unit, int block, int cell, CCDFUnitBlockCellInformation& info) const;
  enum ListValue { kReferenceIndex, kSequencePosition, kCellsInList, kReferenceBase };
  virtual int GetListValue(int unit, int block, int list, ListValue what) const;
  virtual int FindList(int unit, int reference, int& block, int& list) const;
  virtual int GetQCCell(int qc, int cell, CCDFQCCellInformation& info) const;
  virtual const char* GetName(int unit) const;  // null outside the layout

 private:
  std::unique_ptr<Impl> impl_;
  CCDFProbeSetNames names_{this};
};

// Creates a reader for a caller that bound the library at run time; null when out of memory.
extern "C" TESK_LINDOR10_API CCDFFileData* Lindor10CreateCDFFileData();

// ---------------------------------------------------------------------------------------------

inline int CCDFUnitBlockInformation::GetCell(int cell, CCDFUnitBlockCellInformation& info) const {
  info = CCDFUnitBlockCellInformation();
  return file_ ? file_->GetBlockCell(unit_, block_, cell, info) : 0;
}

inline int CCDFUnitBlockInformation::GetReferenceIndex(int list) const {
  return file_ ? file_->GetListValue(unit_, block_, list, CCDFFileData::kReferenceIndex) : -1;
}

inline int CCDFUnitBlockInformation::GetSequencePosition(int list) const {
  return file_ ? file_->GetListValue(unit_, block_, list, CCDFFileData::kSequencePosition) : -1;
}

inline int CCDFUnitBlockInformation::GetNumCellsInList(int list) const {
  return file_ ? file_->GetListValue(unit_, block_, list, CCDFFileData::kCellsInList) : 0;
}

inline char CCDFUnitBlockInformation::GetReferenceBase(int list) const {
  return file_ ? static_cast<char>(
                     file_->GetListValue(unit_, block_, list, CCDFFileData::kReferenceBase))
               : 0;
}

inline int CCDFUnitInformation::GetBlockInformation(int block,
                                                    CCDFUnitBlockInformation& info) const {
  info = CCDFUnitBlockInformation();
  return file_ ? file_->GetBlock(unit_, block, info) : 0;
}

inline int CCDFUnitInformation::FindListByReferenceIndex(int reference, int& block,
                                                         int& list) const {
  block = list = -1;
  return file_ ? file_->FindList(unit_, reference, block, list) : 0;
}

inline int CCDFQCUnitInformation::GetCell(int cell, CCDFQCCellInformation& info) const {
  info = CCDFQCCellInformation();
  return file_ ? file_->GetQCCell(qc_, cell, info) : 0;
}

inline int CCDFProbeSetNames::GetProbeSetName(int unit, std::string& name) const {
  const char* n = file_->GetName(unit);
  name = n ? n : "";
  return n ? 1 : 0;
}

inline const char* CCDFProbeSetNames::GetProbeSetName(int unit) const {
  const char* n = file_->GetName(unit);
  return n ? n : "";
}

#endif  // TESK_OUTSIDE_LINDOR10_INCLUDE_TESK_LINDOR10_H_
