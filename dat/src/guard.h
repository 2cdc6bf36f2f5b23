// Public entry points return 0 instead of letting an exception (std::bad_alloc, say) cross the
// library boundary: the file layer's guard.
#ifndef TESK_DAT_SRC_GUARD_H_
#define TESK_DAT_SRC_GUARD_H_

#include <utility>

#include <tesk/internal/guard.h>

#include "build.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

template <class F>
int Guarded(F&& body) noexcept {
  return tesk::internal::Guard(std::forward<F>(body), 0);
}

template <class F>
void GuardedVoid(F&& body) noexcept {
  tesk::internal::GuardVoid(std::forward<F>(body));
}

inline const char* Text(const char* text) { return text ? text : ""; }

}  // namespace imbrel_detail
}  // inline namespace

#endif  // TESK_DAT_SRC_GUARD_H_
