// One-dimensional string arrays (lower bound 0) handed to clients.
#pragma once

#include <tesk/platform.h>

#include <string>
#include <vector>

namespace tarvex {

// A new array of BSTRs holding `items`; null when it cannot be made.
SAFEARRAY* MakeStringArray(const std::vector<std::string>& items);

}  // namespace tarvex
