// Tarvex: the automation object model of the kit (type library TARVEXLib, "Tarvex 1.0 Type
// Library", version 1.0, locale 0x409).
//
// Twenty-one classes, each with one dual interface named as the class with an "I" in front.
// Clients create them by class identifier or ProgID after registering libtarvex.so
// (`tesk regsvr libtarvex.so`), then drive them through the vtable or late-bound through
// IDispatch (names or the dispatch identifiers given beside each member below):
//
//   ITeskCELFile* cel = nullptr;
//   CoCreateInstance(CLSID_TeskCELFile, nullptr, CLSCTX_INPROC_SERVER, IID_ITeskCELFile,
//                    reinterpret_cast<void**>(&cel));
//
// Every member returns an HRESULT: S_OK, E_FAIL (with rich error information whose
// description reads "Failure in <interface>-<member>: <detail>") or E_POINTER for a null
// pointer argument. Strings are BSTRs; arrays are SAFEARRAYs; both are the caller's to free.
// A single trailing [out] scalar is the [out, retval] value of a late-bound call; array and
// string-pair outputs are [out] arguments passed by reference.
#ifndef TESK_API_INCLUDE_TESK_TARVEX_H_
#define TESK_API_INCLUDE_TESK_TARVEX_H_

#include <tesk/platform.h>

// ---- Type library ------------------------------------------------------------------------

inline constexpr GUID LIBID_TARVEXLib{0xF0225436, 0x98BC, 0x4306, {0xA5, 0xE0, 0xB3, 0x34, 0xE5, 0xD4, 0x3E, 0x6C}};
#define TARVEX_TYPELIB_NAME "TARVEXLib"
#define TARVEX_TYPELIB_HELPSTRING "Tarvex 1.0 Type Library"
#define TARVEX_TYPELIB_MAJOR 1
#define TARVEX_TYPELIB_MINOR 0
#define TARVEX_TYPELIB_LCID 0x409

// ---- Enumerations ------------------------------------------------------------------------

typedef enum tagTARVEX_PROBE_TYPE : LONG {
  UNKNOWN_PROBE_TYPE = 0,
  REGULAR_PROBE_TYPE = 1,
  QC_PROBE_TYPE = 2,
} TARVEX_PROBE_TYPE;

typedef enum tagTARVEX_ALGORITHM_TYPE : LONG {
  UNKNOWN_ALGORITHM_TYPE = 0,
  EMPIRICAL_ALGORITHM_TYPE = 1,
  STATISTICAL_ALGORITHM_TYPE = 2,
  GENOTYPING_ALGORITHM_TYPE = 3,
  CUSTOMSEQ_ALGORITHM_TYPE = 4,
} TARVEX_ALGORITHM_TYPE;

// There is no 0.
typedef enum tagTARVEX_FILTER_PROBESET_TYPE : LONG {
  FILTER_ANALYSIS_PROBESET_TYPE = 1,
  FILTER_QC_PROBESET_TYPE = 2,
  FILTER_ALL_PROBESET_TYPE = 3,
  FILTER_GENOTYPE_PROBESET_TYPE = 4,
  FILTER_CUSTOMSEQ_PROBESET_TYPE = 5,
} TARVEX_FILTER_PROBESET_TYPE;

typedef enum tagTARVEX_ABS_CALL_TYPE : LONG {
  PRESENT_CALL_TYPE = 0,
  MARGINAL_CALL_TYPE = 1,
  ABSENT_CALL_TYPE = 2,
  NO_ABS_CALL_TYPE = 3,
} TARVEX_ABS_CALL_TYPE;

typedef enum tagTARVEX_COMP_CALL_TYPE : LONG {
  UNKNOWN_CALL_TYPE = 0,
  INCREASED_CALL_TYPE = 1,
  DECREASED_CALL_TYPE = 2,
  INCREASED_MODERATELY_CALL_TYPE = 3,
  DECREASED_MODERATELY_CALL_TYPE = 4,
  NO_CHANGE_CALL_TYPE = 5,
  NO_COMP_CALL_TYPE = 6,
} TARVEX_COMP_CALL_TYPE;

// Bit flags; combine with bitwise or.
typedef enum tagTARVEX_QC_PROBESET_TYPE : LONG {
  UNKNOWN_QC_TYPE = 0,
  CHECKERBOARD_NEGATIVE_QC_TYPE = 1,
  CHECKERBOARD_POSITIVE_QC_TYPE = 2,
  HYB_NEGATIVE_QC_TYPE = 4,
  HYB_POSITIVE_QC_TYPE = 8,
  TEXT_FEATURES_NEGATIVE_QC_TYPE = 16,
  TEXT_FEATURES_POSITIVE_QC_TYPE = 32,
  CENTRAL_NEGATIVE_QC_TYPE = 64,
  CENTRAL_POSITIVE_QC_TYPE = 128,
  GENEEXP_NEGATIVE_QC_TYPE = 256,
  GENEEXP_POSITIVE_QC_TYPE = 512,
  CYCLE_FIDELITY_NEGATIVE_QC_TYPE = 1024,
  CYCLE_FIDELITY_POSITIVE_QC_TYPE = 2048,
  CENTRAL_CROSS_NEGATIVE_QC_TYPE = 4096,
  CENTRAL_CROSS_POSITIVE_QC_TYPE = 8192,
  CROSS_HYB_NEGATIVE_QC_TYPE = 16384,
  CROSS_HYB_POSITIVE_QC_TYPE = 32768,
  ALL_QC_TYPE = 65535,
} TARVEX_QC_PROBESET_TYPE;

typedef enum tagTARVEX_PROBESET_TYPE : LONG {
  UNKNOWN_PROBESET_TYPE = 0,
  PROBESET_TYPE = 1,
  STAT_PROBESET_TYPE = 2,
  EMP_PROBESET_TYPE = 3,
  QC_PROBESET_TYPE = 4,
  GENOTYPE_PROBESET_TYPE = 5,
  CUSTOMSEQ_PROBESET_TYPE = 6,
} TARVEX_PROBESET_TYPE;

typedef enum tagTARVEX_PROBEPAIR_USAGE_TYPE : LONG {
  USE_PROBEPAIR_USAGE_TYPE = 0,
  MASKED_PROBEPAIR_USAGE_TYPE = 1,
  IN_AVG_DIFF_PROBEPAIR_USAGE_TYPE = 2,
} TARVEX_PROBEPAIR_USAGE_TYPE;

typedef enum tagTARVEX_GENOTYPE_RESULT_TYPE : LONG {
  GENOTYPE_AA_CALL = 0,
  GENOTYPE_AB_CALL = 1,
  GENOTYPE_BB_CALL = 2,
  GENOTYPE_NO_CALL = 3,
} TARVEX_GENOTYPE_RESULT_TYPE;

typedef enum tagTARVEX_STRAND_DIRECTION_TYPE : LONG {
  SENSE_DIRECTION = 0,
  ANTISENSE_DIRECTION = 1,
} TARVEX_STRAND_DIRECTION_TYPE;

typedef enum tagTARVEX_BAR_DATA_TYPE : LONG {
  BAR_DATA_DOUBLE = 0,
  BAR_DATA_FLOAT = 1,
  BAR_DATA_INTEGER = 2,
  BAR_DATA_SHORT = 3,
  BAR_DATA_CHAR = 4,
  BAR_DATA_UINTEGER = 5,
  BAR_DATA_USHORT = 6,
  BAR_DATA_UCHAR = 7,
} TARVEX_BAR_DATA_TYPE;

// ---- Class and interface identifiers -----------------------------------------------------

inline constexpr CLSID CLSID_TeskEXPFile{0x344886A3, 0xFF2F, 0x4FA2, {0xA3, 0xE9, 0x2B, 0x6E, 0x1C, 0x7F, 0x82, 0x86}};
inline constexpr CLSID CLSID_TeskDATFile{0x76CF5162, 0x00DB, 0x4C2C, {0xA4, 0xF2, 0x63, 0x81, 0xAB, 0xC8, 0x13, 0xB1}};
inline constexpr CLSID CLSID_TeskCELFile{0x1B0623C0, 0x74EB, 0x49B0, {0x8C, 0xE8, 0xA7, 0x00, 0x5C, 0xD3, 0x6C, 0xFB}};
inline constexpr CLSID CLSID_TeskCHPFile{0x3351F9E8, 0x82E9, 0x472D, {0x8A, 0x23, 0x35, 0x5B, 0xFF, 0x12, 0xD4, 0xF6}};
inline constexpr CLSID CLSID_TeskCDFFile{0xDFD54BE3, 0x62A2, 0x4AE4, {0x98, 0x4C, 0x40, 0x01, 0x90, 0xAD, 0x02, 0xCC}};
inline constexpr CLSID CLSID_TeskProbe{0x04734187, 0x9697, 0x44AC, {0x94, 0xB7, 0xE2, 0x03, 0x07, 0x1D, 0x37, 0xB1}};
inline constexpr CLSID CLSID_TeskProbeSet{0x90230ED5, 0xE24D, 0x461E, {0x8C, 0xDE, 0x9D, 0x97, 0x03, 0xE5, 0x32, 0x07}};
inline constexpr CLSID CLSID_TeskProbePair{0x6539F6EF, 0xDBE9, 0x4462, {0xB7, 0xBB, 0x26, 0xB8, 0x5C, 0x59, 0xE2, 0x6E}};
inline constexpr CLSID CLSID_TeskGenotypeProbeList{0x0F741BD5, 0x4D3C, 0x4247, {0xB5, 0x62, 0x55, 0xBC, 0x75, 0x69, 0xC6, 0xBF}};
inline constexpr CLSID CLSID_TeskGenotypeProbeGroup{0xC85E0634, 0xBE07, 0x4CE1, {0x8D, 0x90, 0x01, 0xC2, 0xA3, 0xC2, 0x58, 0x0B}};
inline constexpr CLSID CLSID_TeskGenotypeProbeSet{0xD1A6C1B3, 0x5A5A, 0x4D62, {0x8E, 0x46, 0x2D, 0x7D, 0xC1, 0x98, 0x8D, 0xF0}};
inline constexpr CLSID CLSID_TeskCustomSeqProbeSet{0x243122BA, 0x321F, 0x4D22, {0xBF, 0xA8, 0xA8, 0x73, 0x47, 0x93, 0xBD, 0xB8}};
inline constexpr CLSID CLSID_TeskControlProbeSet{0x23B73CCB, 0x1E29, 0x48EA, {0x99, 0x84, 0x2D, 0x4E, 0x5B, 0xB7, 0x06, 0xC1}};
inline constexpr CLSID CLSID_TeskCustomSeqComposite{0x652F59EB, 0xE6F9, 0x42BA, {0xA2, 0xB3, 0x80, 0x46, 0x3C, 0xDA, 0xC1, 0x75}};
inline constexpr CLSID CLSID_TeskCustomSeqProbeList{0x765E925A, 0xC7C5, 0x40B3, {0x9B, 0x58, 0x1C, 0x49, 0x19, 0x55, 0x48, 0x31}};
inline constexpr CLSID CLSID_TeskCustomSeqProbeGroup{0x545FF759, 0xB522, 0x40BC, {0x98, 0xDE, 0x40, 0xA6, 0xD9, 0xA4, 0xC0, 0x92}};
inline constexpr CLSID CLSID_TeskSequenceItem{0x9462DB40, 0x262D, 0x42CB, {0x84, 0x88, 0xF0, 0x56, 0x7A, 0x4D, 0x8B, 0xAB}};
inline constexpr CLSID CLSID_TeskSequenceHitItem{0x80078F02, 0xD289, 0x4B6A, {0xBA, 0x57, 0x61, 0xB0, 0xF3, 0x94, 0x67, 0x08}};
inline constexpr CLSID CLSID_TeskBPMAPFile{0x7C0F973E, 0x868E, 0x47BB, {0xA8, 0x31, 0x15, 0xB6, 0x69, 0xFE, 0xC1, 0x81}};
inline constexpr CLSID CLSID_TeskBARFile{0x5573A627, 0xE7AE, 0x4BF3, {0x90, 0x06, 0xCE, 0x9E, 0xDC, 0x04, 0xCF, 0x91}};
inline constexpr CLSID CLSID_TeskSequenceResultItem{0x2BB57763, 0xB34D, 0x421A, {0xA0, 0x29, 0xDA, 0xDC, 0xBA, 0x84, 0x4D, 0x9E}};
inline constexpr IID IID_ITeskEXPFile{0x50C93063, 0x6FED, 0x42DB, {0xAE, 0x39, 0xF8, 0xDB, 0x2B, 0x07, 0xED, 0xA0}};
inline constexpr IID IID_ITeskDATFile{0x1A7FC381, 0x1C86, 0x432D, {0x82, 0x91, 0xAE, 0x8B, 0x7C, 0x36, 0xD5, 0xB0}};
inline constexpr IID IID_ITeskCELFile{0xD2DF8D00, 0x877A, 0x44A3, {0x95, 0x28, 0x49, 0xEB, 0x8F, 0x58, 0x15, 0x8A}};
inline constexpr IID IID_ITeskCHPFile{0x9F3BA308, 0xAE63, 0x4F81, {0xAA, 0x3F, 0x70, 0xC1, 0xA7, 0x50, 0x68, 0xAE}};
inline constexpr IID IID_ITeskCDFFile{0xFE85A1EE, 0x1738, 0x48E8, {0xAB, 0x0D, 0x52, 0x25, 0x0E, 0x13, 0xE2, 0xF2}};
inline constexpr IID IID_ITeskProbe{0x238E4C8F, 0x9BAE, 0x4E0A, {0x90, 0x91, 0x1F, 0xE0, 0x9B, 0x25, 0xEB, 0x39}};
inline constexpr IID IID_ITeskProbeSet{0x6DA00CB3, 0x0C1E, 0x4347, {0x81, 0x98, 0x64, 0x7B, 0x0A, 0xEA, 0xE1, 0x56}};
inline constexpr IID IID_ITeskProbePair{0xB1708BB6, 0xDBCB, 0x431A, {0x8A, 0x3D, 0x81, 0x26, 0x69, 0xA1, 0x3B, 0xF2}};
inline constexpr IID IID_ITeskGenotypeProbeList{0x21DC6E86, 0x6236, 0x4FF5, {0x8C, 0xC2, 0x24, 0x71, 0x70, 0xB7, 0x2D, 0x22}};
inline constexpr IID IID_ITeskGenotypeProbeGroup{0x99DE34E3, 0x4CFC, 0x490E, {0x95, 0x00, 0x5D, 0x41, 0x2C, 0x93, 0x88, 0x70}};
inline constexpr IID IID_ITeskGenotypeProbeSet{0x5BB7EEEA, 0x573D, 0x4CAE, {0x88, 0x60, 0x7D, 0x87, 0x9E, 0x63, 0x81, 0x03}};
inline constexpr IID IID_ITeskCustomSeqProbeSet{0xD540845E, 0x61F1, 0x41B6, {0xB6, 0x05, 0xA1, 0x32, 0xCA, 0x56, 0x2B, 0xE4}};
inline constexpr IID IID_ITeskControlProbeSet{0x700859C1, 0xBD14, 0x41CD, {0xAB, 0x1C, 0xD1, 0xD5, 0xEF, 0x3B, 0x08, 0xB1}};
inline constexpr IID IID_ITeskCustomSeqComposite{0xF2F15DB8, 0x1C3F, 0x4BEC, {0x8F, 0xBF, 0x10, 0x26, 0x37, 0xA7, 0xFF, 0x3C}};
inline constexpr IID IID_ITeskCustomSeqProbeList{0x4E1C63A3, 0x4AE6, 0x4483, {0x85, 0xFC, 0xFB, 0x9F, 0x18, 0x9A, 0xDC, 0x82}};
inline constexpr IID IID_ITeskCustomSeqProbeGroup{0x6E0A3FF8, 0x9784, 0x4868, {0x8B, 0x8E, 0x07, 0x58, 0xA0, 0xBC, 0xC5, 0x4D}};
inline constexpr IID IID_ITeskSequenceItem{0x43EDCB8F, 0xB0EF, 0x45F1, {0xBF, 0x07, 0x3A, 0x25, 0xB7, 0x22, 0x44, 0x09}};
inline constexpr IID IID_ITeskSequenceHitItem{0x64A125DC, 0x604E, 0x4C05, {0x99, 0xD7, 0xF5, 0x8D, 0x9A, 0x34, 0x41, 0x47}};
inline constexpr IID IID_ITeskBPMAPFile{0x24B0E732, 0x7508, 0x4506, {0x9B, 0x8F, 0x2C, 0xEC, 0x2E, 0xE0, 0x17, 0x14}};
inline constexpr IID IID_ITeskBARFile{0x9E1F12E5, 0xBF37, 0x45B0, {0x87, 0xD3, 0x1C, 0x46, 0x84, 0xEC, 0x5C, 0xEE}};
inline constexpr IID IID_ITeskSequenceResultItem{0xFCFF6648, 0x2A9D, 0x4FEB, {0xA0, 0xC2, 0x82, 0x72, 0x24, 0x9A, 0x30, 0x3E}};

// ---- ProgIDs (the version-dependent one is the version-independent one with ".1") ------------

#define TESKEXPFILE_PROGID "VarolithTarvex.TeskEXPFile.1"
#define TESKEXPFILE_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskEXPFile"
#define TESKDATFILE_PROGID "VarolithTarvex.TeskDATFile.1"
#define TESKDATFILE_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskDATFile"
#define TESKCELFILE_PROGID "VarolithTarvex.TeskCELFile.1"
#define TESKCELFILE_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskCELFile"
#define TESKCHPFILE_PROGID "VarolithTarvex.TeskCHPFile.1"
#define TESKCHPFILE_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskCHPFile"
#define TESKCDFFILE_PROGID "VarolithTarvex.TeskCDFFile.1"
#define TESKCDFFILE_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskCDFFile"
#define TESKPROBE_PROGID "VarolithTarvex.TeskProbe.1"
#define TESKPROBE_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskProbe"
#define TESKPROBESET_PROGID "VarolithTarvex.TeskProbeSet.1"
#define TESKPROBESET_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskProbeSet"
#define TESKPROBEPAIR_PROGID "VarolithTarvex.TeskProbePair.1"
#define TESKPROBEPAIR_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskProbePair"
#define TESKGENOTYPEPROBELIST_PROGID "VarolithTarvex.TeskGenotypeProbeList.1"
#define TESKGENOTYPEPROBELIST_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskGenotypeProbeList"
#define TESKGENOTYPEPROBEGROUP_PROGID "VarolithTarvex.TeskGenotypeProbeGroup.1"
#define TESKGENOTYPEPROBEGROUP_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskGenotypeProbeGroup"
#define TESKGENOTYPEPROBESET_PROGID "VarolithTarvex.TeskGenotypeProbeSet.1"
#define TESKGENOTYPEPROBESET_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskGenotypeProbeSet"
#define TESKCUSTOMSEQPROBESET_PROGID "VarolithTarvex.TeskCustomSeqProbeSet.1"
#define TESKCUSTOMSEQPROBESET_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskCustomSeqProbeSet"
#define TESKCONTROLPROBESET_PROGID "VarolithTarvex.TeskControlProbeSet.1"
#define TESKCONTROLPROBESET_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskControlProbeSet"
#define TESKCUSTOMSEQCOMPOSITE_PROGID "VarolithTarvex.TeskCustomSeqComposite.1"
#define TESKCUSTOMSEQCOMPOSITE_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskCustomSeqComposite"
#define TESKCUSTOMSEQPROBELIST_PROGID "VarolithTarvex.TeskCustomSeqProbeList.1"
#define TESKCUSTOMSEQPROBELIST_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskCustomSeqProbeList"
#define TESKCUSTOMSEQPROBEGROUP_PROGID "VarolithTarvex.TeskCustomSeqProbeGroup.1"
#define TESKCUSTOMSEQPROBEGROUP_VERSION_INDEPENDENT_PROGID "VarolithTarvex.TeskCustomSeqProbeGroup"
#define TESKSEQUENCEITEM_PROGID "Tarvex.TeskSequenceItem.1"
#define TESKSEQUENCEITEM_VERSION_INDEPENDENT_PROGID "Tarvex.TeskSequenceItem"
#define TESKSEQUENCEHITITEM_PROGID "Tarvex.TeskSequenceHitItem.1"
#define TESKSEQUENCEHITITEM_VERSION_INDEPENDENT_PROGID "Tarvex.TeskSequenceHitItem"
#define TESKBPMAPFILE_PROGID "Tarvex.TeskBPMAPFile.1"
#define TESKBPMAPFILE_VERSION_INDEPENDENT_PROGID "Tarvex.TeskBPMAPFile"
#define TESKBARFILE_PROGID "Tarvex.TeskBARFile.1"
#define TESKBARFILE_VERSION_INDEPENDENT_PROGID "Tarvex.TeskBARFile"
#define TESKSEQUENCERESULTITEM_PROGID "Tarvex.TeskSequenceResultItem.1"
#define TESKSEQUENCERESULTITEM_VERSION_INDEPENDENT_PROGID "Tarvex.TeskSequenceResultItem"

// ---- Interfaces --------------------------------------------------------------------------

struct ITeskEXPFile;
struct ITeskDATFile;
struct ITeskCELFile;
struct ITeskCHPFile;
struct ITeskCDFFile;
struct ITeskProbe;
struct ITeskProbeSet;
struct ITeskProbePair;
struct ITeskGenotypeProbeList;
struct ITeskGenotypeProbeGroup;
struct ITeskGenotypeProbeSet;
struct ITeskCustomSeqProbeSet;
struct ITeskControlProbeSet;
struct ITeskCustomSeqComposite;
struct ITeskCustomSeqProbeList;
struct ITeskCustomSeqProbeGroup;
struct ITeskSequenceItem;
struct ITeskSequenceHitItem;
struct ITeskBPMAPFile;
struct ITeskBARFile;
struct ITeskSequenceResultItem;

// Interfaces, in dispatch order (identifiers 1, 2, ... as listed; a property's get and put share
// one identifier). Every interface is dual: call it through its vtable or late-bound through
// IDispatch by name or by identifier.

struct ITeskEXPFile : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT put_Name(BSTR newVal) = 0;  // 1
  virtual HRESULT get_DataPath(BSTR* pVal) = 0;  // 2
  virtual HRESULT put_DataPath(BSTR newVal) = 0;  // 2
  virtual HRESULT get_LibPath(BSTR* pVal) = 0;  // 3
  virtual HRESULT put_LibPath(BSTR newVal) = 0;  // 3
  virtual HRESULT get_FullPathName(BSTR* pVal) = 0;  // 4
  virtual HRESULT get_ChipType(BSTR* pVal) = 0;  // 5
  virtual HRESULT get_Date(BSTR* pVal) = 0;  // 6
  virtual HRESULT get_ChipLot(BSTR* pVal) = 0;  // 7
  virtual HRESULT get_Operator(BSTR* pVal) = 0;  // 8
  virtual HRESULT get_SampleType(BSTR* pVal) = 0;  // 9
  virtual HRESULT get_SampleDesc(BSTR* pVal) = 0;  // 10
  virtual HRESULT get_Project(BSTR* pVal) = 0;  // 11
  virtual HRESULT get_Comments(BSTR* pVal) = 0;  // 12
  virtual HRESULT get_Reagents(BSTR* pVal) = 0;  // 13
  virtual HRESULT get_ReagentLot(BSTR* pVal) = 0;  // 14
  virtual HRESULT get_Protocol(BSTR* pVal) = 0;  // 15
  virtual HRESULT get_Station(BSTR* pVal) = 0;  // 16
  virtual HRESULT get_Module(BSTR* pVal) = 0;  // 17
  virtual HRESULT get_HybridizeDate(BSTR* pVal) = 0;  // 18
  virtual HRESULT get_ScanPixelSize(BSTR* pVal) = 0;  // 19
  virtual HRESULT get_ScanFilter(BSTR* pVal) = 0;  // 20
  virtual HRESULT get_ScanDate(BSTR* pVal) = 0;  // 21
  virtual HRESULT get_ScannerID(BSTR* pVal) = 0;  // 22
  virtual HRESULT get_NumberOfScans(LONG* pVal) = 0;  // 23
  virtual HRESULT get_ScannerType(BSTR* pVal) = 0;  // 24
  virtual HRESULT get_NumProtocolSteps(LONG* pVal) = 0;  // 25
  virtual HRESULT get_ServerName(BSTR* pVal) = 0;  // 26
  virtual HRESULT put_ServerName(BSTR newVal) = 0;  // 26
  virtual HRESULT get_NTUserName(BSTR* pVal) = 0;  // 27
  virtual HRESULT put_NTUserName(BSTR newVal) = 0;  // 27
  virtual HRESULT Exists(LONG* pVal) = 0;  // 28
  virtual HRESULT Read() = 0;  // 29
  virtual HRESULT GetProtocolStep(LONG index, BSTR* step) = 0;  // 30
  virtual HRESULT GetProtocolSteps(SAFEARRAY** steps) = 0;  // 31
};
TESK_DECLARE_INTERFACE(ITeskEXPFile, IDispatch, IID_ITeskEXPFile);

struct ITeskDATFile : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT put_Name(BSTR newVal) = 0;  // 1
  virtual HRESULT get_DataPath(BSTR* pVal) = 0;  // 2
  virtual HRESULT put_DataPath(BSTR newVal) = 0;  // 2
  virtual HRESULT get_LibPath(BSTR* pVal) = 0;  // 3
  virtual HRESULT put_LibPath(BSTR newVal) = 0;  // 3
  virtual HRESULT get_FullPathName(BSTR* pVal) = 0;  // 4
  virtual HRESULT get_ChipType(BSTR* pVal) = 0;  // 5
  virtual HRESULT get_Date(BSTR* pVal) = 0;  // 6
  virtual HRESULT get_NumPixelsPerRow(LONG* pVal) = 0;  // 7
  virtual HRESULT get_NumRows(LONG* pVal) = 0;  // 8
  virtual HRESULT get_MinData(LONG* pVal) = 0;  // 9
  virtual HRESULT get_MaxData(LONG* pVal) = 0;  // 10
  virtual HRESULT get_PixelSize(LONG* pVal) = 0;  // 11
  virtual HRESULT get_CellMargin(LONG* pVal) = 0;  // 12
  virtual HRESULT get_ScanSpeed(LONG* pVal) = 0;  // 13
  virtual HRESULT get_ScanDate(BSTR* pVal) = 0;  // 14
  virtual HRESULT get_ScannerID(BSTR* pVal) = 0;  // 15
  virtual HRESULT get_UpperLeftX(LONG* pVal) = 0;  // 16
  virtual HRESULT get_UpperLeftY(LONG* pVal) = 0;  // 17
  virtual HRESULT get_UpperRightX(LONG* pVal) = 0;  // 18
  virtual HRESULT get_UpperRightY(LONG* pVal) = 0;  // 19
  virtual HRESULT get_LowerLeftX(LONG* pVal) = 0;  // 20
  virtual HRESULT get_LowerLeftY(LONG* pVal) = 0;  // 21
  virtual HRESULT get_LowerRightX(LONG* pVal) = 0;  // 22
  virtual HRESULT get_LowerRightY(LONG* pVal) = 0;  // 23
  virtual HRESULT get_ServerName(BSTR* pVal) = 0;  // 24
  virtual HRESULT put_ServerName(BSTR newVal) = 0;  // 24
  virtual HRESULT get_NTUserName(BSTR* pVal) = 0;  // 25
  virtual HRESULT put_NTUserName(BSTR newVal) = 0;  // 25
  virtual HRESULT Exists(LONG* pVal) = 0;  // 26
  virtual HRESULT Read() = 0;  // 27
  virtual HRESULT ReadHeader() = 0;  // 28
  virtual HRESULT GetIntensity(LONG x, LONG y, LONG* pVal) = 0;  // 29
  virtual HRESULT GetLineIntensities(LONG line, SAFEARRAY** values) = 0;  // 30
};
TESK_DECLARE_INTERFACE(ITeskDATFile, IDispatch, IID_ITeskDATFile);

struct ITeskCELFile : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT put_Name(BSTR newVal) = 0;  // 1
  virtual HRESULT get_DataPath(BSTR* pVal) = 0;  // 2
  virtual HRESULT put_DataPath(BSTR newVal) = 0;  // 2
  virtual HRESULT get_LibPath(BSTR* pVal) = 0;  // 3
  virtual HRESULT put_LibPath(BSTR newVal) = 0;  // 3
  virtual HRESULT get_FullPathName(BSTR* pVal) = 0;  // 4
  virtual HRESULT get_ChipType(BSTR* pVal) = 0;  // 5
  virtual HRESULT get_Date(BSTR* pVal) = 0;  // 6
  virtual HRESULT get_FileVersion(LONG* pVal) = 0;  // 7
  virtual HRESULT get_Algorithm(BSTR* pVal) = 0;  // 8
  virtual HRESULT get_AlgParams(BSTR* pVal) = 0;  // 9
  virtual HRESULT get_NumAlgParams(LONG* pVal) = 0;  // 10
  virtual HRESULT get_CellMargin(LONG* pVal) = 0;  // 11
  virtual HRESULT get_Rows(LONG* pVal) = 0;  // 12
  virtual HRESULT get_Cols(LONG* pVal) = 0;  // 13
  virtual HRESULT get_NumMasked(LONG* pVal) = 0;  // 14
  virtual HRESULT get_NumOutliers(LONG* pVal) = 0;  // 15
  virtual HRESULT get_NumProbes(LONG* pVal) = 0;  // 16
  virtual HRESULT get_UpperLeftX(LONG* pVal) = 0;  // 17
  virtual HRESULT get_UpperLeftY(LONG* pVal) = 0;  // 18
  virtual HRESULT get_UpperRightX(LONG* pVal) = 0;  // 19
  virtual HRESULT get_UpperRightY(LONG* pVal) = 0;  // 20
  virtual HRESULT get_LowerLeftX(LONG* pVal) = 0;  // 21
  virtual HRESULT get_LowerLeftY(LONG* pVal) = 0;  // 22
  virtual HRESULT get_LowerRightX(LONG* pVal) = 0;  // 23
  virtual HRESULT get_LowerRightY(LONG* pVal) = 0;  // 24
  virtual HRESULT get_ServerName(BSTR* pVal) = 0;  // 25
  virtual HRESULT put_ServerName(BSTR newVal) = 0;  // 25
  virtual HRESULT get_NTUserName(BSTR* pVal) = 0;  // 26
  virtual HRESULT put_NTUserName(BSTR newVal) = 0;  // 26
  virtual HRESULT Exists(LONG* pVal) = 0;  // 27
  virtual HRESULT Read() = 0;  // 28
  virtual HRESULT ReadHeader() = 0;  // 29
  virtual HRESULT GetAlgParam(LONG index, BSTR* name, BSTR* value) = 0;  // 30
  virtual HRESULT GetAlgParams(SAFEARRAY** names, SAFEARRAY** values) = 0;  // 31
  virtual HRESULT GetProbeByIndex(LONG index, ITeskProbe* probe) = 0;  // 32
  virtual HRESULT GetProbeByPosition(LONG x, LONG y, ITeskProbe* probe) = 0;  // 33
  virtual HRESULT GetProbes(VARIANT* probes) = 0;  // 34
  virtual HRESULT ConvertToVersion3() = 0;  // 35
  virtual HRESULT GetIntensity(LONG x, LONG y, FLOAT* pVal) = 0;  // 36
  virtual HRESULT GetStdv(LONG x, LONG y, FLOAT* pVal) = 0;  // 37
  virtual HRESULT GetPixels(LONG x, LONG y, LONG* pVal) = 0;  // 38
  virtual HRESULT IsOutlier(LONG x, LONG y, LONG* pVal) = 0;  // 39
  virtual HRESULT IsMasked(LONG x, LONG y, LONG* pVal) = 0;  // 40
  virtual HRESULT get_DatHeader(BSTR* pVal) = 0;  // 41
};
TESK_DECLARE_INTERFACE(ITeskCELFile, IDispatch, IID_ITeskCELFile);

struct ITeskCHPFile : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT put_Name(BSTR newVal) = 0;  // 1
  virtual HRESULT get_DataPath(BSTR* pVal) = 0;  // 2
  virtual HRESULT put_DataPath(BSTR newVal) = 0;  // 2
  virtual HRESULT get_LibPath(BSTR* pVal) = 0;  // 3
  virtual HRESULT put_LibPath(BSTR newVal) = 0;  // 3
  virtual HRESULT get_FullPathName(BSTR* pVal) = 0;  // 4
  virtual HRESULT get_ChipType(BSTR* pVal) = 0;  // 5
  virtual HRESULT get_Date(BSTR* pVal) = 0;  // 6
  virtual HRESULT get_CellFile(BSTR* pVal) = 0;  // 7
  virtual HRESULT get_Algorithm(BSTR* pVal) = 0;  // 8
  virtual HRESULT get_AlgType(TARVEX_ALGORITHM_TYPE* pVal) = 0;  // 9
  virtual HRESULT get_AlgVersion(BSTR* pVal) = 0;  // 10
  virtual HRESULT get_NumAlgParams(LONG* pVal) = 0;  // 11
  virtual HRESULT get_AlgParams(BSTR* pVal) = 0;  // 12
  virtual HRESULT get_NumChipSummary(LONG* pVal) = 0;  // 13
  virtual HRESULT get_ChipSummary(BSTR* pVal) = 0;  // 14
  virtual HRESULT get_Rows(LONG* pVal) = 0;  // 15
  virtual HRESULT get_Cols(LONG* pVal) = 0;  // 16
  virtual HRESULT get_NumProbeSets(LONG* pVal) = 0;  // 17
  virtual HRESULT get_NumQCProbeSets(LONG* pVal) = 0;  // 18
  virtual HRESULT get_FilterQCType(TARVEX_QC_PROBESET_TYPE* pVal) = 0;  // 19
  virtual HRESULT put_FilterQCType(TARVEX_QC_PROBESET_TYPE newVal) = 0;  // 19
  virtual HRESULT get_FilterProbeSet(TARVEX_FILTER_PROBESET_TYPE* pVal) = 0;  // 20
  virtual HRESULT put_FilterProbeSet(TARVEX_FILTER_PROBESET_TYPE newVal) = 0;  // 20
  virtual HRESULT get_NumProbeSetsLoaded(LONG* pVal) = 0;  // 21
  virtual HRESULT get_ServerName(BSTR* pVal) = 0;  // 22
  virtual HRESULT put_ServerName(BSTR newVal) = 0;  // 22
  virtual HRESULT get_NTUserName(BSTR* pVal) = 0;  // 23
  virtual HRESULT put_NTUserName(BSTR newVal) = 0;  // 23
  virtual HRESULT Exists(LONG* pVal) = 0;  // 24
  virtual HRESULT Read() = 0;  // 25
  virtual HRESULT ReadHeader() = 0;  // 26
  virtual HRESULT GetAlgParam(LONG index, BSTR* name, BSTR* value) = 0;  // 27
  virtual HRESULT GetAlgParams(SAFEARRAY** names, SAFEARRAY** values) = 0;  // 28
  virtual HRESULT GetChipSummary(LONG index, BSTR* label, BSTR* value) = 0;  // 29
  virtual HRESULT GetChipSummaries(SAFEARRAY** labels, SAFEARRAY** values) = 0;  // 30
  virtual HRESULT LoadProbeSets() = 0;  // 31
  virtual HRESULT GetProbeSet(LONG index, ITeskProbeSet* probeSet) = 0;  // 32
  virtual HRESULT GetProbeSets(VARIANT* probeSets) = 0;  // 33
  virtual HRESULT GetCustomSeqProbeSet(LONG index, ITeskCustomSeqProbeSet* probeSet) = 0;  // 34
  virtual HRESULT GetCustomSeqProbeSets(VARIANT* probeSets) = 0;  // 35
  virtual HRESULT GetGenotypeProbeSet(LONG index, ITeskGenotypeProbeSet* probeSet) = 0;  // 36
  virtual HRESULT GetGenotypeProbeSets(VARIANT* probeSets) = 0;  // 37
  virtual HRESULT GetControlProbeSet(LONG index, ITeskControlProbeSet* probeSet) = 0;  // 38
  virtual HRESULT GetControlProbeSets(VARIANT* probeSets) = 0;  // 39
  virtual HRESULT GetProbeSetType(LONG index, TARVEX_PROBESET_TYPE* pVal) = 0;  // 40
  virtual HRESULT GetCustomSeqComposite(ITeskCustomSeqComposite* composite) = 0;  // 41
  virtual HRESULT GetExprCompDataExists(LONG index, LONG* pVal) = 0;  // 42
  virtual HRESULT GetExprNumPairs(LONG index, LONG* pVal) = 0;  // 43
  virtual HRESULT GetExprNumPairsUsed(LONG index, LONG* pVal) = 0;  // 44
  virtual HRESULT GetExprSignal(LONG index, FLOAT* pVal) = 0;  // 45
  virtual HRESULT GetExprDetection(LONG index, TARVEX_ABS_CALL_TYPE* pVal) = 0;  // 46
  virtual HRESULT GetExprDetectionPValue(LONG index, FLOAT* pVal) = 0;  // 47
  virtual HRESULT GetExprCommonPairs(LONG index, LONG* pVal) = 0;  // 48
  virtual HRESULT GetExprSignalLogRatio(LONG index, FLOAT* pVal) = 0;  // 49
  virtual HRESULT GetExprSignalLogRatioLow(LONG index, FLOAT* pVal) = 0;  // 50
  virtual HRESULT GetExprSignalLogRatioHigh(LONG index, FLOAT* pVal) = 0;  // 51
  virtual HRESULT GetExprChange(LONG index, TARVEX_COMP_CALL_TYPE* pVal) = 0;  // 52
  virtual HRESULT GetExprChangePValue(LONG index, FLOAT* pVal) = 0;  // 53
  virtual HRESULT GetGenoCall(LONG index, TARVEX_GENOTYPE_RESULT_TYPE* pVal) = 0;  // 54
  virtual HRESULT GetGenoConfidence(LONG index, FLOAT* pVal) = 0;  // 55
  virtual HRESULT GetGenoRAS1(LONG index, FLOAT* pVal) = 0;  // 56
  virtual HRESULT GetGenoRAS2(LONG index, FLOAT* pVal) = 0;  // 57
  virtual HRESULT GetProbeSetName(LONG index, BSTR* pVal) = 0;  // 58
  virtual HRESULT GetGenoAAPValue(LONG index, FLOAT* pVal) = 0;  // 59
  virtual HRESULT GetGenoABPValue(LONG index, FLOAT* pVal) = 0;  // 60
  virtual HRESULT GetGenoBBPValue(LONG index, FLOAT* pVal) = 0;  // 61
  virtual HRESULT GetGenoNoCallPValue(LONG index, FLOAT* pVal) = 0;  // 62
};
TESK_DECLARE_INTERFACE(ITeskCHPFile, IDispatch, IID_ITeskCHPFile);

struct ITeskCDFFile : IDispatch {
  virtual HRESULT get_ChipType(BSTR* pVal) = 0;  // 1
  virtual HRESULT put_ChipType(BSTR newVal) = 0;  // 1
  virtual HRESULT get_LibPath(BSTR* pVal) = 0;  // 2
  virtual HRESULT put_LibPath(BSTR newVal) = 0;  // 2
  virtual HRESULT get_FullPathName(BSTR* pVal) = 0;  // 3
  virtual HRESULT get_Date(BSTR* pVal) = 0;  // 4
  virtual HRESULT get_Rows(LONG* pVal) = 0;  // 5
  virtual HRESULT get_Cols(LONG* pVal) = 0;  // 6
  virtual HRESULT get_NumProbeSets(LONG* pVal) = 0;  // 7
  virtual HRESULT get_NumQCProbeSets(LONG* pVal) = 0;  // 8
  virtual HRESULT get_FilterQCType(TARVEX_QC_PROBESET_TYPE* pVal) = 0;  // 9
  virtual HRESULT put_FilterQCType(TARVEX_QC_PROBESET_TYPE newVal) = 0;  // 9
  virtual HRESULT get_FilterProbeSet(TARVEX_FILTER_PROBESET_TYPE* pVal) = 0;  // 10
  virtual HRESULT put_FilterProbeSet(TARVEX_FILTER_PROBESET_TYPE newVal) = 0;  // 10
  virtual HRESULT get_NumProbeSetsLoaded(LONG* pVal) = 0;  // 11
  virtual HRESULT Exists(LONG* pVal) = 0;  // 12
  virtual HRESULT Read() = 0;  // 13
  virtual HRESULT LoadProbeSets() = 0;  // 14
  virtual HRESULT GetProbeSet(LONG index, ITeskProbeSet* probeSet) = 0;  // 15
  virtual HRESULT GetProbeSets(VARIANT* probeSets) = 0;  // 16
  virtual HRESULT GetCustomSeqProbeSet(LONG index, ITeskCustomSeqProbeSet* probeSet) = 0;  // 17
  virtual HRESULT GetCustomSeqProbeSets(VARIANT* probeSets) = 0;  // 18
  virtual HRESULT GetGenotypeProbeSet(LONG index, ITeskGenotypeProbeSet* probeSet) = 0;  // 19
  virtual HRESULT GetGenotypeProbeSets(VARIANT* probeSets) = 0;  // 20
  virtual HRESULT GetControlProbeSet(LONG index, ITeskControlProbeSet* probeSet) = 0;  // 21
  virtual HRESULT GetControlProbeSets(VARIANT* probeSets) = 0;  // 22
  virtual HRESULT GetProbeSetType(LONG index, TARVEX_PROBESET_TYPE* pVal) = 0;  // 23
  virtual HRESULT GetCustomSeqComposite(ITeskCustomSeqComposite* composite) = 0;  // 24
};
TESK_DECLARE_INTERFACE(ITeskCDFFile, IDispatch, IID_ITeskCDFFile);

struct ITeskProbe : IDispatch {
  virtual HRESULT get_PosX(LONG* pVal) = 0;  // 1
  virtual HRESULT get_PosY(LONG* pVal) = 0;  // 2
  virtual HRESULT get_Intensity(FLOAT* pVal) = 0;  // 3
  virtual HRESULT get_Pixels(LONG* pVal) = 0;  // 4
  virtual HRESULT get_StdDev(FLOAT* pVal) = 0;  // 5
  virtual HRESULT get_Outlier(LONG* pVal) = 0;  // 6
  virtual HRESULT get_Masked(LONG* pVal) = 0;  // 7
  virtual HRESULT get_Background(FLOAT* pVal) = 0;  // 8
  virtual HRESULT get_ProbeType(TARVEX_PROBE_TYPE* pVal) = 0;  // 9
  virtual HRESULT get_PBase(BSTR* pVal) = 0;  // 10
  virtual HRESULT get_TBase(BSTR* pVal) = 0;  // 11
};
TESK_DECLARE_INTERFACE(ITeskProbe, IDispatch, IID_ITeskProbe);

struct ITeskProbeSet : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT get_CompDataExists(LONG* pVal) = 0;  // 2
  virtual HRESULT get_NumPairs(LONG* pVal) = 0;  // 3
  virtual HRESULT get_NumPairsUsed(LONG* pVal) = 0;  // 4
  virtual HRESULT get_Signal(FLOAT* pVal) = 0;  // 5
  virtual HRESULT get_Detection(TARVEX_ABS_CALL_TYPE* pVal) = 0;  // 6
  virtual HRESULT get_DetectionPValue(FLOAT* pVal) = 0;  // 7
  virtual HRESULT get_CommonPairs(LONG* pVal) = 0;  // 8
  virtual HRESULT get_SignalLogRatio(FLOAT* pVal) = 0;  // 9
  virtual HRESULT get_SignalLogRatioLow(FLOAT* pVal) = 0;  // 10
  virtual HRESULT get_SignalLogRatioHigh(FLOAT* pVal) = 0;  // 11
  virtual HRESULT get_Change(TARVEX_COMP_CALL_TYPE* pVal) = 0;  // 12
  virtual HRESULT get_ChangePValue(FLOAT* pVal) = 0;  // 13
  virtual HRESULT get_Positive(LONG* pVal) = 0;  // 14
  virtual HRESULT get_Negative(LONG* pVal) = 0;  // 15
  virtual HRESULT get_NumPairsUsedInAvgDiff(LONG* pVal) = 0;  // 16
  virtual HRESULT get_PositiveFraction(FLOAT* pVal) = 0;  // 17
  virtual HRESULT get_LogAverage(FLOAT* pVal) = 0;  // 18
  virtual HRESULT get_PosNegRatio(FLOAT* pVal) = 0;  // 19
  virtual HRESULT get_AverageDifference(FLOAT* pVal) = 0;  // 20
  virtual HRESULT get_AbsoluteCall(TARVEX_ABS_CALL_TYPE* pVal) = 0;  // 21
  virtual HRESULT get_Increase(LONG* pVal) = 0;  // 22
  virtual HRESULT get_Decrease(LONG* pVal) = 0;  // 23
  virtual HRESULT get_IncreaseRatio(FLOAT* pVal) = 0;  // 24
  virtual HRESULT get_DecreaseRatio(FLOAT* pVal) = 0;  // 25
  virtual HRESULT get_PositiveChange(LONG* pVal) = 0;  // 26
  virtual HRESULT get_NegativeChange(LONG* pVal) = 0;  // 27
  virtual HRESULT get_IncDecRatio(FLOAT* pVal) = 0;  // 28
  virtual HRESULT get_DPosDNegDiffRatio(FLOAT* pVal) = 0;  // 29
  virtual HRESULT get_LogAvgRatioChange(FLOAT* pVal) = 0;  // 30
  virtual HRESULT get_AvgDiffChange(FLOAT* pVal) = 0;  // 31
  virtual HRESULT get_BaselineIsAbsent(LONG* pVal) = 0;  // 32
  virtual HRESULT get_FoldChange(FLOAT* pVal) = 0;  // 33
  virtual HRESULT get_SortScore(FLOAT* pVal) = 0;  // 34
  virtual HRESULT get_DifferenceCall(TARVEX_COMP_CALL_TYPE* pVal) = 0;  // 35
  virtual HRESULT get_NumQCProbes(LONG* pVal) = 0;  // 36
  virtual HRESULT get_QCType(TARVEX_QC_PROBESET_TYPE* pVal) = 0;  // 37
  virtual HRESULT get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) = 0;  // 38
  virtual HRESULT GetProbePair(LONG index, ITeskProbePair* probePair) = 0;  // 39
  virtual HRESULT GetQCProbe(LONG index, ITeskProbe* probe) = 0;  // 40
  virtual HRESULT GetProbePairs(VARIANT* probePairs) = 0;  // 41
  virtual HRESULT GetQCProbes(VARIANT* probes) = 0;  // 42
};
TESK_DECLARE_INTERFACE(ITeskProbeSet, IDispatch, IID_ITeskProbeSet);

struct ITeskProbePair : IDispatch {
  virtual HRESULT get_ProbeSetNumber(LONG* pVal) = 0;  // 1
  virtual HRESULT get_ProbePairNumber(LONG* pVal) = 0;  // 2
  virtual HRESULT get_UseProbePair(TARVEX_PROBEPAIR_USAGE_TYPE* pVal) = 0;  // 3
  virtual HRESULT get_Background(FLOAT* pVal) = 0;  // 4
  virtual HRESULT get_PMPosX(LONG* pVal) = 0;  // 5
  virtual HRESULT get_PMPosY(LONG* pVal) = 0;  // 6
  virtual HRESULT get_PMIntensity(FLOAT* pVal) = 0;  // 7
  virtual HRESULT get_PMStdDev(FLOAT* pVal) = 0;  // 8
  virtual HRESULT get_PMPixels(LONG* pVal) = 0;  // 9
  virtual HRESULT get_PMOutlier(LONG* pVal) = 0;  // 10
  virtual HRESULT get_PMMasked(LONG* pVal) = 0;  // 11
  virtual HRESULT get_MMPosX(LONG* pVal) = 0;  // 12
  virtual HRESULT get_MMPosY(LONG* pVal) = 0;  // 13
  virtual HRESULT get_MMIntensity(FLOAT* pVal) = 0;  // 14
  virtual HRESULT get_MMStdDev(FLOAT* pVal) = 0;  // 15
  virtual HRESULT get_MMPixels(LONG* pVal) = 0;  // 16
  virtual HRESULT get_MMOutlier(LONG* pVal) = 0;  // 17
  virtual HRESULT get_MMMasked(LONG* pVal) = 0;  // 18
};
TESK_DECLARE_INTERFACE(ITeskProbePair, IDispatch, IID_ITeskProbePair);

struct ITeskGenotypeProbeList : IDispatch {
  virtual HRESULT get_ListIndex(LONG* pVal) = 0;  // 1
  virtual HRESULT get_NumProbes(LONG* pVal) = 0;  // 2
  virtual HRESULT GetProbeByIndex(LONG index, ITeskProbe* probe) = 0;  // 3
  virtual HRESULT GetProbes(VARIANT* probes) = 0;  // 4
};
TESK_DECLARE_INTERFACE(ITeskGenotypeProbeList, IDispatch, IID_ITeskGenotypeProbeList);

struct ITeskGenotypeProbeGroup : IDispatch {
  virtual HRESULT get_GroupIndex(LONG* pVal) = 0;  // 1
  virtual HRESULT get_NumLists(LONG* pVal) = 0;  // 2
  virtual HRESULT get_Direction(TARVEX_STRAND_DIRECTION_TYPE* pVal) = 0;  // 3
  virtual HRESULT GetProbeListByIndex(LONG index, ITeskGenotypeProbeList* list) = 0;  // 4
  virtual HRESULT GetProbeLists(VARIANT* lists) = 0;  // 5
};
TESK_DECLARE_INTERFACE(ITeskGenotypeProbeGroup, IDispatch, IID_ITeskGenotypeProbeGroup);

struct ITeskGenotypeProbeSet : IDispatch {
  virtual HRESULT get_SNPID(BSTR* pVal) = 0;  // 1
  virtual HRESULT get_NumGroups(LONG* pVal) = 0;  // 2
  virtual HRESULT get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) = 0;  // 3
  virtual HRESULT get_Call(TARVEX_GENOTYPE_RESULT_TYPE* pVal) = 0;  // 4
  virtual HRESULT get_Confidence(FLOAT* pVal) = 0;  // 5
  virtual HRESULT get_RAS1(FLOAT* pVal) = 0;  // 6
  virtual HRESULT get_RAS2(FLOAT* pVal) = 0;  // 7
  virtual HRESULT GetProbeGroupByIndex(LONG index, ITeskGenotypeProbeGroup* group) = 0;  // 8
  virtual HRESULT GetProbeGroups(VARIANT* groups) = 0;  // 9
  virtual HRESULT get_AA_PValue(FLOAT* pVal) = 0;  // 10
  virtual HRESULT get_AB_PValue(FLOAT* pVal) = 0;  // 11
  virtual HRESULT get_BB_PValue(FLOAT* pVal) = 0;  // 12
  virtual HRESULT get_NoCall_PValue(FLOAT* pVal) = 0;  // 13
};
TESK_DECLARE_INTERFACE(ITeskGenotypeProbeSet, IDispatch, IID_ITeskGenotypeProbeSet);

struct ITeskCustomSeqProbeSet : IDispatch {
  virtual HRESULT get_NumGroups(LONG* pVal) = 0;  // 1
  virtual HRESULT get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) = 0;  // 2
  virtual HRESULT GetProbeGroupByIndex(LONG index, ITeskCustomSeqProbeGroup* group) = 0;  // 3
  virtual HRESULT GetProbeGroups(VARIANT* groups) = 0;  // 4
  virtual HRESULT GetProbeListByReferenceIndex(LONG index, ITeskCustomSeqProbeList* list) = 0;  // 5
};
TESK_DECLARE_INTERFACE(ITeskCustomSeqProbeSet, IDispatch, IID_ITeskCustomSeqProbeSet);

struct ITeskControlProbeSet : IDispatch {
  virtual HRESULT get_NumQCProbes(LONG* pVal) = 0;  // 1
  virtual HRESULT get_QCType(TARVEX_QC_PROBESET_TYPE* pVal) = 0;  // 2
  virtual HRESULT get_ProbeSetType(TARVEX_PROBESET_TYPE* pVal) = 0;  // 3
  virtual HRESULT GetQCProbe(LONG index, ITeskProbe* probe) = 0;  // 4
  virtual HRESULT GetQCProbes(VARIANT* probes) = 0;  // 5
};
TESK_DECLARE_INTERFACE(ITeskControlProbeSet, IDispatch, IID_ITeskControlProbeSet);

struct ITeskCustomSeqComposite : IDispatch {
  virtual HRESULT get_NumBases(LONG* pVal) = 0;  // 1
  virtual HRESULT GetBaseCall(LONG index, BSTR* pVal) = 0;  // 2
  virtual HRESULT GetBaseCalls(BSTR* pVal) = 0;  // 3
  virtual HRESULT GetReferenceBase(LONG index, BSTR* pVal) = 0;  // 4
  virtual HRESULT GetReferenceBases(BSTR* pVal) = 0;  // 5
  virtual HRESULT GetBaseCallScore(LONG index, FLOAT* pVal) = 0;  // 6
  virtual HRESULT GetBaseCallScores(VARIANT* scores) = 0;  // 7
};
TESK_DECLARE_INTERFACE(ITeskCustomSeqComposite, IDispatch, IID_ITeskCustomSeqComposite);

struct ITeskCustomSeqProbeList : IDispatch {
  virtual HRESULT get_ListIndex(LONG* pVal) = 0;  // 1
  virtual HRESULT get_NumProbes(LONG* pVal) = 0;  // 2
  virtual HRESULT get_ReferenceIndex(LONG* pVal) = 0;  // 3
  virtual HRESULT get_SequencePosition(LONG* pVal) = 0;  // 4
  virtual HRESULT get_GroupIndex(LONG* pVal) = 0;  // 5
  virtual HRESULT GetProbeByIndex(LONG index, ITeskProbe* probe) = 0;  // 6
  virtual HRESULT GetProbes(VARIANT* probes) = 0;  // 7
};
TESK_DECLARE_INTERFACE(ITeskCustomSeqProbeList, IDispatch, IID_ITeskCustomSeqProbeList);

struct ITeskCustomSeqProbeGroup : IDispatch {
  virtual HRESULT get_GroupIndex(LONG* pVal) = 0;  // 1
  virtual HRESULT get_NumLists(LONG* pVal) = 0;  // 2
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 3
  virtual HRESULT GetProbeListByIndex(LONG index, ITeskCustomSeqProbeList* list) = 0;  // 4
  virtual HRESULT GetProbeLists(VARIANT* lists) = 0;  // 5
};
TESK_DECLARE_INTERFACE(ITeskCustomSeqProbeGroup, IDispatch, IID_ITeskCustomSeqProbeGroup);

// The tiling-array objects (TeskBPMAPFile, TeskBARFile and their items) report complete texts
// "Failure in <interface>-><member>: <detail>". Indices outside a table (a sequence, hit,
// parameter, column or data point) fail with "Index out of range."; GetIntegerDataPoint on a
// column that is not BAR_DATA_INTEGER, and GetFloatDataPoint on one that is, fail with a text
// naming the right getter instead of reinterpreting the value's bits. An item never filled
// answers empty values, and its indexed members fail ("Index out of range.", or for a result
// item "The file has not yet been read."). A BAR file's GetParameter and GetColumnType answer
// after ReadHeader or Read, GetSequenceResultItem after Read only. A probe set name file's
// lines that are not "<integer> <name> ..." and names longer than 127 characters are skipped.
struct ITeskSequenceItem : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT get_Number(LONG* pVal) = 0;  // 2
  virtual HRESULT get_NumberHits(LONG* pVal) = 0;  // 3
  virtual HRESULT GetHitItem(LONG index, ITeskSequenceHitItem* hit) = 0;  // 4
  virtual HRESULT get_GroupName(BSTR* pVal) = 0;  // 5
  virtual HRESULT get_Version(BSTR* pVal) = 0;  // 6
  virtual HRESULT GetParameter(LONG index, BSTR* tag, BSTR* value) = 0;  // 7
  virtual HRESULT get_NumberParameters(LONG* pVal) = 0;  // 8
};
TESK_DECLARE_INTERFACE(ITeskSequenceItem, IDispatch, IID_ITeskSequenceItem);

struct ITeskSequenceHitItem : IDispatch {
  virtual HRESULT get_PMPosX(LONG* pVal) = 0;  // 1
  virtual HRESULT get_PMPosY(LONG* pVal) = 0;  // 2
  virtual HRESULT get_MMPosX(LONG* pVal) = 0;  // 3
  virtual HRESULT get_MMPosY(LONG* pVal) = 0;  // 4
  virtual HRESULT get_ProbeLength(char* pVal) = 0;  // 5
  virtual HRESULT get_PMProbe(BSTR* pVal) = 0;  // 6
  virtual HRESULT get_MatchScore(FLOAT* pVal) = 0;  // 7
  virtual HRESULT get_Position(LONG* pVal) = 0;  // 8
  virtual HRESULT get_TopStrand(LONG* pVal) = 0;  // 9
};
TESK_DECLARE_INTERFACE(ITeskSequenceHitItem, IDispatch, IID_ITeskSequenceHitItem);

struct ITeskBPMAPFile : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT put_Name(BSTR newVal) = 0;  // 1
  virtual HRESULT get_LibPath(BSTR* pVal) = 0;  // 2
  virtual HRESULT put_LibPath(BSTR newVal) = 0;  // 2
  virtual HRESULT get_NumberSequences(LONG* pVal) = 0;  // 3
  virtual HRESULT Exists(LONG* pVal) = 0;  // 4
  virtual HRESULT Read() = 0;  // 5
  virtual HRESULT ReadHeader() = 0;  // 6
  virtual HRESULT GetSequenceItem(LONG index, ITeskSequenceItem* item) = 0;  // 7
};
TESK_DECLARE_INTERFACE(ITeskBPMAPFile, IDispatch, IID_ITeskBPMAPFile);

struct ITeskBARFile : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT put_Name(BSTR newVal) = 0;  // 1
  virtual HRESULT get_DataPath(BSTR* pVal) = 0;  // 2
  virtual HRESULT put_DataPath(BSTR newVal) = 0;  // 2
  virtual HRESULT get_LibPath(BSTR* pVal) = 0;  // 3
  virtual HRESULT put_LibPath(BSTR newVal) = 0;  // 3
  virtual HRESULT get_Version(FLOAT* pVal) = 0;  // 4
  virtual HRESULT get_NumberSequences(LONG* pVal) = 0;  // 5
  virtual HRESULT get_NumberColumns(LONG* pVal) = 0;  // 6
  virtual HRESULT get_NumberParameters(LONG* pVal) = 0;  // 7
  virtual HRESULT Exists(LONG* pVal) = 0;  // 8
  virtual HRESULT Read() = 0;  // 9
  virtual HRESULT ReadHeader() = 0;  // 10
  virtual HRESULT GetParameter(LONG index, BSTR* tag, BSTR* value) = 0;  // 11
  virtual HRESULT GetSequenceResultItem(LONG index, ITeskSequenceResultItem* item) = 0;  // 12
  virtual HRESULT GetColumnType(LONG index, TARVEX_BAR_DATA_TYPE* pVal) = 0;  // 13
};
TESK_DECLARE_INTERFACE(ITeskBARFile, IDispatch, IID_ITeskBARFile);

struct ITeskSequenceResultItem : IDispatch {
  virtual HRESULT get_Name(BSTR* pVal) = 0;  // 1
  virtual HRESULT get_Version(BSTR* pVal) = 0;  // 2
  virtual HRESULT get_NumberDataPoints(LONG* pVal) = 0;  // 3
  virtual HRESULT GetColumnType(LONG index, TARVEX_BAR_DATA_TYPE* pVal) = 0;  // 4
  virtual HRESULT get_NumberColumns(LONG* pVal) = 0;  // 5
  virtual HRESULT GetIntegerDataPoint(LONG dataIndex, LONG columnIndex, LONG* pVal) = 0;  // 6
  virtual HRESULT GetFloatDataPoint(LONG dataIndex, LONG columnIndex, FLOAT* pVal) = 0;  // 7
};
TESK_DECLARE_INTERFACE(ITeskSequenceResultItem, IDispatch, IID_ITeskSequenceResultItem);

#endif  // TESK_API_INCLUDE_TESK_TARVEX_H_
