#include "shared_cache.h"

#include <cstring>
#include <span>

#include "cache_names.h"
#include "event_log.h"
#include "region_codec.h"

namespace tesk::rolvane {
namespace {

std::span<uint8_t> TreeArea(uint8_t* view) { return {view + 4, kRegionSize - 4}; }

}  // namespace

SharedCache& SharedCache::Instance() {
  static auto* cache = new SharedCache;  // never destroyed: Stop() runs at unload
  return *cache;
}

void SharedCache::Start() {
  std::lock_guard<std::mutex> lock(mu_);
  tree_ = CacheNode{};
  has_tree_ = true;
  gen_ = 0;
  // Only this user may open the cache: it holds the flags that grant role functions.
  SECURITY_ATTRIBUTES sa{sizeof(SECURITY_ATTRIBUTES), TESK_OWNER_ONLY_SECURITY, TRUE};
  const std::string region = RegionName();
  map_ = CreateFileMapping(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE, 0, kRegionSize, region.c_str());
  if (!map_) {
    const DWORD err = GetLastError();
    LogEvent("CreateFileMapping err= %d", static_cast<int>(err));
    mode_ = err == ERROR_ACCESS_DENIED ? Mode::kPrivate : Mode::kFailed;
    return;
  }
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  view_ = static_cast<uint8_t*>(MapViewOfFile(map_, FILE_MAP_ALL_ACCESS, 0, 0, kRegionSize));
  if (!view_) {
    LogEvent("MapViewOfFile err= %d", static_cast<int>(GetLastError()));
    CloseRegion();
    mode_ = Mode::kFailed;
    return;
  }
  mutex_ = CreateMutex(&sa, FALSE, MutexName().c_str());
  if (!mutex_) {
    const DWORD err = GetLastError();
    LogEvent("CreateMutex err= %d", static_cast<int>(err));
    CloseRegion();
    mode_ = err == ERROR_ACCESS_DENIED ? Mode::kPrivate : Mode::kFailed;
    return;
  }
  mode_ = Mode::kShared;
  const Hold hold = LockRegion();
  if (hold == Hold::kNone) return;  // the next call tries again
  if (hold == Hold::kAbandoned) {
    Recover();
  } else if (existed) {
    gen_ = RegionGeneration();
    LoadFromRegion();
  } else {
    SetRegionGeneration(gen_);
    StoreTree(tree_, TreeArea(view_));
  }
  UnlockRegion();
}

void SharedCache::Stop() {
  std::lock_guard<std::mutex> lock(mu_);
  CloseRegion();
  mode_ = Mode::kFailed;
}

bool SharedCache::failed() {
  std::lock_guard<std::mutex> lock(mu_);
  return mode_ == Mode::kFailed;
}

void SharedCache::CloseRegion() {
  if (view_) UnmapViewOfFile(view_);
  if (map_) CloseHandle(map_);
  if (mutex_) CloseHandle(mutex_);
  view_ = nullptr;
  map_ = nullptr;
  mutex_ = nullptr;
}

SharedCache::Hold SharedCache::LockRegion() {
  switch (WaitForSingleObject(mutex_, INFINITE)) {
    case WAIT_OBJECT_0:
      return Hold::kHeld;
    case WAIT_ABANDONED:
      return Hold::kAbandoned;
    default:
      return Hold::kNone;
  }
}

void SharedCache::UnlockRegion() { ReleaseMutex(mutex_); }

uint32_t SharedCache::RegionGeneration() const {
  uint32_t g;
  std::memcpy(&g, view_, sizeof g);
  return g;
}

void SharedCache::SetRegionGeneration(uint32_t g) { std::memcpy(view_, &g, sizeof g); }

void SharedCache::LoadFromRegion() {
  LoadTree(TreeArea(view_), &tree_);  // a damaged tree loads as an empty one
  has_tree_ = true;
}

void SharedCache::Recover() {
  // The holder may have died anywhere in a write: believe only a tree that checks out, write it
  // back whole under a new generation so that every process reloads it.
  LoadFromRegion();
  gen_ = RegionGeneration() + 1;
  SetRegionGeneration(gen_);
  if (!StoreTree(tree_, TreeArea(view_))) StoreTree(CacheNode{}, TreeArea(view_));
}

void SharedCache::Publish() {
  if (!StoreTree(tree_, TreeArea(view_))) {
    // Kept in this process; others fetch for themselves. The region keeps the last tree that fit.
    if (!told_too_big_) {
      LogEvent("Role cache of %zu bytes does not fit in the shared region; kept in this process",
               StoredSize(tree_));
      told_too_big_ = true;
    }
    return;
  }
  ++gen_;
  SetRegionGeneration(gen_);
}

bool SharedCache::WithServer(const std::string& server, const std::function<bool(CacheNode*)>& fetch,
                             const std::function<void(const CacheNode&)>& use) {
  std::lock_guard<std::mutex> lock(mu_);
  if (mode_ == Mode::kFailed) return false;
  if (!has_tree_) {
    tree_ = CacheNode{};
    has_tree_ = true;
  }
  Hold hold = Hold::kNone;
  if (mode_ == Mode::kShared) {
    hold = LockRegion();
    if (hold == Hold::kAbandoned) {
      Recover();
    } else if (hold == Hold::kHeld && RegionGeneration() != gen_) {
      gen_ = RegionGeneration();
      LoadFromRegion();
    }
  }
  bool ok = true;
  if (!tree_.Find(server)) {
    CacheNode node;
    node.kind = kServerNode;
    node.name = server;
    ok = fetch(&node);
    if (ok) {
      tree_.children.push_back(std::move(node));
      if (hold != Hold::kNone) Publish();
    }
  }
  if (hold != Hold::kNone) UnlockRegion();
  if (!ok) return false;
  use(*tree_.Find(server));
  return true;
}

void SharedCache::Reset(bool keep) {
  std::lock_guard<std::mutex> lock(mu_);
  tree_ = CacheNode{};
  has_tree_ = keep;
}

}  // namespace tesk::rolvane
