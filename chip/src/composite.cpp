// The composite sequence of a resequencing chip and its per-position percent composition:
// four signed bytes packed into one i32 per position.
#include <cstdint>
#include <cstring>

#include "tesk/pendrix71.h"

ChipComposite::ChipComposite() = default;

ChipComposite::~ChipComposite() = default;

void ChipComposite::Clear() {
  sequence.Clear();
  calls.Clear();
  secondCalls.Clear();
  positionUnits.Clear();
  extraText1.Clean();
  extraText2.Clean();
  percentComposition.Clear();
}

int ChipComposite::SetSequence(const char* s) {
  if (sequence.Set(s) == 0) return CHIP_INSUFFICIENT_MEMORY;
  const int n = sequence.count;
  if (calls.Resize(n) == 0 || secondCalls.Resize(n) == 0 || positionUnits.Resize(n) == 0 ||
      percentComposition.Resize(n) == 0)
    return CHIP_INSUFFICIENT_MEMORY;
  if (n > 0) std::memset(calls.data, ' ', static_cast<std::size_t>(n));
  secondCalls.ClearValues();
  positionUnits.ClearValues();
  percentComposition.ClearValues();
  return CHIP_SUCCESS;
}

signed char ChipComposite::GetPercentComposition(int pos, int k) const {
  if (pos < 0 || pos >= percentComposition.count || k < 0 || k > 3) return 0;
  const auto word = static_cast<std::uint32_t>(percentComposition.data[pos]);
  return static_cast<signed char>(static_cast<std::uint8_t>(word >> (8 * k)));
}

int ChipComposite::SetPercentComposition(int pos, int k, signed char v) {
  if (percentComposition.count == 0 && sequence.count > 0) {
    if (percentComposition.Resize(sequence.count) == 0) return CHIP_INSUFFICIENT_MEMORY;
    percentComposition.ClearValues();
  }
  if (pos < 0 || pos >= percentComposition.count || k < 0 || k > 3) return CHIP_SUCCESS;
  const int shift = 8 * k;
  auto word = static_cast<std::uint32_t>(percentComposition.data[pos]);
  word &= k == 0 ? 0u : (std::uint32_t{1} << shift) - 1;  // the bytes below k stay
  word |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(v)) << shift;
  if (v < 0 && k < 3) word |= ~((std::uint32_t{1} << (shift + 8)) - 1);  // sign fill above k
  percentComposition.data[pos] = static_cast<std::int32_t>(word);
  return CHIP_SUCCESS;
}
