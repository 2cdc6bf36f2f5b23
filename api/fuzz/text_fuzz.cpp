// Hostile texts through the object model's own parsing: parameter texts (name=value items) and
// date texts of files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dates.h"
#include "param_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> names, values;
  tarvex::SplitParamText(text, names, values);
  if (names.size() != values.size()) __builtin_trap();
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i].size() + values[i].size() + 1 > size) __builtin_trap();
  tarvex::ReformatDateText(std::string(text));
  return 0;
}
