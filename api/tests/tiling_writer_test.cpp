// The writers of the sample data set and benchmarks: what they write reads back the same in
// every layout and encoding, and a failed write leaves the target alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tesk/testing/bytes.h"
#include "tesk/testing/fault_env.h"
#include "tiling/probe_map.h"
#include "tiling/tiling_result.h"
#include "tiling/tiling_writer.h"
#include "tiling_test_util.h"

namespace {

using namespace tesk::tiling;

ProbeMap SmallMap(float version, FloatEncoding enc) {
  ProbeMap m;
  m.version = version;
  m.encoding = enc;
  for (std::uint32_t kind : {0u, 3u}) {
    ProbeSequence& s = m.sequences.emplace_back();
    s.name = "chr" + std::to_string(kind);
    s.group_name = "Hs";
    s.version = "v1";
    s.parameters = {{"a", "b"}};
    s.number = kind + 10;
    s.mapping_kind = kind;
    for (int i = 0; i < 3; ++i) {
      ProbeHit& h = s.hits.emplace_back();
      h.pm_x = 100 + i;
      h.pm_y = 200 + i;
      h.mm_x = kind == 0 || version < 3.0f ? 300 + i : 0;
      h.mm_y = kind == 0 || version < 3.0f ? 400 + i : 0;
      h.probe_length = static_cast<std::uint8_t>(20 + i);
      PackProbe("GATTACAGATTACAGATTACAGATTACA", h.packed);
      h.match_score = static_cast<float>(i + 1);
      h.position = 1000u * i;
      h.top_strand = static_cast<std::uint8_t>(i & 1);
    }
  }
  return m;
}

TEST(TilingWriter, ProbeMapsOfEveryVersionAndEncodingReadBack) {
  tiling_test::Scratch dir;
  for (float version : {1.0f, 2.0f, 3.0f}) {
    for (FloatEncoding enc : {FloatEncoding::kIntegerSwapped, FloatEncoding::kBigEndian}) {
      SCOPED_TRACE(testing::Message() << version << " " << static_cast<int>(enc));
      const ProbeMap want = SmallMap(version, enc);
      const std::string path = (dir.dir() / "w.bpmap").string();
      ASSERT_TRUE(WriteProbeMap(path, want));
      ProbeMap got;
      std::string error;
      ASSERT_TRUE(ReadProbeMap(path, false, got, error)) << error;
      EXPECT_EQ(got.encoding, enc);
      ASSERT_EQ(got.sequences.size(), 2u);
      for (std::size_t i = 0; i < 2; ++i) {
        const auto& a = want.sequences[i];
        const auto& b = got.sequences[i];
        EXPECT_EQ(b.name, a.name);
        EXPECT_EQ(b.number, a.number);
        EXPECT_EQ(b.mapping_kind, version >= 3.0f ? a.mapping_kind : 0u);
        EXPECT_EQ(b.group_name, version >= 2.0f ? a.group_name : "");
        ASSERT_EQ(b.hits.size(), a.hits.size());
        for (std::size_t k = 0; k < a.hits.size(); ++k) {
          EXPECT_EQ(b.hits[k].Probe(), a.hits[k].Probe());
          EXPECT_EQ(b.hits[k].mm_y, a.hits[k].mm_y);
          EXPECT_EQ(b.hits[k].match_score, a.hits[k].match_score);
          EXPECT_EQ(b.hits[k].position, a.hits[k].position);
        }
      }
    }
  }
}

TEST(TilingWriter, ResultsReadBackAndAFullDiskKeepsTheOldFile) {
  tiling_test::Scratch dir;
  TilingResult want;
  std::copy_n("magic!!!", 8, want.magic);
  want.version = 2.0f;
  want.column_types = {kColumnInteger, kColumnFloat, kColumnUChar};
  want.parameters = {{"k", "v"}};
  ResultSequence& s = want.sequences.emplace_back();
  s.name = "chr1";
  s.group_name = "g";
  s.version = "v";
  s.parameters = {{"p", "q"}};
  s.data_points = 2;
  s.values = {1, 2, 3, 4, 5, 6};
  const std::string path = (dir.dir() / "w.bar").string();
  ASSERT_TRUE(WriteTilingResult(path, want));
  TilingResult got;
  std::string error;
  ASSERT_TRUE(ReadTilingResult(path, false, got, error)) << error;
  EXPECT_EQ(got.sequences[0].values, s.values);
  EXPECT_EQ(got.sequences[0].parameters, s.parameters);
  EXPECT_EQ(std::string(got.magic, 8), "magic!!!");

  const std::string before = tesk::testing::ReadFileBytes(path);
  tesk::testing::FaultEnv env;
  tesk::testing::ScopedEnv use(env);
  env.FillDiskAfter(20);
  want.sequences[0].name = "changed";
  EXPECT_FALSE(WriteTilingResult(path, want));
  EXPECT_EQ(tesk::testing::ReadFileBytes(path), before);
}

}  // namespace
