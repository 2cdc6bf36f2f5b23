// The library's own lock count: live objects and server locks (DllCanUnloadNow).
#pragma once

#include <tesk/platform.h>

namespace tarvex {
tesk::ComModule& TarvexModule();
}
