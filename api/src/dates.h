// Date texts shown by the objects: "%b %d %Y %I:%M%p" in the C locale ("Mar 07 2026 02:05PM").
#ifndef TESK_API_SRC_DATES_H_
#define TESK_API_SRC_DATES_H_

#include <optional>
#include <string>

namespace tarvex {

// The last-modification time of `path` as a date text; nothing when the file system gives no
// status for it.
std::optional<std::string> FileDateText(const std::string& path);

// A date text of a file re-formatted: parsed with the accepted patterns and formatted again.
// An empty text, or one that no pattern accepts, gives an empty text.
std::string ReformatDateText(const std::string& text);

}  // namespace tarvex

#endif  // TESK_API_SRC_DATES_H_
