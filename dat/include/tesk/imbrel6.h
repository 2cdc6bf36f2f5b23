// Imbrel6: the older build of the scanner image library.
//
// The same ImageData as Imbrel7, with the older trailer (version 6, carrying a barcode), the
// older scan information text, 32-bit file offsets (images up to 2 GiB) and no windowed access
// (no Open, MapData, ReadHeader or WriteHeader). Its Close removes a created image that was never
// written. Both libraries can be loaded into one process: each build's class lives in its own
// inline namespace (imbrel6::ImageData, imbrel7::ImageData).
#ifndef TESK_DAT_INCLUDE_TESK_IMBREL6_H_
#define TESK_DAT_INCLUDE_TESK_IMBREL6_H_

#define TESK_IMBREL_HEADER_BUILD 6
#include <tesk/imbrel_image_data.h>
#undef TESK_IMBREL_HEADER_BUILD

#endif  // TESK_DAT_INCLUDE_TESK_IMBREL6_H_
