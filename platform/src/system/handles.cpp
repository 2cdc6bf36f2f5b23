// The handle table: a handle is the address of its object, valid while the table holds it, so
// a stale or foreign handle is refused instead of followed.
#include "system/handles.h"

#include <mutex>
#include <unordered_map>

namespace tesk::platform::detail {
namespace {

std::mutex g_mu;
std::unordered_map<HANDLE, std::unique_ptr<Object>>& Table() {
  static auto* table = new std::unordered_map<HANDLE, std::unique_ptr<Object>>();
  return *table;
}

}  // namespace

HANDLE AddHandle(std::unique_ptr<Object> obj) {
  HANDLE h = obj.get();
  std::lock_guard<std::mutex> lock(g_mu);
  Table()[h] = std::move(obj);
  return h;
}

Object* FindHandle(HANDLE h, Object::Kind kind) {
  std::lock_guard<std::mutex> lock(g_mu);
  auto it = Table().find(h);
  if (it == Table().end() || it->second->kind != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

std::unique_ptr<Object> TakeHandle(HANDLE h) {
  std::lock_guard<std::mutex> lock(g_mu);
  auto it = Table().find(h);
  if (it == Table().end()) return nullptr;
  std::unique_ptr<Object> obj = std::move(it->second);
  Table().erase(it);
  return obj;
}

}  // namespace tesk::platform::detail
