// This process's copy of the security cache and the region that all processes of the user
// share. One lock guards the process's tree, so threads of one process may ask at once; the
// named mutex guards the region between processes.
#ifndef TESK_AUTH_SRC_SHARED_CACHE_H_
#define TESK_AUTH_SRC_SHARED_CACHE_H_

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include <tesk/platform.h>

#include "cache_tree.h"

namespace tesk::rolvane {

class SharedCache {
 public:
  static SharedCache& Instance();

  // Library load: create or open the region and the mutex and read the tree. Failures are
  // logged; a region or mutex that another user holds leaves the cache in this process only,
  // any other failure leaves the library answering its negative results.
  void Start();
  // Library unload: unmap the region, close both handles.
  void Stop();
  bool failed();

  // Makes sure the tree holds server `server` (when it does not, `fetch` fills a new server
  // node; it is kept and shared only when fetch answers true), then calls use() with that
  // node. False, without calling use(), when start-up failed or fetch did.
  bool WithServer(const std::string& server, const std::function<bool(CacheNode*)>& fetch,
                  const std::function<void(const CacheNode&)>& use);

  // Drops this process's tree; keep: starts a new empty one.
  void Reset(bool keep);

 private:
  enum class Mode { kFailed, kPrivate, kShared };
  enum class Hold { kNone, kHeld, kAbandoned };

  Hold LockRegion();
  void UnlockRegion();
  uint32_t RegionGeneration() const;
  void SetRegionGeneration(uint32_t g);
  void LoadFromRegion();
  void Publish();        // increments the generation and writes the tree, if it fits
  void Recover();        // after a holder died: keep what checks out, everyone reloads
  void CloseRegion();

  std::mutex mu_;
  Mode mode_ = Mode::kFailed;
  HANDLE map_ = nullptr;
  HANDLE mutex_ = nullptr;
  uint8_t* view_ = nullptr;
  uint32_t gen_ = 0;
  CacheNode tree_;
  bool has_tree_ = false;
  bool told_too_big_ = false;
};

}  // namespace tesk::rolvane

#endif  // TESK_AUTH_SRC_SHARED_CACHE_H_
