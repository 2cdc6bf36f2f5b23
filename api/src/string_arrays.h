// One-dimensional string arrays (lower bound 0) handed to clients.
#ifndef TESK_API_SRC_STRING_ARRAYS_H_
#define TESK_API_SRC_STRING_ARRAYS_H_

#include <tesk/platform.h>

#include <string>
#include <vector>

namespace tarvex {

// A new array of BSTRs holding `items`; null when it cannot be made.
SAFEARRAY* MakeStringArray(const std::vector<std::string>& items);

}  // namespace tarvex

#endif  // TESK_API_SRC_STRING_ARRAYS_H_
