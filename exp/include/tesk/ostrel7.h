// Experiment information library, current build (libostrel7).
#ifndef TESK_OSTREL7_H
#define TESK_OSTREL7_H

#define TESK_OSTREL_BUILD_NS ostrel7
#include <tesk/ostrel_testinfo.h>
#undef TESK_OSTREL_BUILD_NS

#endif  // TESK_OSTREL7_H
