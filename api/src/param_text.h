// Algorithm parameter texts: blank-separated name=value items, where a value may itself hold
// blanks (an item ends only at the last blank before the next name that is followed by "=").
#ifndef TESK_API_SRC_PARAM_TEXT_H_
#define TESK_API_SRC_PARAM_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

void SplitParamText(std::string_view text, std::vector<std::string>& names, std::vector<std::string>& values);

}  // namespace tarvex

#endif  // TESK_API_SRC_PARAM_TEXT_H_
