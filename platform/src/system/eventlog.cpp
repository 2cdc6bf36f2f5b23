// Event log over syslog: the event source becomes the syslog ident of its messages.
#include <strings.h>
#include <syslog.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "system/handles.h"

namespace {

using tesk::platform::detail::Object;

struct EventSource : Object {
  EventSource() : Object(Kind::kEventSource) {}
  std::string source;
};

std::atomic<TeskEventLogHook> g_hook{nullptr};
std::mutex g_syslog_mu;

int Priority(WORD type) {
  switch (type) {
    case EVENTLOG_ERROR_TYPE:
    case EVENTLOG_AUDIT_FAILURE:
      return LOG_ERR;
    case EVENTLOG_WARNING_TYPE:
      return LOG_WARNING;
    default:
      return LOG_INFO;
  }
}

}  // namespace

HANDLE RegisterEventSource(LPCSTR lpUNCServerName, LPCSTR lpSourceName) {
  if (!lpSourceName || !*lpSourceName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (lpUNCServerName && *lpUNCServerName) {
    // Only this computer's log is reachable.
    std::string server = lpUNCServerName;
    while (!server.empty() && server.front() == '\\') server.erase(0, 1);
    char own[256];
    DWORD n = sizeof own;
    if (!GetComputerName(own, &n) || strcasecmp(own, server.c_str()) != 0) {
      SetLastError(RPC_S_SERVER_UNAVAILABLE);
      return nullptr;
    }
  }
  try {
    auto src = std::make_unique<EventSource>();
    src->source = lpSourceName;
    return tesk::platform::detail::AddHandle(std::move(src));
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

BOOL ReportEvent(HANDLE hEventLog, WORD wType, WORD, DWORD dwEventID, void*, WORD wNumStrings,
                 DWORD, LPCSTR* lpStrings, LPVOID) {
  auto* src = static_cast<EventSource*>(
      tesk::platform::detail::FindHandle(hEventLog, Object::Kind::kEventSource));
  if (!src) return FALSE;
  if (wNumStrings && !lpStrings) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  try {
    std::string text;
    for (WORD i = 0; i < wNumStrings; ++i) {
      if (i) text += ' ';
      if (lpStrings[i]) text += lpStrings[i];
    }
    TeskEventLogHook hook = g_hook.load();
    if (hook && hook(src->source.c_str(), wType, dwEventID, text.c_str())) return TRUE;
    std::lock_guard<std::mutex> lock(g_syslog_mu);
    openlog(src->source.c_str(), LOG_PID, LOG_USER);
    syslog(Priority(wType), "%s", text.c_str());
    closelog();  // the ident points into the source, which may go before the next message
    return TRUE;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}

BOOL DeregisterEventSource(HANDLE hEventLog) {
  if (!tesk::platform::detail::FindHandle(hEventLog, Object::Kind::kEventSource)) return FALSE;
  tesk::platform::detail::TakeHandle(hEventLog);
  return TRUE;
}

TeskEventLogHook TeskSetEventLogHook(TeskEventLogHook hook) { return g_hook.exchange(hook); }
