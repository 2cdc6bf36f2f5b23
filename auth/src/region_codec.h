// The cache tree as it is kept in the role cache region, after the region's 32-bit generation
// counter. The bytes may have been left half-written by a process that died, or written by
// anything that could open the region, so the loader checks every length and count against
// the bytes that remain and a checksum over the whole tree before it believes any of it.
//
// Layout (little-endian):
//   0  u32  mark "RVC1" (0x31435652)
//   4  u16  layout version (1)
//   6  u16  zero
//   8  u32  tree length n
//  12  u32  CRC-32 of the n tree bytes
//  16  n    the root node
// A node: u8 kind, string name, u32 value count, that many strings, u32 child count, that many
// nodes; a string: u32 length, then its bytes. Kinds nest as the tree does: root (one), servers
// under it, roles under a server, and under a role only RoleFunction and RoleFunctionOther
// nodes, which have no children.
#ifndef TESK_AUTH_SRC_REGION_CODEC_H_
#define TESK_AUTH_SRC_REGION_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "cache_tree.h"

namespace tesk::rolvane {

inline constexpr uint32_t kTreeMark = 0x31435652u;  // "RVC1"
inline constexpr uint16_t kTreeVersion = 1;
inline constexpr size_t kTreeHeaderSize = 16;

enum class LoadResult {
  kLoaded,   // *root holds the stored tree
  kNever,    // nothing was ever written (all-zero header): an empty cache
  kDamaged,  // wrong mark, version, length or checksum, or a malformed tree: an empty cache
};

// Reads the tree from `area` (the region after its generation counter). On anything but
// kLoaded, *root is an empty root.
LoadResult LoadTree(std::span<const uint8_t> area, CacheNode* root);

// Bytes StoreTree needs for `root`.
size_t StoredSize(const CacheNode& root);

// Writes the tree into `area`; false (nothing written) when it does not fit.
bool StoreTree(const CacheNode& root, std::span<uint8_t> area);

uint32_t Crc32(std::span<const uint8_t> bytes);

}  // namespace tesk::rolvane

#endif  // TESK_AUTH_SRC_REGION_CODEC_H_
