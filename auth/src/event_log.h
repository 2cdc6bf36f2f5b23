// Start-up and connection failures go to the system event log under the source "ROLVANE".
#ifndef TESK_AUTH_SRC_EVENT_LOG_H_
#define TESK_AUTH_SRC_EVENT_LOG_H_

namespace tesk::rolvane {

// printf-style text, logged as one error event.
void LogEvent(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tesk::rolvane

#endif  // TESK_AUTH_SRC_EVENT_LOG_H_
