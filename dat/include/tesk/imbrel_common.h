// Declarations shared by both builds of the scanner image library (imbrel6.h, imbrel7.h).
#ifndef TESK_DAT_INCLUDE_TESK_IMBREL_COMMON_H_
#define TESK_DAT_INCLUDE_TESK_IMBREL_COMMON_H_

#include <tesk/parvel.h>  // SUBGRID

#include <tesk/imbrel_export.h>

// Access asked of ImageData::Open: a set of bits.
typedef int RWAccess;
enum : RWAccess { IMAGE_READ = 1, IMAGE_WRITE = 2 };

// What others may do with a file that ImageData::Open opened: a set of bits.
typedef int ShareMode;
enum : ShareMode { IMAGE_SHARE_READ = 1, IMAGE_SHARE_WRITE = 2 };

#endif  // TESK_DAT_INCLUDE_TESK_IMBREL_COMMON_H_
