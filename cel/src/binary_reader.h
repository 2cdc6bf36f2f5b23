// Entry points of the binary decoder that need the file types.
#ifndef TESK_PARVEL_BINARY_READER_H_
#define TESK_PARVEL_BINARY_READER_H_

#include <cstddef>

#include "file_io.h"
#include "parvel_impl.h"

namespace parvel {

// The first four bytes are the little-endian integer 64.
bool IsBinaryMagic(const unsigned char* p, std::size_t n);
// Decodes a regular file whose first bytes are already in `head` (the file position is just
// behind them).
int ReadBinaryFile(ParvelClass::Impl& d, InFile& file, ByteBuffer& head, bool header_only);

}  // namespace parvel

#endif  // TESK_PARVEL_BINARY_READER_H_
