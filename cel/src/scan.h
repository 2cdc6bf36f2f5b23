// Scanning a cell line of the text encodings: five numbers, with a fast path for the plain
// unsigned integers most lines hold.
#ifndef TESK_CEL_SRC_SCAN_H_
#define TESK_CEL_SRC_SCAN_H_

#include <string_view>

#include <tesk/internal/scan.h>

namespace parvel {

// "%d", "%f", "%s" and literals, from the file layer.
using tesk::internal::IsSpace;
using tesk::internal::Scanner;

// Parses a whole cell line "X Y MEAN STDV NPIXELS" into the five out values; returns how many
// leading values were read (a value that fails stops the scan, leaving the rest untouched).
int ScanCellLine(const char* begin, const char* end, int& x, int& y, float& mean, float& stdv,
                 int& npixels);

}  // namespace parvel

#endif  // TESK_CEL_SRC_SCAN_H_
