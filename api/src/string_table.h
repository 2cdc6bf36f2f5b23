// The library's string table: every detail text of an error is loaded from it by number at the
// moment of the failure.
#ifndef TESK_API_SRC_STRING_TABLE_H_
#define TESK_API_SRC_STRING_TABLE_H_

#include <string>

namespace tarvex {

enum StringId : int {
  IDS_CANNOT_WRITE = 5004,            // "Cannot write %s"
  IDS_SAMPLE_CHIP_LOT = 5008,         // sample information labels 5008..5015
  IDS_SAMPLE_REAGENT_LOT = 5015,
  IDS_INVALID_EXTENSION = 5021,
  IDS_INDEX_OUT_OF_RANGE = 5025,
  IDS_X_OUT_OF_RANGE = 5026,
  IDS_Y_OUT_OF_RANGE = 5027,
  IDS_EXP_EXTENSION = 5028,
  IDS_DAT_EXTENSION = 5029,
  IDS_CEL_EXTENSION = 5030,
  IDS_CHP_EXTENSION = 5031,
  IDS_DATA_PATH_EMPTY = 5034,
  IDS_LIB_PATH_EMPTY = 5035,
  IDS_EXP_NAME_EMPTY = 5036,
  IDS_DAT_NAME_EMPTY = 5037,
  IDS_CEL_NAME_EMPTY = 5038,
  IDS_CHP_NAME_EMPTY = 5039,
  IDS_EXP_NOT_FOUND = 5042,
  IDS_DAT_NOT_FOUND = 5043,
  IDS_CEL_NOT_FOUND = 5044,
  IDS_EXP_CANNOT_READ = 5046,
  IDS_DAT_CANNOT_READ = 5049,
  IDS_DAT_CANNOT_READ_HEADER = 5054,
  IDS_CEL_CANNOT_READ = 5055,
  IDS_CEL_CANNOT_READ_HEADER = 5057,
  IDS_CHP_CANNOT_READ = 5058,
  IDS_CDF_CANNOT_READ = 5061,
  IDS_CHP_CANNOT_READ_HEADER = 5062,
  IDS_LINE_ARRAY_CREATE = 5075,
  IDS_LINE_ARRAY_ACCESS = 5076,
  IDS_PROBE_ARRAY_CREATE = 5082,
  IDS_PAIR_ARRAY_CREATE = 5083,
  IDS_SET_ARRAY_CREATE = 5084,
  IDS_PROBE_ARRAY_PUT = 5087,
  IDS_PAIR_ARRAY_PUT = 5088,
  IDS_SET_ARRAY_PUT = 5089,
  IDS_PROBE_NULL = 5090,
  IDS_SET_NULL = 5091,
  IDS_PAIR_NULL = 5093,
  IDS_QC_PROBE_NULL = 5094,
  IDS_ARRAY_NULL = 5095,
  IDS_ACCESS_DENIED = 5114,
  IDS_NO_DATABASE = 5115,
  IDS_NOT_IN_DATABASE = 5116,
  IDS_OBJECT_NULL = 5117,
  IDS_NOT_LOADED = 5118,
  IDS_CONVERT_NOT_READ = 5125,
  // Texts of this build's own.
  IDS_FOREIGN_OBJECT = 5201,    // an interface pointer that is not an object of this library
  IDS_LIBRARY_MISSING = 5202,   // "Cannot load the library %s"
  IDS_OUT_OF_MEMORY = 5203,
};

// The text of `id`; empty for a number the table does not hold.
std::string LoadText(int id);
// The text of `id` with %s replaced by `arg`.
std::string LoadText(int id, const std::string& arg);

}  // namespace tarvex

#endif  // TESK_API_SRC_STRING_TABLE_H_
