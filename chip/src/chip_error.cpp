// Texts of the chip result codes.
#include <cstring>

#include "tesk/pendrix71.h"

namespace {

const char* TextOf(int code) {
  switch (code) {
    case 1: return "Invalid tiling type ";
    case 2: return "ROW/COL field missing from header ";
    case 3: return "Library file field missing from header ";
    case 4: return "Label missing in cell file ";
    case 5: return "Can't open library file ";
    case 6: return "Can't open cell file ";
    case 7: return "Incomplete cell file ";
    case 8: return "Incomplete file ";
    case 9: return "No valid tiles ";
    case 10: return "Chip file format not compatible with software ";
    case 11: return "Chip file version not compatible with software ";
    case 12: return "Library file version not compatible with software ";
    case 13: return "Invalid library file format ";
    case 14: return "Insufficient memory ";
    case 17: return "Failed to read library file ";
    default: return "Unknown error ";
  }
}

}  // namespace

const char* CheckError(int code) {
  // One buffer per thread, so that two threads never overwrite each other's text.
  thread_local char buffer[64];
  const char* text = TextOf(code);
  std::strncpy(buffer, text, sizeof(buffer) - 1);
  buffer[sizeof(buffer) - 1] = '\0';
  return buffer;
}
