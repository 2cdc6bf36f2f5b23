// TeskBPMAPFile, TeskSequenceItem, TeskSequenceHitItem, TeskBARFile and TeskSequenceResultItem
// driven late-bound on files written byte by byte.
#include <gtest/gtest.h>
#include <tesk/platform/registry.h>

#include <string>
#include <vector>

#include "late_bound.h"
#include "tiling_test_util.h"

namespace {

using namespace tarvex_test;
using tiling_test::BuildProbeMap;
using tiling_test::BuildResult;
using tiling_test::Bits;
using tiling_test::FloatEncoding;
using tiling_test::SeqSpec;

void ExpectFailure(const Late& object, HRESULT hr, const std::string& description,
                   const std::string& source) {
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_EQ(object.Error().description, description);
  EXPECT_EQ(object.Error().source, source);
}

std::vector<SeqSpec> MapSequences(FloatEncoding enc) {
  const float score = enc == FloatEncoding::kBigEndian ? 0.5f : 12.0f;
  SeqSpec a{"chr7", "Hs", "hg18", 0, {{"Species", "human"}, {"Build", "18"}}, 3, {}};
  a.hits.push_back({11, 22, 11, 23, "ACGTACGTACGTACGTACGTACGTA", -1, score, 5000, 1});
  a.hits.push_back({4294967295u, 7, 8, 9, "GATTACA", -1, 2.0f, 5035, 0});
  SeqSpec b{"chrY", "Hs", "hg18", 1, {}, 4, {{30, 40, 0, 0, "TTTT", -1, 3.0f, 77, 1}}};
  return {a, b};
}

struct BpmapFile : ::testing::Test {
  ScratchDir dir;
  Late file{Create(CLSID_TeskBPMAPFile)};
  const std::string source = "Tarvex.TeskBPMAPFile.1";

  void SetUp() override {
    ASSERT_NE(file.Get(), nullptr);
    Write("map.bpmap", BuildProbeMap(3.0f, FloatEncoding::kBigEndian,
                                     MapSequences(FloatEncoding::kBigEndian)));
    ASSERT_EQ(file.Put("LibPath", dir.str()), S_OK);
    ASSERT_EQ(file.Put("Name", "map.bpmap"), S_OK);
  }
  void Write(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File(name), bytes));
  }
  HRESULT Fill(LONG index, const Late& item) {
    return file.Call("GetSequenceItem", {Long(index), Object(item.Get())});
  }
};

TEST_F(BpmapFile, NameGetsTheExtensionAndLibPathASeparator) {
  const std::pair<const char*, const char*> names[] = {
      {"x", "x"},                      // six characters or fewer: as given
      {"tiling", "tiling"},
      {"tiling1", "tiling1.bpmap"},
      {"A.BPMAP", "A.BPMAP"},          // ends in bpmap, any case
      {"chr_all_bpmap", "chr_all_bpmap"},
      {"probes.map", "probes.map.bpmap"}};
  for (const auto& [given, stored] : names) {
    EXPECT_EQ(file.Put("Name", given), S_OK);
    EXPECT_EQ(file.Str("#1"), stored) << given;
  }
  EXPECT_EQ(file.Put("LibPath", "/data/lib"), S_OK);
  EXPECT_EQ(file.Str("LibPath"), "/data/lib/");
  EXPECT_EQ(file.Put("#2", "/data/lib/"), S_OK);
  EXPECT_EQ(file.Str("LibPath"), "/data/lib/");
  EXPECT_EQ(file.Put("LibPath", ""), S_OK);
  EXPECT_EQ(file.Str("LibPath"), "/");
}

TEST_F(BpmapFile, ExistsAsksTheFileSystemForLibPathAndName) {
  VARIANT v;
  VariantInit(&v);
  EXPECT_EQ(file.Call("Exists", {}, &v), S_OK);
  EXPECT_EQ(AsLong(v), 1);
  ASSERT_EQ(file.Put("Name", "absent.bpmap"), S_OK);
  EXPECT_EQ(file.Call("#4", {}, &v), S_OK);
  EXPECT_EQ(AsLong(v), 0);
}

TEST_F(BpmapFile, ReadFillsSequenceItemsWithEveryFieldAndTheirHits) {
  Late seq{Create(CLSID_TeskSequenceItem)};
  Late hit{Create(CLSID_TeskSequenceHitItem)};
  ASSERT_NE(seq.Get(), nullptr);
  ASSERT_NE(hit.Get(), nullptr);
  EXPECT_EQ(file.Num("NumberSequences"), 0);
  ExpectFailure(file, Fill(0, seq),
                "Failure in ITeskBPMAPFile->GetSequenceItem: The file has not yet been read.",
                source);

  ASSERT_EQ(file.Call("Read"), S_OK);
  EXPECT_EQ(file.Num("#3"), 2);
  ASSERT_EQ(Fill(0, seq), S_OK);
  EXPECT_EQ(seq.Str("Name"), "chr7");
  EXPECT_EQ(seq.Num("Number"), 3);
  EXPECT_EQ(seq.Num("NumberHits"), 2);
  EXPECT_EQ(seq.Str("GroupName"), "Hs");
  EXPECT_EQ(seq.Str("Version"), "hg18");
  EXPECT_EQ(seq.Num("NumberParameters"), 2);
  VARIANT tag, value;
  VariantInit(&tag);
  VariantInit(&value);
  ASSERT_EQ(seq.Call("GetParameter", {Long(1), Out(&tag), Out(&value)}), S_OK);
  EXPECT_EQ(AsText(tag), "Build");
  EXPECT_EQ(AsText(value), "18");
  VariantClear(&tag);
  VariantClear(&value);
  ExpectFailure(seq, seq.Call("#7", {Long(2), Out(&tag), Out(&value)}),
                "Failure in ITeskSequenceItem->GetParameter: Index out of range.",
                "Tarvex.TeskSequenceItem.1");

  ASSERT_EQ(seq.Call("GetHitItem", {Long(0), Object(hit.Get())}), S_OK);
  EXPECT_EQ(hit.Num("PMPosX"), 11);
  EXPECT_EQ(hit.Num("PMPosY"), 22);
  EXPECT_EQ(hit.Num("MMPosX"), 11);
  EXPECT_EQ(hit.Num("MMPosY"), 23);
  EXPECT_EQ(hit.Num("ProbeLength"), 25);
  EXPECT_EQ(hit.Str("PMProbe"), "ACGTACGTACGTACGTACGTACGTA");
  EXPECT_EQ(hit.Real("MatchScore"), 0.5f);
  EXPECT_EQ(hit.Num("Position"), 5000);
  EXPECT_EQ(hit.Num("TopStrand"), 1);
  ASSERT_EQ(seq.Call("#4", {Long(1), Object(hit.Get())}), S_OK);
  EXPECT_EQ(hit.Num("#1"), -1);  // 0xFFFFFFFF in the file, shown as a long
  EXPECT_EQ(hit.Str("#6"), "GATTACA");
  EXPECT_EQ(hit.Num("#5"), 7);
  EXPECT_EQ(hit.Num("#9"), 0);
  for (LONG bad : {-1, 2}) {
    ExpectFailure(seq, seq.Call("GetHitItem", {Long(bad), Object(hit.Get())}),
                  "Failure in ITeskSequenceItem->GetHitItem: Index out of range.",
                  "Tarvex.TeskSequenceItem.1");
  }

  // The second sequence's hits have no mismatch partners.
  ASSERT_EQ(Fill(1, seq), S_OK);
  ASSERT_EQ(seq.Call("GetHitItem", {Long(0), Object(hit.Get())}), S_OK);
  EXPECT_EQ(hit.Num("PMPosX"), 30);
  EXPECT_EQ(hit.Num("MMPosX"), 0);
  EXPECT_EQ(hit.Num("MMPosY"), 0);
  EXPECT_EQ(seq.Num("NumberParameters"), 0);

  for (LONG bad : {-1, 2}) {
    ExpectFailure(file, Fill(bad, seq),
                  "Failure in ITeskBPMAPFile->GetSequenceItem: Index out of range.", source);
  }
}

TEST_F(BpmapFile, ItemsAreCopiesThatOutliveTheFileObjectAndLaterReads) {
  Late seq{Create(CLSID_TeskSequenceItem)};
  ASSERT_EQ(file.Call("Read"), S_OK);
  ASSERT_EQ(Fill(0, seq), S_OK);
  Write("other.bpmap", BuildProbeMap(1.0f, FloatEncoding::kIntegerSwapped,
                                     {{"other", "", "", 0, {}, 0, {}}}));
  ASSERT_EQ(file.Put("Name", "other.bpmap"), S_OK);
  ASSERT_EQ(file.Call("Read"), S_OK);
  EXPECT_EQ(file.Num("NumberSequences"), 1);
  EXPECT_EQ(seq.Str("Name"), "chr7");
  file = Late{tesk::ComPtr<IDispatch>()};  // the file object goes
  EXPECT_EQ(seq.Num("NumberHits"), 2);
  Late hit{Create(CLSID_TeskSequenceHitItem)};
  ASSERT_EQ(seq.Call("GetHitItem", {Long(1), Object(hit.Get())}), S_OK);
  EXPECT_EQ(hit.Str("PMProbe"), "GATTACA");
}

TEST_F(BpmapFile, EveryVersionAndEncodingReadsThroughTheObject) {
  Late seq{Create(CLSID_TeskSequenceItem)};
  Late hit{Create(CLSID_TeskSequenceHitItem)};
  for (float version : {1.0f, 2.0f, 3.0f}) {
    for (FloatEncoding enc : {FloatEncoding::kIntegerSwapped, FloatEncoding::kBigEndian}) {
      SCOPED_TRACE(testing::Message() << version << " " << static_cast<int>(enc));
      Write("v.bpmap", BuildProbeMap(version, enc, MapSequences(enc)));
      ASSERT_EQ(file.Put("Name", "v.bpmap"), S_OK);
      ASSERT_EQ(file.Call("Read"), S_OK);
      ASSERT_EQ(Fill(0, seq), S_OK);
      EXPECT_EQ(seq.Str("GroupName"), version >= 2.0f ? "Hs" : "");
      ASSERT_EQ(seq.Call("GetHitItem", {Long(0), Object(hit.Get())}), S_OK);
      EXPECT_EQ(hit.Real("MatchScore"), enc == FloatEncoding::kBigEndian ? 0.5f : 12.0f);
    }
  }
}

TEST_F(BpmapFile, HeaderReadsLeaveTheFileUnreadAndBadFilesFailWithTheFixedText) {
  Late seq{Create(CLSID_TeskSequenceItem)};
  ASSERT_EQ(file.Call("ReadHeader"), S_OK);
  EXPECT_EQ(file.Num("NumberSequences"), 2);
  ExpectFailure(file, Fill(0, seq),
                "Failure in ITeskBPMAPFile->GetSequenceItem: The file has not yet been read.",
                source);

  ASSERT_EQ(file.Call("Read"), S_OK);
  std::string bad = BuildProbeMap(3.0f, FloatEncoding::kBigEndian,
                                  MapSequences(FloatEncoding::kBigEndian));
  bad.resize(bad.size() - 3);  // a truncated hit record
  Write("bad.bpmap", bad);
  ASSERT_EQ(file.Put("Name", "bad.bpmap"), S_OK);
  ExpectFailure(file, file.Call("Read"),
                "Failure in ITeskBPMAPFile->Read: Unable to read the BPMAP file.", source);
  ExpectFailure(file, Fill(0, seq),
                "Failure in ITeskBPMAPFile->GetSequenceItem: The file has not yet been read.",
                source);
  EXPECT_EQ(file.Num("NumberSequences"), 0);

  Write("bad.bpmap", "PHT7 but not quite");
  ExpectFailure(file, file.Call("#6"),
                "Failure in ITeskBPMAPFile->ReadHeader: Unable to read the BPMAP file.", source);
  ASSERT_EQ(file.Put("Name", "missing.bpmap"), S_OK);
  ExpectFailure(file, file.Call("#5"),
                "Failure in ITeskBPMAPFile->Read: Unable to read the BPMAP file.", source);
}

TEST_F(BpmapFile, ItemArgumentsMustBeItemsOfThisLibrary) {
  Late hit{Create(CLSID_TeskSequenceHitItem)};
  ASSERT_EQ(file.Call("Read"), S_OK);
  // A hit item is no sequence item: the call does not reach the member.
  EXPECT_NE(Fill(0, hit), S_OK);
  tesk::ComPtr<ITeskBPMAPFile> direct;
  ASSERT_EQ(file.Get()->QueryInterface(IID_ITeskBPMAPFile, direct.PutVoid()), S_OK);
  EXPECT_EQ(direct->GetSequenceItem(0, nullptr), E_POINTER);
  EXPECT_EQ(TakeError().description,
            "Failure in ITeskBPMAPFile->GetSequenceItem: The interface object should not be NULL.");

  tesk::ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(file.Get()->QueryInterface(IID_ISupportErrorInfo, support.PutVoid()), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ITeskBPMAPFile), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ITeskBARFile), S_FALSE);
}

// A result file of every column type: row r holds, per column c, 10 * r + c (the integer
// column as an integer, every other as a float).
const std::vector<std::int32_t> kTypes = {0, 1, 2, 3, 4, 5, 6, 7};

std::string ResultBytes(float version) {
  std::vector<tiling_test::ResultSeqSpec> seqs(2);
  seqs[0] = {"chr1", "Hs", "hg18", {{"strand", "+"}}, {}};
  for (int r = 0; r < 3; ++r) {
    std::vector<std::uint32_t> row;
    for (std::int32_t t : kTypes) {
      const int v = 10 * r + t;
      row.push_back(t == 2 ? Bits(std::int32_t{-v}) : Bits(static_cast<float>(v) + 0.5f));
    }
    seqs[0].rows.push_back(row);
  }
  seqs[1] = {"chrM", "Hs", "hg18", {}, {}};
  return BuildResult(version, kTypes, {{"method", "demo"}, {"scale", "log2"}}, seqs);
}

struct BarFile : ::testing::Test {
  ScratchDir dir;
  Late file{Create(CLSID_TeskBARFile)};
  Late item{Create(CLSID_TeskSequenceResultItem)};
  const std::string source = "Tarvex.TeskBARFile.1";
  const std::string itemSource = "Tarvex.TeskSequenceResultItem.1";

  void SetUp() override {
    ASSERT_NE(file.Get(), nullptr);
    ASSERT_NE(item.Get(), nullptr);
    ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("r.bar"), ResultBytes(2.0f)));
    ASSERT_EQ(file.Put("DataPath", dir.str()), S_OK);
    ASSERT_EQ(file.Put("Name", "r.bar"), S_OK);
  }
  HRESULT Fill(LONG index) {
    return file.Call("GetSequenceResultItem", {Long(index), Object(item.Get())});
  }
  HRESULT At(const char* member, LONG row, LONG col, VARIANT* v) {
    VariantInit(v);
    return item.Call(member, {Long(row), Long(col)}, v);
  }
};

TEST_F(BarFile, PathsNameAndExistence) {
  EXPECT_EQ(file.Str("DataPath"), dir.str() + "/");
  EXPECT_EQ(file.Put("LibPath", "lib"), S_OK);
  EXPECT_EQ(file.Str("#3"), "lib/");
  EXPECT_EQ(file.Put("Name", "plain name"), S_OK);  // stored as given
  EXPECT_EQ(file.Str("Name"), "plain name");
  VARIANT v;
  VariantInit(&v);
  EXPECT_EQ(file.Call("Exists", {}, &v), S_OK);
  EXPECT_EQ(AsLong(v), 0);
  ASSERT_EQ(file.Put("Name", "r.bar"), S_OK);
  EXPECT_EQ(file.Call("#8", {}, &v), S_OK);
  EXPECT_EQ(AsLong(v), 1);
}

TEST_F(BarFile, BeforeAReadEveryIndexedMemberSaysSo) {
  EXPECT_EQ(file.Real("Version"), 0.0f);
  EXPECT_EQ(file.Num("NumberSequences"), 0);
  VARIANT tag, value, type;
  VariantInit(&tag);
  VariantInit(&value);
  VariantInit(&type);
  ExpectFailure(file, file.Call("GetParameter", {Long(0), Out(&tag), Out(&value)}),
                "Failure in ITeskBARFile->GetParameter: The file has not yet been read.", source);
  ExpectFailure(file, Fill(0),
                "Failure in ITeskBARFile->GetSequenceResultItem: The file has not yet been read.",
                source);
  ExpectFailure(file, file.Call("GetColumnType", {Long(0)}, &type),
                "Failure in ITeskBARFile->GetColumnType: The file has not yet been read.", source);
  // An item never filled.
  ExpectFailure(item, item.Call("GetColumnType", {Long(0)}, &type),
                "Failure in ITeskSequenceResultItem->GetColumnType: The file has not yet been read.",
                itemSource);
  ExpectFailure(item, At("GetIntegerDataPoint", 0, 0, &value),
                "Failure in ITeskSequenceResultItem->GetIntegerDataPoint: The file has not yet "
                "been read.",
                itemSource);
  EXPECT_EQ(item.Num("NumberDataPoints"), 0);
}

TEST_F(BarFile, HeaderReadGivesTheHeaderMembersButNoSequences) {
  ASSERT_EQ(file.Call("ReadHeader"), S_OK);
  EXPECT_EQ(file.Real("Version"), 2.0f);
  EXPECT_EQ(file.Num("NumberSequences"), 2);
  EXPECT_EQ(file.Num("NumberColumns"), 8);
  EXPECT_EQ(file.Num("NumberParameters"), 2);
  VARIANT tag, value;
  VariantInit(&tag);
  VariantInit(&value);
  ASSERT_EQ(file.Call("#11", {Long(1), Out(&tag), Out(&value)}), S_OK);
  EXPECT_EQ(AsText(tag), "scale");
  EXPECT_EQ(AsText(value), "log2");
  VariantClear(&tag);
  VariantClear(&value);
  ExpectFailure(file, file.Call("GetParameter", {Long(2), Out(&tag), Out(&value)}),
                "Failure in ITeskBARFile->GetParameter: Index out of range.", source);
  ExpectFailure(file, Fill(0),
                "Failure in ITeskBARFile->GetSequenceResultItem: The file has not yet been read.",
                source);
}

TEST_F(BarFile, ResultItemsAnswerEveryColumnWithItsOwnGetter) {
  for (float version : {1.0f, 2.0f}) {
    SCOPED_TRACE(version);
    ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("r.bar"), ResultBytes(version)));
    ASSERT_EQ(file.Call("Read"), S_OK);
    VARIANT v;
    VariantInit(&v);
    for (LONG c = 0; c < 8; ++c) {
      ASSERT_EQ(file.Call("GetColumnType", {Long(c)}, &v), S_OK);
      EXPECT_EQ(AsLong(v), c);
    }
    ExpectFailure(file, file.Call("#13", {Long(8)}, &v),
                  "Failure in ITeskBARFile->GetColumnType: Index out of range.", source);
    ExpectFailure(file, Fill(2),
                  "Failure in ITeskBARFile->GetSequenceResultItem: Index out of range.", source);

    ASSERT_EQ(Fill(0), S_OK);
    EXPECT_EQ(item.Str("Name"), "chr1");
    EXPECT_EQ(item.Str("Version"), "hg18");
    EXPECT_EQ(item.Num("NumberDataPoints"), 3);
    EXPECT_EQ(item.Num("NumberColumns"), 8);
    ASSERT_EQ(item.Call("#4", {Long(2)}, &v), S_OK);
    EXPECT_EQ(AsLong(v), BAR_DATA_INTEGER);
    for (LONG r = 0; r < 3; ++r) {
      for (LONG c = 0; c < 8; ++c) {
        if (c == 2) {
          ASSERT_EQ(At("GetIntegerDataPoint", r, c, &v), S_OK);
          EXPECT_EQ(AsLong(v), -(10 * r + c));
        } else {
          ASSERT_EQ(At("#7", r, c, &v), S_OK);
          EXPECT_EQ(AsFloat(v), static_cast<float>(10 * r + c) + 0.5f);
        }
      }
    }
  }
}

TEST_F(BarFile, ResultItemsRefuseCellsOutsideTheTableAndTheOtherGetter) {
  ASSERT_EQ(file.Call("Read"), S_OK);
  ASSERT_EQ(Fill(0), S_OK);
  VARIANT v;
  const std::string range = ": Index out of range.";
  for (auto [r, c] : {std::pair<LONG, LONG>{3, 2}, {-1, 2}, {0, 8}, {0, -1}}) {
    ExpectFailure(item, At("GetFloatDataPoint", r, c, &v),
                  "Failure in ITeskSequenceResultItem->GetFloatDataPoint" + range, itemSource);
    ExpectFailure(item, At("GetIntegerDataPoint", r, c, &v),
                  "Failure in ITeskSequenceResultItem->GetIntegerDataPoint" + range, itemSource);
  }
  ExpectFailure(item, At("GetFloatDataPoint", 0, 2, &v),
                "Failure in ITeskSequenceResultItem->GetFloatDataPoint: The column holds "
                "integers; use GetIntegerDataPoint.",
                itemSource);
  ExpectFailure(item, At("GetIntegerDataPoint", 0, 1, &v),
                "Failure in ITeskSequenceResultItem->GetIntegerDataPoint: The column holds "
                "floating-point values; use GetFloatDataPoint.",
                itemSource);
  ExpectFailure(item, item.Call("GetColumnType", {Long(8)}, &v),
                "Failure in ITeskSequenceResultItem->GetColumnType: Index out of range.",
                itemSource);

  // The second sequence has no data points: every row is outside.
  ASSERT_EQ(Fill(1), S_OK);
  EXPECT_EQ(item.Num("NumberDataPoints"), 0);
  ExpectFailure(item, At("GetFloatDataPoint", 0, 0, &v),
                "Failure in ITeskSequenceResultItem->GetFloatDataPoint" + range, itemSource);
}

TEST_F(BarFile, FailedReadsLeaveNothingReadAndItemsKeepTheirData) {
  ASSERT_EQ(file.Call("Read"), S_OK);
  ASSERT_EQ(Fill(0), S_OK);
  std::string bad = ResultBytes(2.0f);
  bad.resize(bad.size() - 20);
  ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("r.bar"), bad));
  ExpectFailure(file, file.Call("Read"),
                "Failure in ITeskBARFile->Read: Unable to read the BAR file.", source);
  EXPECT_EQ(file.Num("NumberSequences"), 0);
  ExpectFailure(file, Fill(0),
                "Failure in ITeskBARFile->GetSequenceResultItem: The file has not yet been read.",
                source);
  ASSERT_TRUE(tesk::testing::WriteFileBytes(dir.File("r.bar"), "short"));
  ExpectFailure(file, file.Call("ReadHeader"),
                "Failure in ITeskBARFile->ReadHeader: Unable to read the BAR file.", source);
  VARIANT v;
  ASSERT_EQ(At("GetIntegerDataPoint", 2, 2, &v), S_OK);  // the item still holds its copy
  EXPECT_EQ(AsLong(v), -22);
}

TEST(TilingRegistration, FiveClassesRegisterApartmentThreadedUnderTarvexProgIds) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::pair<const CLSID*, const char*> classes[] = {
      {&CLSID_TeskBPMAPFile, "Tarvex.TeskBPMAPFile"},
      {&CLSID_TeskSequenceItem, "Tarvex.TeskSequenceItem"},
      {&CLSID_TeskSequenceHitItem, "Tarvex.TeskSequenceHitItem"},
      {&CLSID_TeskBARFile, "Tarvex.TeskBARFile"},
      {&CLSID_TeskSequenceResultItem, "Tarvex.TeskSequenceResultItem"}};
  for (const auto& [clsid, progid] : classes) {
    const std::string key = "CLSID\\" + tesk::GuidToString(*clsid) + "\\InprocServer32";
    HKEY k;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS) << key;
    char buf[64] = {};
    DWORD cb = sizeof buf;
    EXPECT_EQ(RegQueryValueEx(k, "ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &cb),
              ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_STREQ(buf, "Apartment") << progid;
    CLSID found{};
    EXPECT_EQ(CLSIDFromProgID(tesk::ToWide(std::string(progid) + ".1").c_str(), &found), S_OK);
    EXPECT_EQ(found, *clsid) << progid;
  }
  EXPECT_EQ(DllUnregisterServer(), S_OK);
}

}  // namespace
