// Tiling result reading: both layouts, every column type, parameters, and damaged files.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <string>
#include <vector>

#include "tiling/tiling_result.h"
#include "tiling_test_util.h"

namespace {

using namespace tiling_test;
using tesk::tiling::ReadTilingResult;
using tesk::tiling::TilingResult;

const std::vector<std::int32_t> kEveryType = {0, 1, 2, 3, 4, 5, 6, 7};

std::vector<ResultSeqSpec> Sequences() {
  ResultSeqSpec a{"chr1", "Hs", "hg18", {{"scale", "log2"}}, {}};
  for (int r = 0; r < 3; ++r) {
    std::vector<std::uint32_t> row;
    for (std::int32_t t : kEveryType) {
      row.push_back(t == 2 ? Bits(std::int32_t{-1000 * (r + 1)}) : Bits(0.5f * t + r));
    }
    a.rows.push_back(row);
  }
  // A float whose bits are a signalling NaN is kept bit for bit.
  a.rows[2][0] = 0x7FA00001u;
  ResultSeqSpec b{"chrM", "", "", {}, {}};  // no data points
  return {a, b};
}

class ResultRead : public testing::Test {
 protected:
  bool Read(const std::string& bytes, TilingResult& r, bool header_only = false) {
    return ReadTilingResult(dir_.Write("t.bar", bytes), header_only, r, error_);
  }
  Scratch dir_;
  std::string error_;
};

TEST_F(ResultRead, BothLayoutsReadEveryColumnTypeAndParameter) {
  const auto seqs = Sequences();
  const std::vector<std::pair<std::string, std::string>> params = {{"method", "tiling"},
                                                                    {"", "empty tag"}};
  for (float version : {1.0f, 2.0f}) {
    SCOPED_TRACE(version);
    TilingResult r;
    ASSERT_TRUE(Read(BuildResult(version, kEveryType, params, seqs), r)) << error_;
    const bool v2 = version == 2.0f;
    EXPECT_EQ(r.version, version);
    EXPECT_EQ(std::string(r.magic, 8), std::string("TeskBar\n", 8));
    EXPECT_EQ(r.column_types, kEveryType);
    EXPECT_EQ(r.parameters, params);
    ASSERT_EQ(r.sequences.size(), 2u);
    const auto& s = r.sequences[0];
    EXPECT_EQ(s.name, "chr1");
    EXPECT_EQ(s.group_name, v2 ? "Hs" : "");
    EXPECT_EQ(s.version, "hg18");
    EXPECT_EQ(s.parameters.size(), v2 ? 1u : 0u);
    ASSERT_EQ(s.data_points, 3u);
    ASSERT_EQ(s.values.size(), 3u * kEveryType.size());
    for (std::size_t row = 0; row < 3; ++row) {
      for (std::size_t col = 0; col < kEveryType.size(); ++col) {
        EXPECT_EQ(s.values[row * kEveryType.size() + col], seqs[0].rows[row][col]);
      }
    }
    EXPECT_EQ(static_cast<std::int32_t>(s.values[1 * 8 + 2]), -2000);
    EXPECT_EQ(std::bit_cast<float>(s.values[1 * 8 + 7]), 4.5f);
    EXPECT_EQ(r.sequences[1].data_points, 0u);
    EXPECT_TRUE(r.sequences[1].values.empty());
  }
}

TEST_F(ResultRead, HeaderOnlyStopsAfterTheFileParametersAndMagicIsNotChecked) {
  std::string bytes = BuildResult(2.0f, {1, 2}, {{"a", "b"}}, Sequences(), "whatever");
  bytes.resize(bytes.size() - 10);  // the sequences are not looked at
  TilingResult r;
  ASSERT_TRUE(Read(bytes, r, true)) << error_;
  EXPECT_EQ(r.sequence_count, 2u);
  EXPECT_EQ(r.column_types.size(), 2u);
  EXPECT_EQ(r.parameters.size(), 1u);
  EXPECT_TRUE(r.sequences.empty());
  EXPECT_FALSE(Read(bytes, r));
}

TEST_F(ResultRead, VersionTwoLayoutIsChosenByTheIntegerPartOfVersionPlusATenth) {
  EXPECT_FALSE(tesk::tiling::HasSequenceGroups(1.85f));
  EXPECT_TRUE(tesk::tiling::HasSequenceGroups(1.95f));
  EXPECT_TRUE(tesk::tiling::HasSequenceGroups(2.85f));
  EXPECT_FALSE(tesk::tiling::HasSequenceGroups(2.95f));
  EXPECT_FALSE(tesk::tiling::HasSequenceGroups(std::nanf("")));
}

TEST_F(ResultRead, EveryShorterFileFailsCleanly) {
  const std::string bytes = BuildResult(2.0f, kEveryType, {{"k", "v"}}, Sequences());
  TilingResult r;
  // The last sequence has no data points, so the full file ends with its count.
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    ASSERT_FALSE(Read(bytes.substr(0, n), r)) << "read a file cut at " << n;
    EXPECT_TRUE(r.sequences.empty());
  }
}

TEST_F(ResultRead, CountsThatCannotFitFailBeforeAllocating) {
  const std::string good =
      BuildResult(1.0f, {1, 2}, {}, {{"chr1", "", "hg18", {}, {{1, 2}, {3, 4}}}});
  TilingResult r;
  ASSERT_TRUE(Read(good, r)) << error_;
  struct Case {
    const char* what;
    std::size_t offset;
  };
  // Offsets in the version 1 layout: 12 sequences, 16 columns, 28 file parameters, 32 the
  // first name's length; the first sequence's data point count follows its two strings.
  const std::size_t points = 32 + 4 + 4 + 4 + 4;
  for (const Case& c : {Case{"sequences", 12}, Case{"columns", 16}, Case{"parameters", 28},
                        Case{"name length", 32}, Case{"data points", points}}) {
    SCOPED_TRACE(c.what);
    std::string bad = good;
    PatchU32(bad, c.offset, 0xFFFFFFFFu);
    EXPECT_FALSE(Read(bad, r));
    EXPECT_FALSE(error_.empty());
  }
  // Many data points with no columns take no room and allocate nothing.
  TilingResult none;
  std::string nocols = BuildResult(1.0f, {}, {}, {{"c", "", "v", {}, {}}});
  PatchU32(nocols, nocols.size() - 4, 0xFFFFFFFFu);
  ASSERT_TRUE(Read(nocols, none)) << error_;
  EXPECT_EQ(none.sequences[0].data_points, 0xFFFFFFFFu);
  EXPECT_TRUE(none.sequences[0].values.empty());
}

}  // namespace
