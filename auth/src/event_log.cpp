#include "event_log.h"

#include <cstdarg>
#include <cstdio>

#include <tesk/platform.h>

namespace tesk::rolvane {

void LogEvent(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  HANDLE source = RegisterEventSource(nullptr, "ROLVANE");
  if (!source) return;
  LPCSTR strings[] = {text};
  ReportEvent(source, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
  DeregisterEventSource(source);
}

}  // namespace tesk::rolvane
