// The role cache region's loader on arbitrary bytes: it must answer, never crash or allocate
// beyond what the bytes can hold; what it loads must store and load back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "region_codec.h"

namespace {

bool Same(const tesk::rolvane::CacheNode& a, const tesk::rolvane::CacheNode& b) {
  if (a.kind != b.kind || a.name != b.name || a.values != b.values || a.children.size() != b.children.size()) {
    return false;
  }
  for (size_t i = 0; i < a.children.size(); ++i) {
    if (!Same(a.children[i], b.children[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesk::rolvane;
  CacheNode root;
  if (LoadTree(std::span<const uint8_t>(data, size), &root) != LoadResult::kLoaded) {
    if (!root.children.empty() || !root.values.empty()) std::abort();
    return 0;
  }
  std::vector<uint8_t> again(StoredSize(root));
  if (!StoreTree(root, again)) std::abort();
  CacheNode back;
  if (LoadTree(again, &back) != LoadResult::kLoaded || !Same(root, back)) std::abort();
  return 0;
}
