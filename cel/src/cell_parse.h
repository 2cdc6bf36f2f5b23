// Parsing of one cell line, shared by CellEntryClass::StoreCellData and the text readers.
#ifndef TESK_CEL_SRC_CELL_PARSE_H_
#define TESK_CEL_SRC_CELL_PARSE_H_

#include "tesk/parvel.h"

namespace parvel {

// "X Y MEAN STDV NPIXELS" from [begin, end); X, Y and NPIXELS keep their low 16 bits.
void StoreCell(CellEntryClass& e, const char* begin, const char* end);

}  // namespace parvel

#endif  // TESK_CEL_SRC_CELL_PARSE_H_
