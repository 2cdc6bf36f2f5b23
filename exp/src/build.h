// Selects the build (TESK_OSTREL_BUILD is 7 or 6, set by tesk_library_builds). Every internal
// name lives in the build's inline namespace TESK_OSTREL_NS, so both libraries load into one
// process without their symbols meeting.
#ifndef TESK_EXP_SRC_BUILD_H_
#define TESK_EXP_SRC_BUILD_H_

#if TESK_OSTREL_BUILD == 7
#include <tesk/ostrel7.h>
#define TESK_OSTREL_NS ostrel7
#elif TESK_OSTREL_BUILD == 6
#include <tesk/ostrel6.h>
#define TESK_OSTREL_NS ostrel6
#else
#error "TESK_OSTREL_BUILD must be 7 or 6"
#endif

#endif  // TESK_EXP_SRC_BUILD_H_
