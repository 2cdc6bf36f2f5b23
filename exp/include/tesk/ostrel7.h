// Experiment information library, current build (libostrel7).
#ifndef TESK_EXP_INCLUDE_TESK_OSTREL7_H_
#define TESK_EXP_INCLUDE_TESK_OSTREL7_H_

// The current build also reads and writes experiments as records of the database server.
struct IDispatch;
#define TESK_OSTREL_BUILD_NS ostrel7
#define TESK_OSTREL_DATABASE 1
#include <tesk/ostrel_testinfo.h>
#undef TESK_OSTREL_DATABASE
#undef TESK_OSTREL_BUILD_NS

#endif  // TESK_EXP_INCLUDE_TESK_OSTREL7_H_
