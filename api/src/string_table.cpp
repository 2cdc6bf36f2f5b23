#include "string_table.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace tarvex {
namespace {

struct Entry {
  int id;
  const char* text;
};

// Sorted by number.
constexpr Entry kTable[] = {
    {5004, "Cannot write %s"},
    {5008, "Probe Array Lot"},
    {5009, "Operator Name"},
    {5010, "Sample Type"},
    {5011, "Sample Description"},
    {5012, "Project"},
    {5013, "Comments"},
    {5014, "Reagents"},
    {5015, "Reagent Lot"},
    {5021, "The file name contains invalid extension"},
    {5025, "Index out of range error"},
    {5026, "Position X out of range error"},
    {5027, "Position Y out of range error"},
    {5028, "Experiment file extension (.EXP) is expected"},
    {5029, "Image file extension (.DAT) is expected"},
    {5030, "Cell intensity file extension (.CEL) is expected"},
    {5031, "Chip file extension (.CHP) is expected"},
    {5034, "Data path should not be empty"},
    {5035, "Library path should not be empty"},
    {5036, "The experiment name should not be empty"},
    {5037, "The image file name should not be empty"},
    {5038, "The cell intensity file name should not be empty"},
    {5039, "The chip file name should not be empty"},
    {5042, "The experiment file does not exist"},
    {5043, "The image file does not exist"},
    {5044, "The cell intensity file does not exist"},
    {5045, "The chip file does not exist"},
    {5046, "Cannot read the experiment file"},
    {5049, "Cannot read the image file"},
    {5054, "Cannot read image file header"},
    {5055, "Cannot read the cell intensity file"},
    {5057, "Cannot read cell intensity file header"},
    {5058, "Cannot read the chip file - "},
    {5061, "Cannot read the CDF file - "},
    {5062, "Cannot read the chip file header - "},
    {5075, "Memory problem - Cannot create safearray for the line intensities"},
    {5076, "Memory problem - Cannot access the data of the line intensity safearray"},
    {5081, "Memory problem - Cannot access the data of the algorithm parameter safearray"},
    {5082, "Memory problem - Cannot create safearray for the probe interface pointer"},
    {5083, "Memory problem - Cannot create safearray for the probe pair interface pointer"},
    {5084, "Memory problem - Cannot create safearray for the probe set interface pointer"},
    {5085, "Memory problem - Cannot create safearray for the chip summary"},
    {5086, "Memory problem - Cannot access the data of the chip summary safearray"},
    {5087, "Memory problem - Cannot put element into the safearray of probe interface pointer"},
    {5088, "Memory problem - Cannot put element into the safearray of probe pair interface pointer"},
    {5089, "Memory problem - Cannot put element into the safearray of probe set interface pointer"},
    {5090, "The probe interface pointer should not be NULL"},
    {5091, "The probe set interface pointer should not be NULL"},
    {5093, "The probe pair interface pointer should not be NULL"},
    {5094, "The probe interface pointer should not be NULL"},
    {5095, "The input safearray pointer should not be NULL"},
    {5110, "The CDF file does not exist"},
    {5114, "Access denied to the data file."},
    {5115, "Unable to connect with the database."},
    {5116, "Unable to find the file in the database."},
    {5117, "The interface object should not be NULL."},
    {5118, "Unable to access the data, it has not been loaded."},
    {5119, "Memory problem - Cannot put element into the safearray of probe list interface pointer"},
    {5122, "Memory problem - Cannot create safearray for the base call scores"},
    {5123, "Memory problem - Cannot put element into the safearray of base call scores"},
    {5124, "Memory problem - Cannot create safearray for the algorithm parameters"},
    {5125, "The intensity file must first be read before converting to the older format."},
    {5126, "The input interface pointer should not be NULL"},
    {5201, "The interface object was not created by this library."},
    {5202, "Cannot load the library %s"},
    {5203, "Memory problem - Out of memory"},
};

}  // namespace

std::string LoadText(int id) {
  auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                             [](const Entry& e, int key) { return e.id < key; });
  if (it == std::end(kTable) || it->id != id) return {};
  return it->text;
}

std::string LoadText(int id, const std::string& arg) {
  std::string text = LoadText(id);
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, arg);
  return text;
}

}  // namespace tarvex
