// The five growable arrays. They share one growth routine; CharArrayClass keeps a terminator.
#include <cstdlib>
#include <cstring>

#include "containers_grow.h"
#include "tesk/pendrix71_containers.h"

using pendrix71::ResizeBlock;

#define TESK_PLAIN_ARRAY(Class, T)                                                           \
  Class::Class() { Init(); }                                                                 \
  Class::~Class() { Clear(); }                                                               \
  void Class::Init() {                                                                       \
    data = nullptr;                                                                          \
    count = 0;                                                                               \
    capacity_ = 0;                                                                           \
    block_ = nullptr;                                                                        \
  }                                                                                          \
  void Class::Clear() {                                                                      \
    std::free(data);                                                                         \
    Init();                                                                                  \
  }                                                                                          \
  void Class::ClearValues() {                                                                \
    if (data != nullptr && count > 0) std::memset(data, 0, sizeof(T) * count);              \
  }                                                                                          \
  int Class::Resize(int n) { return ResizeBlock<T, false>(data, count, capacity_, block_, n); } \
  int Class::Add(T v) {                                                                      \
    if (count == INT_MAX || !Resize(count + 1)) return 0;                                    \
    data[count - 1] = v;                                                                     \
    return 1;                                                                                \
  }

TESK_PLAIN_ARRAY(FloatArrayClass, float)
TESK_PLAIN_ARRAY(IntArrayClass, int)
TESK_PLAIN_ARRAY(ShortArrayClass, short)
TESK_PLAIN_ARRAY(ArrayClass, void*)

#undef TESK_PLAIN_ARRAY

CharArrayClass::CharArrayClass() { Init(); }
CharArrayClass::~CharArrayClass() { Clear(); }

void CharArrayClass::Init() {
  data = nullptr;
  count = 0;
  capacity_ = 0;
  block_ = nullptr;
}

void CharArrayClass::Clear() {
  std::free(data);
  Init();
}

void CharArrayClass::ClearValues() {
  if (data != nullptr && count > 0) std::memset(data, 0, static_cast<std::size_t>(count));
}

int CharArrayClass::Resize(int n) {
  return ResizeBlock<char, true>(data, count, capacity_, block_, n);
}

int CharArrayClass::Add(char v) {
  if (count == INT_MAX - 1 || !Resize(count + 1)) return 0;
  data[count - 1] = v;
  return 1;
}

int CharArrayClass::Set(const char* s) {
  if (s == nullptr) {
    Clear();
    return 1;
  }
  const std::size_t n = std::strlen(s);
  if (n >= static_cast<std::size_t>(INT_MAX)) return 0;
  char* copy = static_cast<char*>(std::malloc(n + 1));  // s may point into our own block
  if (copy == nullptr) return 0;
  std::memcpy(copy, s, n + 1);
  Clear();
  data = copy;
  count = static_cast<int>(n);
  capacity_ = count;
  block_ = copy;
  return 1;
}
