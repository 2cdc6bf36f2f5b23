// Public entry points return 0 instead of letting an exception (std::bad_alloc, say) cross the
// library boundary.
#ifndef TESK_DAT_GUARD_H
#define TESK_DAT_GUARD_H

#include "build.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

template <class F>
int Guarded(F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return 0;
  }
}

template <class F>
void GuardedVoid(F&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

inline const char* Text(const char* text) { return text ? text : ""; }

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_GUARD_H
