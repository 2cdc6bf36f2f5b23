// Small text helpers of the automation boundary.
#ifndef TESK_API_SRC_TEXT_H_
#define TESK_API_SRC_TEXT_H_

#include <tesk/platform.h>

#include <string>
#include <string_view>

namespace tarvex {

// `s` without leading and trailing white space.
std::string Trim(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);

// *out = a new BSTR of `text`; E_POINTER for a null out, E_OUTOFMEMORY when it cannot be made.
HRESULT HandOut(std::string_view text, BSTR* out) noexcept;

// Leading decimal integer of `text` (after blanks, with a sign); 0 when there is none.
long LeadingInteger(std::string_view text);

}  // namespace tarvex

#endif  // TESK_API_SRC_TEXT_H_
