// Experiment information library, current build (libostrel7).
#ifndef TESK_EXP_INCLUDE_TESK_OSTREL7_H_
#define TESK_EXP_INCLUDE_TESK_OSTREL7_H_

// The current build also reads and writes experiments as records of the database server.
#define TESK_OSTREL_HEADER_BUILD 7
#include <tesk/ostrel_testinfo.h>
#undef TESK_OSTREL_HEADER_BUILD

#endif  // TESK_EXP_INCLUDE_TESK_OSTREL7_H_
