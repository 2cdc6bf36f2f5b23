// The library's own lock count: live objects and server locks (DllCanUnloadNow).
#ifndef TESK_API_SRC_MODULE_H_
#define TESK_API_SRC_MODULE_H_

#include <tesk/platform.h>

namespace tarvex {
tesk::ComModule& TarvexModule();
}

#endif  // TESK_API_SRC_MODULE_H_
