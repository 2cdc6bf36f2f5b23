// Whether the calling user may open a database file owned by `owner`, with the refusal
// messages shown as the role library and the chooser word them.
#ifndef TESK_CHOOSER_SRC_ROLE_CHECK_H_
#define TESK_CHOOSER_SRC_ROLE_CHECK_H_

#include <string>

#include <tesk/platform/com.h>

namespace selvane {

inline constexpr const char* kDialogCaption = "Tesk File Open Dialog ";

bool MayOpenFile(IDispatch* connection, const std::string& owner, HWND parent);

}  // namespace selvane

#endif  // TESK_CHOOSER_SRC_ROLE_CHECK_H_
