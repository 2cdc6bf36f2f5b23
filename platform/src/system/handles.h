// Kernel-object handles of this process (event sources, mappings, mutexes). Internal.
#ifndef TESK_PLATFORM_SRC_SYSTEM_HANDLES_H_
#define TESK_PLATFORM_SRC_SYSTEM_HANDLES_H_

#include <memory>

#include <tesk/platform/system.h>

namespace tesk::platform::detail {

struct Object {
  enum class Kind { kEventSource, kMapping, kMutex };
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  const Kind kind;
};

// Hands out a handle that owns obj.
HANDLE AddHandle(std::unique_ptr<Object> obj);
// The object behind a live handle of the given kind, or null (GetLastError ERROR_INVALID_HANDLE).
Object* FindHandle(HANDLE h, Object::Kind kind);
// Takes the object back from the handle table (null for an unknown handle).
std::unique_ptr<Object> TakeHandle(HANDLE h);

}  // namespace tesk::platform::detail

#endif  // TESK_PLATFORM_SRC_SYSTEM_HANDLES_H_
