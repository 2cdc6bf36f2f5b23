// Selects the build this translation unit belongs to (TESK_OSTREL_BUILD is 6 or 7, set by
// the build system) and opens its namespace for internal helpers.
#ifndef TESK_EXP_SRC_BUILD_H_
#define TESK_EXP_SRC_BUILD_H_

#if TESK_OSTREL_BUILD == 6
#include <tesk/ostrel6.h>
#define TESK_OSTREL_NS ostrel6
#elif TESK_OSTREL_BUILD == 7
#include <tesk/ostrel7.h>
#define TESK_OSTREL_NS ostrel7
#else
#error "TESK_OSTREL_BUILD must be 6 or 7"
#endif

#endif  // TESK_EXP_SRC_BUILD_H_
