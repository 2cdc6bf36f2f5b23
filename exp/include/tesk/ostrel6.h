// Experiment information library, older build (libostrel6): the same class and file format;
// its string table lacks 5019..5021.
#ifndef TESK_EXP_INCLUDE_TESK_OSTREL6_H_
#define TESK_EXP_INCLUDE_TESK_OSTREL6_H_

#define TESK_OSTREL_HEADER_BUILD 6
#include <tesk/ostrel_testinfo.h>
#undef TESK_OSTREL_HEADER_BUILD

#endif  // TESK_EXP_INCLUDE_TESK_OSTREL6_H_
