// Probe map reading: every version in both float encodings, mapping kinds, packed probes, hit
// sections found by their offsets, and damaged files that must fail cleanly.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tesk/testing/fault_env.h"
#include "tiling/probe_map.h"
#include "tiling_test_util.h"

namespace {

using tesk::tiling::FloatEncoding;
using tesk::tiling::ProbeMap;
using tesk::tiling::ReadProbeMap;
using namespace tiling_test;

std::vector<SeqSpec> TwoSequences(FloatEncoding enc) {
  // Encoding 1 keeps whole numbers only, so its scores are whole.
  const float s1 = enc == FloatEncoding::kBigEndian ? 0.75f : 7.0f;
  const float s2 = enc == FloatEncoding::kBigEndian ? -1.5f : 300.0f;
  SeqSpec a{"chr1", "Hs", "hg18", 0, {{"Species", "human"}, {"Build", "18"}}, 5, {}};
  a.hits.push_back({10, 20, 10, 21, "ACGTACGTACGTACGTACGTACGTA", -1, s1, 1000, 1});
  a.hits.push_back({4294967295u, 0, 7, 8, "TTTTGGGGCCCCAAAATTTTGGGGCCCC", -1, s2, 4294967295u, 0});
  SeqSpec b{"chrX_random", "Hs", "hg18", 0, {}, 9, {}};
  b.hits.push_back({1, 2, 1, 3, "", -1, 0, 0, 255});
  return {a, b};
}

void ExpectSame(const std::vector<SeqSpec>& want, const ProbeMap& got, float version) {
  ASSERT_EQ(got.sequences.size(), want.size());
  const bool v2 = version + 0.1 >= 2.0;
  const bool v3 = version >= 3.0f;
  for (std::size_t i = 0; i < want.size(); ++i) {
    const SeqSpec& w = want[i];
    const auto& s = got.sequences[i];
    SCOPED_TRACE(w.name);
    EXPECT_EQ(s.name, w.name);
    EXPECT_EQ(s.number, w.number);
    EXPECT_EQ(s.hit_count, w.hits.size());
    EXPECT_EQ(s.group_name, v2 ? w.group : "");
    EXPECT_EQ(s.version, v2 ? w.version : "");
    EXPECT_EQ(s.parameters, v2 ? w.parameters : decltype(w.parameters){});
    EXPECT_EQ(s.mapping_kind, v3 ? w.mapping_kind : 0u);
    const bool partner = !v3 || w.mapping_kind == 0;
    ASSERT_EQ(s.hits.size(), w.hits.size());
    for (std::size_t k = 0; k < w.hits.size(); ++k) {
      const auto& h = s.hits[k];
      const HitSpec& e = w.hits[k];
      EXPECT_EQ(h.pm_x, e.pm_x);
      EXPECT_EQ(h.pm_y, e.pm_y);
      EXPECT_EQ(h.mm_x, partner ? e.mm_x : 0u);
      EXPECT_EQ(h.mm_y, partner ? e.mm_y : 0u);
      EXPECT_EQ(h.Probe(), e.probe);
      EXPECT_EQ(h.match_score, e.score);
      EXPECT_EQ(h.position, e.position);
      EXPECT_EQ(h.top_strand, e.top_strand);
    }
  }
}

struct VersionCase {
  float version;
  FloatEncoding encoding;
};

class ProbeMapVersions : public testing::TestWithParam<VersionCase> {
 protected:
  Scratch dir_;
};

TEST_P(ProbeMapVersions, ReadsEveryFieldBackAndKeepsTheFilesEncoding) {
  const auto [version, enc] = GetParam();
  const auto seqs = TwoSequences(enc);
  const std::string path = dir_.Write("a.bpmap", BuildProbeMap(version, enc, seqs));
  ProbeMap map;
  std::string error;
  ASSERT_TRUE(ReadProbeMap(path, false, map, error)) << error;
  EXPECT_EQ(map.version, version);
  EXPECT_EQ(map.encoding, enc);
  EXPECT_EQ(map.sequence_count, 2u);
  ExpectSame(seqs, map, version);

  ProbeMap header;
  ASSERT_TRUE(ReadProbeMap(path, true, header, error)) << error;
  EXPECT_EQ(header.version, version);
  EXPECT_EQ(header.sequence_count, 2u);
  EXPECT_TRUE(header.sequences.empty());
}

TEST_P(ProbeMapVersions, EveryShorterFileFailsCleanly) {
  const auto [version, enc] = GetParam();
  const std::string bytes = BuildProbeMap(version, enc, TwoSequences(enc));
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    const std::string path = dir_.Write("cut.bpmap", bytes.substr(0, n));
    ProbeMap map;
    std::string error;
    const bool ok = ReadProbeMap(path, false, map, error);
    // Version 3 keeps its first section last, so the bytes before the end never suffice; the
    // older layouts end with the last hit too.
    ASSERT_FALSE(ok) << "read a file cut at " << n;
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(map.sequences.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllVersions, ProbeMapVersions,
    testing::Values(VersionCase{1.0f, FloatEncoding::kIntegerSwapped},
                    VersionCase{1.0f, FloatEncoding::kBigEndian},
                    VersionCase{2.0f, FloatEncoding::kIntegerSwapped},
                    VersionCase{2.0f, FloatEncoding::kBigEndian},
                    VersionCase{3.0f, FloatEncoding::kIntegerSwapped},
                    VersionCase{3.0f, FloatEncoding::kBigEndian}));

class ProbeMapRead : public testing::Test {
 protected:
  bool Read(const std::string& bytes, ProbeMap& map) {
    return ReadProbeMap(dir_.Write("t.bpmap", bytes), false, map, error_);
  }
  Scratch dir_;
  std::string error_;
};

TEST_F(ProbeMapRead, VersionFieldChoosesTheEncodingOfEveryFloat) {
  // The same score bytes mean different values under the two encodings: a 3.0 written with
  // encoding 1 makes the score's bytes read as encoding 1 too, and big-endian 3.0 as encoding 2.
  SeqSpec s{"c", "", "", 0, {}, 1, {{1, 2, 3, 4, "AC", -1, 0.0f, 5, 1}}};
  ProbeMap map;
  std::string bytes = BuildProbeMap(3.0f, FloatEncoding::kIntegerSwapped, {s});
  const std::size_t score_at = bytes.size() - 9;
  // Big-endian 1.0 (3F 80 00 00) read as encoding 1 is a tiny float that truncates to 0.
  bytes.replace(score_at, 4, std::string("\x3f\x80\x00\x00", 4));
  ASSERT_TRUE(Read(bytes, map)) << error_;
  EXPECT_EQ(map.encoding, FloatEncoding::kIntegerSwapped);
  EXPECT_EQ(map.sequences[0].hits[0].match_score, 0.0f);

  bytes = BuildProbeMap(3.0f, FloatEncoding::kBigEndian, {s});
  bytes.replace(score_at, 4, std::string("\x3f\x80\x00\x00", 4));
  ASSERT_TRUE(Read(bytes, map)) << error_;
  EXPECT_EQ(map.encoding, FloatEncoding::kBigEndian);
  EXPECT_EQ(map.sequences[0].hits[0].match_score, 1.0f);
}

TEST_F(ProbeMapRead, MappingKindsWithAndWithoutPartnersMixInOneFile) {
  SeqSpec pairs{"pairs", "g", "v", 0, {}, 1, {{1, 2, 3, 4, "GATTACA", -1, 1.5f, 10, 1}}};
  SeqSpec alone{"alone", "g", "v", 1, {}, 2, {{5, 6, 0, 0, "CAT", -1, 2.5f, 20, 0},
                                                {7, 8, 0, 0, "TAG", -1, 3.5f, 30, 1}}};
  SeqSpec other{"other-kind", "g", "v", 7, {}, 3, {{9, 9, 0, 0, "G", -1, 0, 1, 1}}};
  const std::vector<SeqSpec> seqs{pairs, alone, other};
  ProbeMap map;
  ASSERT_TRUE(Read(BuildProbeMap(3.0f, FloatEncoding::kBigEndian, seqs), map)) << error_;
  ExpectSame(seqs, map, 3.0f);
  EXPECT_EQ(map.sequences[2].mapping_kind, 7u);
}

TEST_F(ProbeMapRead, ProbeLengthSelectsTheLeadingPackedBases) {
  const std::string all28 = "ACGTTGCAACGTTGCAACGTTGCAGGCC";
  SeqSpec s{"c", "", "", 0, {}, 1, {}};
  s.hits.push_back({0, 0, 0, 0, all28, 25, 0, 0, 0});
  s.hits.push_back({0, 0, 0, 0, all28, 28, 0, 0, 0});
  s.hits.push_back({0, 0, 0, 0, all28, 0, 0, 0, 0});
  ProbeMap map;
  ASSERT_TRUE(Read(BuildProbeMap(1.0f, FloatEncoding::kBigEndian, {s}), map)) << error_;
  EXPECT_EQ(map.sequences[0].hits[0].Probe(), all28.substr(0, 25));
  EXPECT_EQ(map.sequences[0].hits[1].Probe(), all28);
  EXPECT_EQ(map.sequences[0].hits[2].Probe(), "");

  s.hits[1].length = 29;
  EXPECT_FALSE(Read(BuildProbeMap(1.0f, FloatEncoding::kBigEndian, {s}), map));
  EXPECT_NE(error_.find("probe length 29"), std::string::npos) << error_;
}

TEST_F(ProbeMapRead, SectionsAreFoundByOffsetAndOlderLayoutsRecordWhereTheyStart) {
  const auto seqs = TwoSequences(FloatEncoding::kBigEndian);
  ProbeMapLayout layout;
  ProbeMap map;
  ASSERT_TRUE(Read(BuildProbeMap(3.0f, FloatEncoding::kBigEndian, seqs, &layout), map));
  EXPECT_EQ(map.sequences[0].hit_offset, layout.section[0]);
  EXPECT_GT(map.sequences[0].hit_offset, map.sequences[1].hit_offset);
  ASSERT_TRUE(Read(BuildProbeMap(2.0f, FloatEncoding::kBigEndian, seqs, &layout), map));
  EXPECT_EQ(map.sequences[1].hit_offset, layout.section[1]);
}

TEST_F(ProbeMapRead, DamagedHeadersFailWithWhatWentWrong) {
  ProbeMap map;
  const std::string good = BuildProbeMap(2.0f, FloatEncoding::kBigEndian,
                                         TwoSequences(FloatEncoding::kBigEndian));
  std::string bad = good;
  bad[3] = '6';
  EXPECT_FALSE(Read(bad, map));
  EXPECT_EQ(error_, "File header is not of BPMAP type. ");

  EXPECT_FALSE(ReadProbeMap((dir_.dir() / "missing.bpmap").string(), false, map, error_));
  EXPECT_EQ(error_, "Unable to open the file.");
  EXPECT_FALSE(ReadProbeMap(dir_.dir().string(), false, map, error_));  // a directory

  // Neither encoding gives a version from 0.5 to 3.5: big-endian 7.0, 0.25, NaN, 3.6.
  for (const char* field : {"\x40\xe0\x00\x00", "\x3e\x80\x00\x00", "\x7f\xc0\x00\x00",
                            "\x40\x66\x66\x66"}) {
    bad = good;
    bad.replace(8, 4, std::string(field, 4));
    EXPECT_FALSE(Read(bad, map));
    EXPECT_NE(error_.find("version"), std::string::npos) << error_;
    EXPECT_FALSE(ReadProbeMap(dir_.Write("h.bpmap", bad), true, map, error_));
  }
}

TEST_F(ProbeMapRead, CountsThatCannotFitFailBeforeAllocating) {
  const auto seqs = TwoSequences(FloatEncoding::kBigEndian);
  ProbeMapLayout layout;
  const std::string good = BuildProbeMap(3.0f, FloatEncoding::kBigEndian, seqs, &layout);
  ProbeMap map;

  std::string bad = good;
  PatchU32(bad, 12, 0xFFFFFFFFu);  // sequences
  EXPECT_FALSE(Read(bad, map));
  EXPECT_NE(error_.find("sequence count"), std::string::npos) << error_;

  bad = good;
  PatchU32(bad, layout.hits_field[0], 0x7FFFFFFFu);  // hits of the first sequence
  EXPECT_FALSE(Read(bad, map));

  bad = good;
  PatchU32(bad, 16, 0xFFFFFFF0u);  // length of the first name
  EXPECT_FALSE(Read(bad, map));
  EXPECT_NE(error_.find("runs past the end"), std::string::npos) << error_;

  // The same in the sequential layout: the hits of all sections must fit after the
  // descriptions.
  const std::string v2 = BuildProbeMap(2.0f, FloatEncoding::kBigEndian, seqs, &layout);
  bad = v2;
  PatchU32(bad, layout.hits_field[1], 2);
  EXPECT_FALSE(Read(bad, map));
}

TEST_F(ProbeMapRead, HitSectionsOutsideTheFileOrOverlappingFail) {
  const auto seqs = TwoSequences(FloatEncoding::kBigEndian);
  ProbeMapLayout layout;
  const std::string good = BuildProbeMap(3.0f, FloatEncoding::kBigEndian, seqs, &layout);
  ProbeMap map;
  ASSERT_TRUE(Read(good, map)) << error_;

  struct Case {
    const char* what;
    std::size_t seq;
    std::uint32_t offset;
  };
  const std::uint32_t first = static_cast<std::uint32_t>(layout.section[0]);
  const std::uint32_t second = static_cast<std::uint32_t>(layout.section[1]);
  for (const Case& c : {Case{"past the end", 0, 0xFFFFFFF0u},
                        Case{"ends past the end", 0, static_cast<std::uint32_t>(good.size() - 4)},
                        Case{"inside the header", 1, 0},
                        Case{"inside the descriptions", 1, 20},
                        Case{"same section twice", 1, first},
                        Case{"overlapping the next", 1, second + 8},
                        Case{"overlapping the first", 0, first - 4}}) {
    SCOPED_TRACE(c.what);
    std::string bad = good;
    PatchU32(bad, layout.offset_field[c.seq], c.offset);
    EXPECT_FALSE(Read(bad, map));
    EXPECT_TRUE(map.sequences.empty());
  }
}

TEST_F(ProbeMapRead, ShortReadsAreCompletedAndFailingReadsFailTheRead) {
  const auto seqs = TwoSequences(FloatEncoding::kBigEndian);
  // A map large enough to need several read windows, with its sections found by offset.
  std::vector<SeqSpec> big = seqs;
  big[0].hits.resize(20000, big[0].hits[0]);
  const std::string bytes = BuildProbeMap(3.0f, FloatEncoding::kBigEndian, big);
  const std::string path = dir_.Write("big.bpmap", bytes);
  ProbeMap map;
  tesk::testing::FaultEnv env;
  tesk::testing::ScopedEnv use(env);
  env.ShortReads(5);
  ASSERT_TRUE(ReadProbeMap(path, false, map, error_)) << error_;
  ExpectSame(big, map, 3.0f);
  env.ShortReads(0);
  for (std::uint64_t at : {std::uint64_t{10}, std::uint64_t{200}, bytes.size() / 2,
                           bytes.size() - 1}) {
    env.FailReadsAfter(at);
    EXPECT_FALSE(ReadProbeMap(path, false, map, error_)) << at;
    EXPECT_TRUE(map.sequences.empty());
  }
}

}  // namespace
