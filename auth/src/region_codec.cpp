#include "region_codec.h"

#include <array>
#include <cstring>
#include <string>

#include "tesk/internal/little_endian.h"

namespace tesk::rolvane {
namespace {

// Smallest encodings, used to bound counts by the bytes left before anything is allocated.
constexpr size_t kMinString = 4;
constexpr size_t kMinNode = 1 + kMinString + 4 + 4;

using tesk::internal::LoadLE;
using tesk::internal::StoreLE;
uint32_t Load32(const uint8_t* p) { return LoadLE<uint32_t>(p); }
uint16_t Load16(const uint8_t* p) { return LoadLE<uint16_t>(p); }
void Store32(uint8_t* p, uint32_t v) { StoreLE(p, v); }
void Store16(uint8_t* p, uint16_t v) { StoreLE(p, v); }

// Which kinds may hold which: root > server > role > RoleFunction / RoleFunctionOther.
bool MayHold(int parent, int child) {
  switch (parent) {
    case kRootNode:
      return child == kServerNode;
    case kServerNode:
      return child == kRoleNode;
    case kRoleNode:
      return child == kRoleFunctionNode || child == kRoleFunctionOtherNode;
    default:
      return false;
  }
}

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t left() const { return bytes_.size() - pos_; }

  bool U8(int* v) {
    if (left() < 1) return false;
    *v = bytes_[pos_++];
    return true;
  }
  bool U32(uint32_t* v) {
    if (left() < 4) return false;
    *v = Load32(bytes_.data() + pos_);
    pos_ += 4;
    return true;
  }
  bool String(std::string* s) {
    uint32_t n;
    if (!U32(&n) || n > left()) return false;
    s->assign(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
    pos_ += n;
    return true;
  }
  // A count of items of at least `min_each` bytes each, which must all fit in what is left.
  bool Count(size_t min_each, uint32_t* n) { return U32(n) && *n <= left() / min_each; }

  // Kinds fix the depth (at most four levels), so the recursion is bounded.
  bool Node(int parent_kind, CacheNode* node) {
    uint32_t nvalues, nchildren;
    if (!U8(&node->kind)) return false;
    if (parent_kind < 0 ? node->kind != kRootNode : !MayHold(parent_kind, node->kind)) return false;
    if (!String(&node->name) || !Count(kMinString, &nvalues)) return false;
    node->values.resize(nvalues);
    for (std::string& v : node->values) {
      if (!String(&v)) return false;
    }
    if (!Count(kMinNode, &nchildren)) return false;
    node->children.resize(nchildren);
    for (CacheNode& c : node->children) {
      if (!Node(node->kind, &c)) return false;
    }
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

size_t NodeSize(const CacheNode& n) {
  size_t size = 1 + kMinString + n.name.size() + 4 + 4;
  for (const std::string& v : n.values) size += kMinString + v.size();
  for (const CacheNode& c : n.children) size += NodeSize(c);
  return size;
}

uint8_t* PutString(uint8_t* p, const std::string& s) {
  Store32(p, static_cast<uint32_t>(s.size()));
  if (!s.empty()) std::memcpy(p + 4, s.data(), s.size());
  return p + 4 + s.size();
}

uint8_t* PutNode(uint8_t* p, const CacheNode& n) {
  *p++ = static_cast<uint8_t>(n.kind);
  p = PutString(p, n.name);
  Store32(p, static_cast<uint32_t>(n.values.size()));
  p += 4;
  for (const std::string& v : n.values) p = PutString(p, v);
  Store32(p, static_cast<uint32_t>(n.children.size()));
  p += 4;
  for (const CacheNode& c : n.children) p = PutNode(p, c);
  return p;
}

constexpr std::array<uint32_t, 256> kCrcTable = [] {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[i] = c;
  }
  return t;
}();

}  // namespace

uint32_t Crc32(std::span<const uint8_t> bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (uint8_t b : bytes) c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

LoadResult LoadTree(std::span<const uint8_t> area, CacheNode* root) {
  *root = CacheNode{};
  if (area.size() < kTreeHeaderSize) return LoadResult::kDamaged;
  const uint8_t* h = area.data();
  bool zero = true;
  for (size_t i = 0; i < kTreeHeaderSize; ++i) zero = zero && h[i] == 0;
  if (zero) return LoadResult::kNever;
  const uint32_t length = Load32(h + 8);
  if (Load32(h) != kTreeMark || Load16(h + 4) != kTreeVersion || Load16(h + 6) != 0 ||
      length > area.size() - kTreeHeaderSize) {
    return LoadResult::kDamaged;
  }
  const auto tree = area.subspan(kTreeHeaderSize, length);
  if (Crc32(tree) != Load32(h + 12)) return LoadResult::kDamaged;
  CacheNode loaded;
  Reader r(tree);
  if (!r.Node(-1, &loaded) || r.left() != 0) return LoadResult::kDamaged;
  *root = std::move(loaded);
  return LoadResult::kLoaded;
}

size_t StoredSize(const CacheNode& root) { return kTreeHeaderSize + NodeSize(root); }

bool StoreTree(const CacheNode& root, std::span<uint8_t> area) {
  const size_t size = StoredSize(root);
  if (size > area.size() || size - kTreeHeaderSize > UINT32_MAX) return false;
  uint8_t* tree = area.data() + kTreeHeaderSize;
  PutNode(tree, root);
  const uint32_t length = static_cast<uint32_t>(size - kTreeHeaderSize);
  Store32(area.data(), kTreeMark);
  Store16(area.data() + 4, kTreeVersion);
  Store16(area.data() + 6, 0);
  Store32(area.data() + 8, length);
  Store32(area.data() + 12, Crc32({tree, length}));
  return true;
}

}  // namespace tesk::rolvane
