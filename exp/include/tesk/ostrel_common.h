// Shared by the two builds of the experiment information library (ostrel7.h, ostrel6.h).
// Include one of those headers, not this one.
#ifndef TESK_EXP_INCLUDE_TESK_OSTREL_COMMON_H_
#define TESK_EXP_INCLUDE_TESK_OSTREL_COMMON_H_

namespace tesk::ostrel {

// String table numbers. Both builds hold 5001..5018; only the newer build (ostrel7) holds
// 5019..5021, which its database path uses.
enum StringId : int {
  IDS_CANNOT_CREATE = 5001,         // "Cannot create %s"
  IDS_CANNOT_FIND = 5002,           // "Cannot find %s"
  IDS_CANNOT_READ = 5003,           // "Cannot read %s"
  IDS_CANNOT_WRITE = 5004,          // "Cannot write %s"
  IDS_DISK_FULL = 5005,             // "Cannot write %s; the disk is full"
  IDS_ACCESS_DENIED = 5006,         // "Cannot create %s; access is denied"
  IDS_EXPERIMENT = 5007,            // "experiment "
  IDS_SAMPLE_INFO_FIRST = 5008,     // "Probe Array Lot" .. "Reagent Lot" (5008..5015)
  IDS_SAMPLE_INFO_LAST = 5015,
  IDS_SAMPLE_USER = 5016,           // "Sample User"
  IDS_EXPERIMENT_USER = 5017,       // "Experiment User"
  IDS_DESCRIPTION = 5018,           // "Description"
  IDS_PROBE_ARRAY_TYPE = 5019,      // "Probe Array Type" (ostrel7 only)
  IDS_BARCODE = 5020,               // "Barcode" (ostrel7 only)
  IDS_EXPIRATION_DATE = 5021,       // "Expiration Date" (ostrel7 only)
};

// Number of sample-information entries (chip lot, operator, sample type, description,
// project, comments, solution type, solution lot).
inline constexpr int kSampleInfoCount = 8;

// Longest line an experiment file holds, without its line end.
inline constexpr int kMaxLineLength = 299;

}  // namespace tesk::ostrel

#endif  // TESK_EXP_INCLUDE_TESK_OSTREL_COMMON_H_
