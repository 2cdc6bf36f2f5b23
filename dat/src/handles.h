// The platform resources an ImageData holds: the open file, the mapping of the file (its size is
// fixed when MapData first needs it) and the mapped view.
#ifndef TESK_DAT_SRC_HANDLES_H_
#define TESK_DAT_SRC_HANDLES_H_

#include <cstdint>
#include <string>

#include "build.h"
#include "file_io.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

struct Handles {
  File file;              // held after Create and Open; Read closes its file
  bool fileWritable = false;
  MappedView view;
  bool viewWritable = false;  // view access that Open chose for MapData
  bool mappingObject = false; // MapData checked (and, writable, sized) the file
  bool unsaved = false;       // Imbrel6: mapped by Create, no Read or Write since
  std::string createdPath;    // Imbrel6: the file that Create made
};

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_SRC_HANDLES_H_
