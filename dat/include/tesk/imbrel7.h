// Imbrel7: the scanner image library.
//
// One ImageData holds one scanner image file: a 512-byte header describing the scan, the image as
// rows of 16-bit pixels, an optional 104-byte trailer (version 7) and a list of sub-grids. Pixels
// are never copied: they are reached through a memory mapping of the file, either whole
// (Create, Read) or as a window of lines (Open + MapData), so images larger than memory can be
// walked window by window. Every operation reports failure by returning 0.
#ifndef TESK_DAT_INCLUDE_TESK_IMBREL7_H_
#define TESK_DAT_INCLUDE_TESK_IMBREL7_H_

#define TESK_IMBREL_HEADER_BUILD 7
#include <tesk/imbrel_image_data.h>
#undef TESK_IMBREL_HEADER_BUILD

#endif  // TESK_DAT_INCLUDE_TESK_IMBREL7_H_
