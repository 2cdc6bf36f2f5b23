// Experiment information library, current build (libostrel7).
#ifndef TESK_OSTREL7_H
#define TESK_OSTREL7_H

// The current build also reads and writes experiments as records of the database server.
struct IDispatch;
#define TESK_OSTREL_BUILD_NS ostrel7
#define TESK_OSTREL_DATABASE 1
#include <tesk/ostrel_testinfo.h>
#undef TESK_OSTREL_DATABASE
#undef TESK_OSTREL_BUILD_NS

#endif  // TESK_OSTREL7_H
