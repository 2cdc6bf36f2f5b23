// The file types of the readers and writers, from the file layer.
#ifndef TESK_CEL_SRC_IO_H_
#define TESK_CEL_SRC_IO_H_

#include <cstddef>

#include <tesk/internal/file.h>
#include <tesk/internal/lines.h>
#include <tesk/internal/replace_file.h>

namespace parvel {

using tesk::internal::ByteBuffer;
using tesk::internal::File;
// Writers fill a replacement of the target; a failure leaves the old file.
using AtomicWriter = tesk::internal::BufferedReplacement;
// The text encodings hand out lines in pieces of at most 1023 characters.
using tesk::internal::Line;
using LineReader = tesk::internal::LineSplitter;
inline constexpr std::size_t kLinePiece = 1023;

}  // namespace parvel

#endif  // TESK_CEL_SRC_IO_H_
