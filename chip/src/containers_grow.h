// Growth of the library's arrays: a block from the C allocator with spare capacity behind
// `count`, so that appending one element at a time costs amortised constant time.
#ifndef TESK_CHIP_SRC_CONTAINERS_GROW_H_
#define TESK_CHIP_SRC_CONTAINERS_GROW_H_

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace pendrix71 {

// Resizes the block behind (data, count) to n elements, plus one terminator element when
// kTerminated (set to zero). capacity/block remember the spare room of the block this code
// allocated; a block the caller put into `data` is taken to hold exactly count elements.
// Returns 1; 0 when n is negative or memory runs out, leaving everything as it was.
template <typename T, bool kTerminated>
int ResizeBlock(T*& data, int& count, int& capacity, const void*& block, int n) {
  if (n < 0) return 0;
  const std::size_t extra = kTerminated ? 1 : 0;
  std::size_t room = 0;
  if (data != nullptr) room = (data == block) ? static_cast<std::size_t>(capacity)
                                              : static_cast<std::size_t>(count);
  const std::size_t want = static_cast<std::size_t>(n);
  if (data != nullptr && want <= room && want >= room / 4) {
    count = n;
    if constexpr (kTerminated) data[n] = 0;
    return 1;
  }
  std::size_t grown = want;
  if (want > room) {  // grow geometrically; shrink to exactly the new size
    grown = room + room / 2;
    if (grown < want) grown = want;
    if (grown < 4) grown = 4;
    if (grown > static_cast<std::size_t>(INT_MAX) - extra) grown = want;
  }
  if (grown + extra == 0) {  // an empty plain array holds no block
    std::free(data);
    data = nullptr;
    block = nullptr;
    capacity = 0;
    count = 0;
    return 1;
  }
  if (grown + extra > SIZE_MAX / sizeof(T)) return 0;
  T* p = static_cast<T*>(std::realloc(data, (grown + extra) * sizeof(T)));
  if (p == nullptr && grown != want) {
    grown = want;
    p = static_cast<T*>(std::realloc(data, (grown + extra) * sizeof(T)));
  }
  if (p == nullptr) return 0;
  data = p;
  block = p;
  capacity = static_cast<int>(grown);
  count = n;
  if constexpr (kTerminated) data[n] = 0;
  return 1;
}

}  // namespace pendrix71

#endif  // TESK_CHIP_SRC_CONTAINERS_GROW_H_
