// The cache tree in the shared region: what is stored loads back, and a region damaged in any
// way loads as an empty cache without reading past its bytes or allocating what they claim.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "region_codec.h"
#include "tesk/testing/bytes.h"

namespace {

using tesk::rolvane::CacheNode;
using tesk::rolvane::LoadResult;
using tesk::rolvane::LoadTree;
using tesk::rolvane::StoreTree;
using tesk::testing::ByteBuilder;

CacheNode SampleTree() {
  CacheNode root;
  CacheNode server{tesk::rolvane::kServerNode, "labsrv", {}, {}};
  CacheNode role{tesk::rolvane::kRoleNode, "Readers", {}, {"LAB\\alice", "LAB\\b\xE9la", std::string("x\0y", 3)}};
  role.children.push_back({tesk::rolvane::kRoleFunctionNode, "RoleFunction", {}, {"Y", "N", ""}});
  role.children.push_back({tesk::rolvane::kRoleFunctionOtherNode, "RoleFunctionOther", {}, {"N", "Y", ""}});
  server.children.push_back(role);
  server.children.push_back({tesk::rolvane::kRoleNode, "Empty", {}, {}});
  root.children.push_back(server);
  root.children.push_back({tesk::rolvane::kServerNode, "other", {}, {}});
  return root;
}

bool Same(const CacheNode& a, const CacheNode& b) {
  if (a.kind != b.kind || a.name != b.name || a.values != b.values || a.children.size() != b.children.size()) return false;
  for (size_t i = 0; i < a.children.size(); ++i) {
    if (!Same(a.children[i], b.children[i])) return false;
  }
  return true;
}

std::vector<uint8_t> Stored(const CacheNode& root, size_t area = 4096) {
  std::vector<uint8_t> bytes(area);
  EXPECT_TRUE(StoreTree(root, bytes));
  return bytes;
}

// A region area holding `tree` bytes behind a correct header (mark, version, length, CRC).
std::vector<uint8_t> WithHeader(const std::string& tree, size_t area = 4096) {
  const std::vector<uint8_t> t(tree.begin(), tree.end());
  const std::string header =
      ByteBuilder().U32(tesk::rolvane::kTreeMark).U16(1).U16(0).U32(static_cast<uint32_t>(t.size())).U32(tesk::rolvane::Crc32(t));
  std::vector<uint8_t> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), t.begin(), t.end());
  bytes.resize(std::max(area, bytes.size()));
  return bytes;
}

TEST(RegionCodec, StoredTreeLoadsBackExactly) {
  const CacheNode tree = SampleTree();
  CacheNode back;
  ASSERT_EQ(LoadTree(Stored(tree), &back), LoadResult::kLoaded);
  EXPECT_TRUE(Same(tree, back));
  EXPECT_EQ(tesk::rolvane::Crc32(std::vector<uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0xCBF43926u);
}

TEST(RegionCodec, NeverWrittenIsEmptyAndATreeThatDoesNotFitIsNotWritten) {
  CacheNode back = SampleTree();
  EXPECT_EQ(LoadTree(std::vector<uint8_t>(64, 0), &back), LoadResult::kNever);
  EXPECT_TRUE(back.children.empty());
  const CacheNode tree = SampleTree();
  const size_t need = tesk::rolvane::StoredSize(tree);
  std::vector<uint8_t> small(need - 1, 0xEE);
  EXPECT_FALSE(StoreTree(tree, small));
  EXPECT_EQ(small, std::vector<uint8_t>(need - 1, 0xEE));  // nothing written
  std::vector<uint8_t> exact(need);
  EXPECT_TRUE(StoreTree(tree, exact));
}

TEST(RegionCodec, DamagedHeaderOrTreeLoadsAsEmpty) {
  const std::vector<uint8_t> good = Stored(SampleTree());
  auto damaged = [&](auto change) {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    CacheNode back = SampleTree();
    const LoadResult r = LoadTree(bytes, &back);
    return r == LoadResult::kDamaged && back.children.empty() && back.values.empty();
  };
  EXPECT_TRUE(damaged([](auto& b) { b[0] ^= 1; }));                    // mark
  EXPECT_TRUE(damaged([](auto& b) { b[4] = 2; }));                     // newer layout
  EXPECT_TRUE(damaged([](auto& b) { b[6] = 1; }));                     // reserved field
  EXPECT_TRUE(damaged([](auto& b) { b[20] ^= 0x40; }));                // one bit of the tree
  EXPECT_TRUE(damaged([](auto& b) { b[8] += 1; }));                    // length one too long
  EXPECT_TRUE(damaged([](auto& b) { b[11] = 0xFF; }));                 // length past the area
  EXPECT_TRUE(damaged([](auto& b) { b.resize(tesk::rolvane::kTreeHeaderSize + 5); }));  // truncated
  EXPECT_TRUE(damaged([](auto& b) { b.resize(7); }));                  // not even a header
}

// Trees whose checksum is right but whose contents are not: counts and lengths beyond the
// bytes, kinds out of place, bytes left over. None may be believed.
TEST(RegionCodec, WellSealedButMalformedTreesLoadAsEmpty) {
  auto node = [](ByteBuilder& b, uint8_t kind, const std::string& name) -> ByteBuilder& {
    return b.U8(kind).U32(static_cast<uint32_t>(name.size())).Raw(name);
  };
  std::vector<std::string> bad;
  ByteBuilder b;
  node(b, 0, "").U32(0xFFFFFFFFu).U32(0);  // four billion values in a few bytes
  bad.push_back(b);
  b = ByteBuilder();
  node(b, 0, "").U32(0).U32(0x10000000u);  // children that cannot fit
  bad.push_back(b);
  b = ByteBuilder();
  b.U8(0).U32(1000).Raw("short");  // name longer than the tree
  bad.push_back(b);
  b = ByteBuilder();
  node(b, 1, "labsrv").U32(0).U32(0);  // the root is a server node
  bad.push_back(b);
  b = ByteBuilder();
  node(node(b, 0, "").U32(0).U32(1), 2, "Readers").U32(0).U32(0);  // a role straight under the root
  bad.push_back(b);
  b = ByteBuilder();
  node(b, 0, "").U32(0).U32(0).U8(0);  // a byte after the root
  bad.push_back(b);
  b = ByteBuilder();
  node(b, 0, "").U32(1).U32(10).Raw("abc");  // a value cut short
  bad.push_back(b);
  // Deeper than the tree can be: a RoleFunction node holding another node.
  b = ByteBuilder();
  node(node(node(node(b, 0, "").U32(0).U32(1), 1, "s").U32(0).U32(1), 2, "r").U32(0).U32(1), 3, "RoleFunction")
      .U32(0)
      .U32(1);
  node(b, 3, "RoleFunction").U32(0).U32(0);
  bad.push_back(b);
  for (size_t i = 0; i < bad.size(); ++i) {
    CacheNode back;
    EXPECT_EQ(LoadTree(WithHeader(bad[i]), &back), LoadResult::kDamaged) << i;
    EXPECT_TRUE(back.children.empty()) << i;
  }
  // The same framing around a proper tree loads.
  ByteBuilder ok;
  node(node(ok, 0, "").U32(0).U32(1), 1, "labsrv").U32(0).U32(0);
  CacheNode back;
  EXPECT_EQ(LoadTree(WithHeader(ok), &back), LoadResult::kLoaded);
  ASSERT_EQ(back.children.size(), 1u);
  EXPECT_EQ(back.children[0].name, "labsrv");
}

TEST(CacheTree, NamesCompareWithoutCaseAndMembersAfterTheBackslash) {
  const CacheNode tree = SampleTree();
  const CacheNode* server = tree.Find("LABSRV");
  ASSERT_NE(server, nullptr);
  const CacheNode* role = server->Find("readers");
  ASSERT_NE(role, nullptr);
  EXPECT_EQ(tree.Find("labsrv2"), nullptr);
  EXPECT_EQ(tesk::rolvane::AccountPart("LAB\\alice"), "alice");
  EXPECT_EQ(tesk::rolvane::AccountPart("A\\B\\c"), "B\\c");
  EXPECT_EQ(tesk::rolvane::AccountPart("plain"), "plain");
  EXPECT_TRUE(tesk::rolvane::Granted(*role, "RoleFunction", 0));
  EXPECT_FALSE(tesk::rolvane::Granted(*role, "RoleFunction", 1));
  EXPECT_FALSE(tesk::rolvane::Granted(*role, "RoleFunction", 2));   // empty is not "Y"
  EXPECT_FALSE(tesk::rolvane::Granted(*role, "RoleFunction", 3));   // beyond the list
  EXPECT_FALSE(tesk::rolvane::Granted(*role, "RoleFunction", -1));
  EXPECT_TRUE(tesk::rolvane::Granted(*role, "RoleFunctionOther", 1));
  EXPECT_FALSE(tesk::rolvane::Granted(*server->Find("Empty"), "RoleFunction", 0));  // no flag lists
}

}  // namespace
