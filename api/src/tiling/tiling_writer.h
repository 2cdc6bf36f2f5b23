// Writing probe map and tiling result files, for the sample data set and the benchmarks. The
// object model only reads these kinds; a write replaces its target only when it succeeded.
#ifndef TESK_API_SRC_TILING_TILING_WRITER_H_
#define TESK_API_SRC_TILING_TILING_WRITER_H_

#include <string>

#include "tiling/probe_map.h"
#include "tiling/tiling_result.h"

namespace tesk::tiling {

// Writes map.sequences in the layout of map.version (1 to 3) with map.encoding for its floats.
// Version 3 files get each hit section's offset; the sections follow the descriptions in
// order. The sequence number written is each sequence's number.
bool WriteProbeMap(const std::string& path, const ProbeMap& map);

// Writes result.sequences in the layout of result.version; every sequence's values must hold
// data_points rows of the file's columns.
bool WriteTilingResult(const std::string& path, const TilingResult& result);

}  // namespace tesk::tiling

#endif  // TESK_API_SRC_TILING_TILING_WRITER_H_
