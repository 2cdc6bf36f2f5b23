// Entry points of the binary decoder that need the file types.
#ifndef TESK_CEL_SRC_BINARY_READER_H_
#define TESK_CEL_SRC_BINARY_READER_H_

#include <cstddef>
#include <cstdint>

#include "io.h"
#include "parvel_impl.h"

namespace parvel {

// The first four bytes are the little-endian integer 64.
bool IsBinaryMagic(const unsigned char* p, std::size_t n);
// Decodes a regular file whose first bytes are already in `head` (the file position is just
// behind them).
// size is the file's size from the file system.
int ReadBinaryFile(ParvelClass::Impl& d, File& file, std::uint64_t size, ByteBuffer& head,
                   bool header_only);

}  // namespace parvel

#endif  // TESK_CEL_SRC_BINARY_READER_H_
