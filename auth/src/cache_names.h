// Names of the role cache region and its mutex. The cache is one per user: the names carry the
// effective user id, and the objects are private to that user (TESK_OWNER_ONLY_SECURITY). A
// registry directory other than the default (TESK_REGISTRY_DIR) is another computer as far as
// the kit is concerned, so it gets its own cache too.
#ifndef TESK_AUTH_SRC_CACHE_NAMES_H_
#define TESK_AUTH_SRC_CACHE_NAMES_H_

#include <cstddef>
#include <string>

namespace tesk::rolvane {

inline constexpr size_t kRegionSize = 4096000;  // generation counter, then the tree

std::string RegionName();  // "ROLVANE_CACHE_FILE.<uid>[.<registry>]"
std::string MutexName();   // "ROLVANE_CACHE_MUTEX.<uid>[.<registry>]"

}  // namespace tesk::rolvane

#endif  // TESK_AUTH_SRC_CACHE_NAMES_H_
