// A program that reaches for the kit's internals: it compiles, and must not link, because the
// libraries export only their public classes.
#include <tesk/parvel.h>
#include <tesk/pendrix71.h>

#include <cstddef>
#include <string>

namespace tesk::internal {
bool Exists(const std::string& path);  // the file layer, linked into every library
}
namespace chp {
int DecodeChip(ChipClass& chip, const unsigned char* data, std::size_t size);  // result codec
}

int main() {
  ChipClass chip;
  const unsigned char none[1] = {0};
  return tesk::internal::Exists("/") + chp::DecodeChip(chip, none, 0);
}
