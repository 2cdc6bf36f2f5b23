// Read and ReadHeader: the first four bytes decide between the binary and the text readers.
#include <fcntl.h>

#include <algorithm>

#include "binary_reader.h"
#include "io.h"
#include "parvel_impl.h"

namespace parvel {

int ReadBytes(ParvelClass::Impl& d, Bytes bytes, bool header_only) {
  d.ClearTables();
  if (IsBinaryMagic(bytes.data(), bytes.size())) return ReadBinary(d, bytes, header_only);
  return ReadText(d, bytes, header_only);
}

int ReadFile(ParvelClass::Impl& d, bool header_only) {
  if (d.name.empty()) return 0;
  File file = File::Open(d.name, O_RDONLY);
  if (!file) return 0;
  d.ClearTables();
  // Size from the file system; 0 for pipes and similar.
  const std::int64_t stat_size = file.IsRegular() ? file.Size() : 0;
  const std::uint64_t size = stat_size > 0 ? static_cast<std::uint64_t>(stat_size) : 0;
  ByteBuffer buffer;
  if (size == 0) {
    // Not a regular file (or an empty one): take whatever it delivers.
    if (!file.ReadRest(buffer)) return 0;
    return ReadBytes(d, Bytes(buffer.data(), buffer.size()), header_only);
  }
  // A first window; binary files continue from it straight into the cell table.
  const std::size_t head = static_cast<std::size_t>(std::min<std::uint64_t>(size, 64 * 1024));
  buffer.Resize(head);
  const std::int64_t got = file.Read(buffer.data(), head);
  if (got < 0) return 0;
  buffer.Resize(static_cast<std::size_t>(got));
  if (IsBinaryMagic(buffer.data(), buffer.size())) {
    return ReadBinaryFile(d, file, size, buffer, header_only);
  }
  if (header_only && buffer.size() < size) {
    // The header of a text file is at its start: try the first window, cut at its last line
    // break so that every line in it is complete, before reading the whole file.
    const auto* data = buffer.data();
    std::size_t cut = buffer.size();
    while (cut > 0 && data[cut - 1] != '\n') --cut;
    if (cut > 0 && ReadText(d, Bytes(data, cut), true)) return 1;
  }
  if (!file.ReadRest(buffer, size)) return 0;
  return ReadText(d, Bytes(buffer.data(), buffer.size()), header_only);
}

}  // namespace parvel
