// Probe set name files: a text file beside a genotyping chip layout naming its probe sets, one
// per line after a first line that is skipped; the n-th name belongs to unit n.
//
// A line names a probe set when it holds an integer, white space, the name (one word), and
// (usually) a further integer, which is not examined. Empty lines, lines of another shape and
// lines whose name is longer than kMaxProbeSetName characters add nothing: they are skipped
// and reading goes on, as do lines far beyond the format's 255 characters (over 4096). Lines end
// at a line feed; a carriage return before it is white space.
#ifndef TESK_API_SRC_TILING_PROBE_SET_NAMES_H_
#define TESK_API_SRC_TILING_PROBE_SET_NAMES_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tesk::tiling {

inline constexpr std::size_t kMaxProbeSetName = 127;

// The file's path for a chip type: the library directory, "/", the chip type and ".PSI".
std::string ProbeSetNamePath(std::string_view lib_path, std::string_view chip_type);

// Empties names and fills it from the file. A file that cannot be opened leaves the list empty
// and is no error; a read error ends the list where it stands. Returns the number of lines
// that were skipped (not counting the first).
std::size_t ReadProbeSetNames(const std::string& path, std::vector<std::string>& names);

// The name a line holds, or an empty view when the line names nothing.
std::string_view ProbeSetNameOfLine(std::string_view line);

}  // namespace tesk::tiling

#endif  // TESK_API_SRC_TILING_PROBE_SET_NAMES_H_
