// The one exception guard of the libraries' entry points: no exception crosses a library
// boundary. Memory exhaustion and any other exception map to the results the caller names.
#ifndef TESK_INTERNAL_INCLUDE_TESK_INTERNAL_GUARD_H_
#define TESK_INTERNAL_INCLUDE_TESK_INTERNAL_GUARD_H_

#include <new>
#include <type_traits>

namespace tesk::internal {

// Runs body and returns its result; on std::bad_alloc returns on_memory, on any other
// exception on_other.
template <class F, class R = std::invoke_result_t<F>>
R Guard(F&& body, R on_memory, R on_other) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return on_memory;
  } catch (...) {
    return on_other;
  }
}

// As above with one result for every failure.
template <class F, class R = std::invoke_result_t<F>>
R Guard(F&& body, R on_failure) noexcept {
  return Guard(static_cast<F&&>(body), on_failure, on_failure);
}

// For bodies without a result: an exception is swallowed and reported as false.
template <class F>
bool GuardVoid(F&& body) noexcept {
  try {
    body();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace tesk::internal

#endif  // TESK_INTERNAL_INCLUDE_TESK_INTERNAL_GUARD_H_
