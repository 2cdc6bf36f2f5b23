// The two result file writers: exact bytes, round trips through the reader, and how they fail.
#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include <tesk/testing/fault_env.h>

#include "results_bytes.h"
#include "chp_io.h"
#include "tesk/pendrix71.h"

namespace {

using results_test::Bytes;
using results_test::ReadFile;
using results_test::Scratch;

void SetCell(CellClass& c, int x, int y, float intensity, float stdev, int pixels) {
  c.x = static_cast<std::uint16_t>(x);
  c.y = static_cast<std::uint16_t>(y);
  c.intensity = intensity;
  c.stdev = stdev;
  c.pixels = static_cast<std::uint16_t>(pixels);
}

// A small chip of every unit kind, as an analysis would leave it before writing.
void BuildChip(ChipClass& chip) {
  chip.rows = 8;
  chip.cols = 9;
  chip.maxUnit = 40;
  chip.algorithmName = "ExprAlg";
  chip.algorithmVersion = "5.0";
  chip.algorithmParameters = "Alpha=0.05";
  chip.chipSummary = "Background=41.2";
  chip.chipType = "Demo8x9";
  chip.cellFile = "s1.CEL";
  chip.algorithmIdentifier = "id-7";

  auto* e = new GeneExpressionUnitClass(1);
  e->pairsUsed = 1;
  e->pairsInAverage = 1;
  e->stat1 = 3;
  e->stat2 = 4;
  e->stat3 = 5;
  e->stat4 = 6;
  e->value1 = 1.5f;
  e->value2 = 2.25f;
  e->value3 = -0.5f;
  e->callCode = 2;
  e->atoms[0].pairValue = 10.25f;
  e->atoms[0].pairCode = 1;
  SetCell(e->atoms[0].cells[0], 1, 2, 100.125f, 7.5f, 16);
  SetCell(e->atoms[0].cells[1], 2, 2, 50.0625f, 3.25f, 15);
  e->atoms[0].cells[0].masked = 1;
  e->comparisonPresent = 1;
  e->comparison.c0 = 11;
  e->comparison.c9 = 19;
  e->comparison.b0 = 3;
  e->comparison.c6 = 6.5f;
  e->comparison.c13 = 13.5f;
  ASSERT_EQ(chip.AddUnit(e, 10), 0);

  auto* r = new StandardUnitClass(2, 4);
  r->wildTypeSequence = "ag";
  r->calledSequence = "ac";
  for (int k = 0; k < 2; ++k) {
    r->atoms[k].atomNumber = static_cast<std::uint16_t>(k);
    r->atoms[k].background = 1.25f + static_cast<float>(k);
    for (int c = 0; c < 4; ++c) SetCell(r->atoms[k].cells[c], c, 3 + k, 200.0f + c, 0.5f, 9);
  }
  ASSERT_EQ(chip.AddUnit(r, 20), 0);

  auto* g = new BlockUnitClass(1, 4);
  g->wildTypeSequence = "t";
  g->calledSequence = "t";
  auto* block = new BlockUnitBlockInfoClass;
  block->code = 7;
  block->name = "blk";
  block->call = 6;
  block->SetConfidence(BLOCK_CONFIDENCE_0, 0.75f);
  g->blocks.Add(block);
  g->resultPresent = 1;
  g->genotypeIndex = 0;
  g->alleleA = "A";
  g->alleleB = "G";
  g->genotypeName = "AG";
  g->blocksUsed = 2;
  g->blocksCalled = 1;
  g->genotypeCall = 8;
  g->callMethod = 3;
  g->resultValues[0] = std::bit_cast<std::uint32_t>(0.5f);
  for (int c = 0; c < 4; ++c) SetCell(g->atoms[0].cells[c], 4 + c, 7, 1.0f, 0.1f, 4);
  ASSERT_EQ(chip.AddUnit(g, 30), 0);
  chip.numberOfUnits = 3;

  ASSERT_EQ(chip.composite.SetSequence("ac"), 0);
  chip.composite.calls.data[1] = 'g';
  chip.composite.positionUnits.data[0] = 20;
  chip.composite.positionUnits.data[1] = 20;
  chip.composite.SetPercentComposition(1, 0, 25);
  chip.composite.extraText1 = "ref";

  auto* q = new QCUnitClass(1, 7);
  q->qcCells[0].x = 3;
  q->qcCells[0].y = 4;
  q->qcCells[0].intensity = 55.5f;
  q->qcCells[0].stdev = 2.5f;
  q->qcCells[0].pixels = 9;
  q->qcCells[0].qcValue = 0x11223344;
  ASSERT_EQ(chip.AddQCUnit(q), 0);
  chip.numberOfQCUnits = 1;
}

// The header as both writers put it (always the version >= 10 form).
Bytes Header(int version) {
  Bytes b;
  b.Magic().I32(version).Text("ExprAlg").Text("5.0").Text("Alpha=0.05").Text("Background=41.2");
  b.I32(8).I32(9).I32(3).I32(40).I32(1);
  b.I32(10).I32(20).I32(30);
  b.I32(1).I32(2).I32(1);
  for (int i = 3; i < 40; ++i) b.I32(0);
  b.I32(3).I32(1).I32(2);
  for (int i = 3; i < 40; ++i) b.I32(0);
  b.I32(2).I32(4).I32(4);
  b.FixedText("Demo8x9", 256).FixedText("s1.CEL", 256).Text("id-7");
  return b;
}

void Tail(Bytes& b) {
  b.I32(2).Raw("ac").Raw(" g").Raw(std::string(2, '\0')).I16(20).I16(20).Text("ref").I32(0);
  b.I32(0).I32(25);
  b.I32(1).I32(7).I32(3).I32(4);
  b.F32(55.5f).F32(2.5f).I32(9).I32(0x11223344);
}

std::string Write(ChipClass& chip, bool v13, int* rc = nullptr) {
  Scratch scratch;
  const std::string path = scratch.File("out.CHP");
  int code;
  {
    std::ofstream out(path, std::ios::binary);
    code = v13 ? chip.WriteChip(out) : chip.WriteChip60(out);
  }
  if (rc != nullptr) *rc = code;
  return ReadFile(path);
}

TEST(WriteChip, Version13Bytes) {
  ChipClass chip;
  BuildChip(chip);
  Bytes b = Header(13);
  // Expression unit: no pairsInAverage, stat2-4 or value2; cells carry positions only.
  b.I32(1).I32(1).I32(3).F32(1.5f).F32(-0.5f).I32(2);
  b.F32(10.25f).I32(1).U16(1).U16(2).U16(2).U16(2);
  b.I32(1).I32(11).I32(19).Byte(3).Fixed(6500).Fixed(0).Fixed(0).Fixed(0).F32(13.5f);
  // Resequencing unit.
  b.Text("ag").Text("ac").I32(2);
  for (int k = 0; k < 2; ++k) {
    b.Fixed(1250 + 1000 * k);
    for (int c = 0; c < 4; ++c) b.U16(static_cast<std::uint16_t>(c)).U16(static_cast<std::uint16_t>(3 + k));
  }
  // Genotyping unit.
  b.I32(1).I32(7).Text("blk").Byte(6).Fixed(750).Fixed(0).Fixed(0);
  b.Byte(1).I32(0).Text("A").Text("G").Text("AG").I32(2).I32(1).Byte(8).I32(3);
  b.F32(0.5f).I32(0).I32(0).I32(0).I32(0);
  b.Text("t").Text("t").I32(1).Fixed(0);
  for (int c = 0; c < 4; ++c) b.U16(static_cast<std::uint16_t>(4 + c)).U16(7);
  Tail(b);
  int rc = -1;
  EXPECT_EQ(Write(chip, true, &rc), b.str());
  EXPECT_EQ(rc, 0);
}

TEST(WriteChip, Version12Bytes) {
  ChipClass chip;
  BuildChip(chip);
  Bytes b = Header(12);
  b.I32(1).I32(1).I32(1).I32(3).I32(4).I32(5).I32(6).F32(1.5f).F32(2.25f).F32(-0.5f).I32(2);
  b.F32(10.25f).I32(1);
  b.I32(1).I32(2).F32(100.125f).F32(7.5f).I32(16).Byte(1).Byte(0);
  b.I32(2).I32(2).F32(50.0625f).F32(3.25f).I32(15).Byte(0).Byte(0);
  b.I32(1).I32(11).I32(0).I32(0).I32(0).I32(19).Byte(3).Byte(0);
  for (int v : {0, 0, 6500, 0, 0, 0, 0, 0}) b.Fixed(v);
  b.F32(13.5f);
  b.Text("ag").Text("ac").I32(2);
  for (int k = 0; k < 2; ++k) {
    b.Fixed(1250 + 1000 * k);
    for (int c = 0; c < 4; ++c) b.I32(c).I32(3 + k).Fixed(200000 + 1000 * c).Fixed(500).I32(9).Byte(0).Byte(0);
  }
  b.I32(1).I32(7).Text("blk").Byte(6).Fixed(750).Fixed(0).Fixed(0);
  b.Byte(1).I32(0).Text("A").Text("G").Text("AG").I32(2).I32(1).Byte(8);  // no call method
  b.F32(0.5f).I32(0).I32(0).I32(0).I32(0);
  b.Text("t").Text("t").I32(1).Fixed(0);
  for (int c = 0; c < 4; ++c) b.I32(4 + c).I32(7).Fixed(1000).Fixed(100).I32(4).Byte(0).Byte(0);
  Tail(b);
  EXPECT_EQ(Write(chip, false), b.str());
}

TEST(WriteChip, Version13RoundTripKeepsPositionsAndDropsIntensities) {
  ChipClass chip;
  BuildChip(chip);
  Scratch scratch;
  const std::string path = scratch.File("rt.CHP");
  ASSERT_EQ(chip.WriteChip(path.c_str()), 0);
  ChipClass back;
  ASSERT_EQ(back.ReadChip(path.c_str()), 0);
  EXPECT_EQ(back.resultVersion, 13);
  const GeneExpressionUnitClass* e = results_test::Expression(back, 0);
  EXPECT_FLOAT_EQ(e->atoms[0].pairValue, 10.25f);
  EXPECT_EQ(e->atoms[0].cells[1].x, 2);
  EXPECT_EQ(e->atoms[0].cells[0].intensity, 0.0f);
  EXPECT_EQ(e->atoms[0].cells[0].pixels, 0);
  EXPECT_FLOAT_EQ(e->comparison.c6, 6.5f);
  UnitClass* r = results_test::Tiling(back, 1);
  EXPECT_NEAR(r->atoms[1].background, 2.25f, 1e-6);
  EXPECT_EQ(r->atoms[1].cells[3].y, 4);
  EXPECT_EQ(r->atoms[1].cells[3].intensity, 0.0f);
  BlockUnitClass* g = back.GetUnit(2)->block;
  EXPECT_EQ(g->callMethod, 3);
  EXPECT_STREQ(g->genotypeName.c_str(), "AG");
  EXPECT_EQ(back.composite.GetPercentComposition(1, 0), 25);
  EXPECT_EQ(back.GetQCUnit(0)->qcCells[0].qcValue, 0x11223344);
  // Written again, the file is the same.
  const std::string again = scratch.File("rt2.CHP");
  ASSERT_EQ(back.WriteChip(again.c_str()), 0);
  EXPECT_EQ(ReadFile(again), ReadFile(path));
}

TEST(WriteChip, Version12KeepsPairIntensitiesAsFloatsAndAtomsAsFixed) {
  ChipClass chip;
  BuildChip(chip);
  chip.GetUnit(1)->standard->atoms[0].cells[0].intensity = 200.0004f;
  Scratch scratch;
  const std::string path = scratch.File("v12.CHP");
  ASSERT_EQ(chip.WriteChip60(path.c_str()), 0);
  ChipClass back;
  ASSERT_EQ(back.ReadChip(path.c_str()), 0);
  EXPECT_EQ(back.resultVersion, 12);
  const GeneExpressionUnitClass* e = results_test::Expression(back, 0);
  EXPECT_EQ(e->atoms[0].cells[0].intensity, 100.125f);
  EXPECT_EQ(e->atoms[0].cells[1].stdev, 3.25f);
  EXPECT_EQ(e->atoms[0].cells[0].masked, 1);
  EXPECT_EQ(e->pairsInAverage, 1);
  EXPECT_EQ(e->stat4, 6);
  EXPECT_FLOAT_EQ(e->value2, 2.25f);
  UnitClass* r = results_test::Tiling(back, 1);
  const AtomClass* a0 = (*r)[0];
  ASSERT_NE(a0, nullptr);
  EXPECT_FLOAT_EQ(a0->cells[0].intensity, 200.0f);  // three decimals only
  EXPECT_EQ(a0->cells[0].pixels, 9);
  EXPECT_EQ(back.GetUnit(2)->block->callMethod, 0);  // not in version 12
  EXPECT_EQ(back.GetUnit(2)->block->blocksUsed, 2);
}

TEST(WriteChip, EmptyCompositeIsOneZero) {
  ChipClass chip;
  chip.chipType = "X";
  Bytes b;
  b.Magic().I32(13).Text("").Text("").Text("").Text("").I32(0).I32(0).I32(0).I32(0).I32(0);
  b.FixedText("X", 256).FixedText("", 256).Text("").I32(0);
  EXPECT_EQ(Write(chip, true), b.str());
}

TEST(WriteChip, NoUnitsMeansNoUnitTables) {
  ChipClass chip;
  chip.maxUnit = 5;
  Bytes b;
  b.Magic().I32(13).Text("").Text("").Text("").Text("").I32(0).I32(0).I32(0).I32(5).I32(0);
  b.FixedText("", 256).FixedText("", 256).Text("").I32(0);
  const std::string bytes = Write(chip, true);
  EXPECT_EQ(bytes, b.str());
  ChipClass back;
  ASSERT_EQ(results_test::ReadBytes(back, bytes), 0);
  EXPECT_EQ(back.maxUnit, 5);
}

TEST(WriteChip, UnitTablesAlwaysHoldEveryUnit) {
  // maxUnit left below the number of units: the tables are written long enough.
  ChipClass chip;
  BuildChip(chip);
  chip.maxUnit = 1;
  Scratch scratch;
  const std::string path = scratch.File("m.CHP");
  ASSERT_EQ(chip.WriteChip(path.c_str()), 0);
  ChipClass back;
  ASSERT_EQ(back.ReadChip(path.c_str()), 0);
  EXPECT_EQ(back.maxUnit, 3);
  EXPECT_EQ(back.unitTypes.data[2], 2);
}

TEST(WriteChip, FixedValuesTruncateTowardZeroAndSaturate) {
  EXPECT_EQ(ChpOutput::FixedValue(1.2345f), 1234);
  EXPECT_EQ(ChpOutput::FixedValue(-1.2345f), -1234);
  EXPECT_EQ(ChpOutput::FixedValue(3e9f), 2147483647);
  EXPECT_EQ(ChpOutput::FixedValue(-3e9f), -2147483647 - 1);
  EXPECT_EQ(ChpOutput::FixedValue(std::numeric_limits<float>::quiet_NaN()), 0);
  ChpOutput out;
  out.FixedText("abcdef", 4);
  EXPECT_EQ(out.bytes, std::string("abc\0", 4));
}

TEST(WriteChip, FailuresNeverReplaceAGoodFile) {
  Scratch scratch;
  const std::string path = scratch.File("keep.CHP");
  results_test::WriteFile(path, "good");
  ChipClass chip;
  BuildChip(chip);
  chip.numberOfUnits = 4;  // more units than the chip holds
  EXPECT_EQ(chip.WriteChip(path.c_str()), CHIP_NO_VALID_TILES);
  EXPECT_EQ(chip.WriteChip60(path.c_str()), CHIP_NO_VALID_TILES);
  EXPECT_EQ(ReadFile(path), "good");
  chip.numberOfUnits = 3;
  // An empty QC unit would give a record the reader refuses.
  ASSERT_EQ(chip.AddQCUnit(new QCUnitClass(0, 3)), 0);
  chip.numberOfQCUnits = 2;
  EXPECT_EQ(chip.WriteChip(path.c_str()), CHIP_NO_VALID_TILES);
  chip.numberOfQCUnits = 1;
  EXPECT_EQ(ReadFile(path), "good");
  EXPECT_EQ(chip.WriteChip(scratch.File("no/such/dir.CHP").c_str()), CHIP_INCOMPLETE_FILE);
  std::ofstream closed;
  EXPECT_EQ(chip.WriteChip(closed), CHIP_INCOMPLETE_FILE);
  // A good write replaces the file and leaves nothing else behind.
  ASSERT_EQ(chip.WriteChip(path.c_str()), 0);
  EXPECT_NE(ReadFile(path), "good");
  EXPECT_EQ(scratch.List().size(), 1u);
}

TEST(WriteChip, ReplacesThroughLinksAndKeepsTheOldFileOnAFullDisk) {
  Scratch scratch;
  const std::string real = scratch.File("real.CHP"), link = scratch.File("link.CHP");
  results_test::WriteFile(real, "good");
  std::filesystem::create_symlink(real, link);
  ChipClass chip;
  BuildChip(chip);
  {
    tesk::testing::FaultEnv env;
    tesk::testing::ScopedEnv scoped(env);
    env.FillDiskAfter(100);
    EXPECT_EQ(chip.WriteChip(link.c_str()), CHIP_INCOMPLETE_FILE);
    EXPECT_EQ(chip.WriteChip60(link.c_str()), CHIP_INCOMPLETE_FILE);
  }
  EXPECT_EQ(ReadFile(real), "good");
  EXPECT_EQ(scratch.List().size(), 2u) << "no temporary file left";
  ASSERT_EQ(chip.WriteChip(link.c_str()), CHIP_SUCCESS);
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link stays a link";
  EXPECT_EQ(ReadFile(real).substr(0, kChipFileMagicLength), kChipFileMagic);
}

TEST(WriteChip, WriteErrorsAreReported) {
  ChipClass chip;
  BuildChip(chip);
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::ofstream full("/dev/full", std::ios::binary);
  EXPECT_EQ(chip.WriteChip(full), CHIP_INCOMPLETE_FILE);
}

TEST(ChipComposite, SequenceAndPercentComposition) {
  ChipComposite c;
  EXPECT_EQ(c.GetPercentComposition(0, 0), 0);
  ASSERT_EQ(c.SetSequence("acgt"), 0);
  EXPECT_EQ(std::string(c.calls.data, 4), "    ");
  EXPECT_EQ(std::string(c.secondCalls.data, 4), std::string(4, '\0'));
  EXPECT_EQ(c.positionUnits.count, 4);
  ASSERT_EQ(c.percentComposition.count, 4);
  c.percentComposition.Clear();
  // An empty table is sized to the sequence first.
  ASSERT_EQ(c.SetPercentComposition(2, 0, 10), 0);
  ASSERT_EQ(c.percentComposition.count, 4);
  EXPECT_EQ(c.percentComposition.data[0], 0);
  c.SetPercentComposition(2, 1, 20);
  c.SetPercentComposition(2, 2, -30);
  EXPECT_EQ(c.GetPercentComposition(2, 0), 10);
  EXPECT_EQ(c.GetPercentComposition(2, 1), 20);
  EXPECT_EQ(c.GetPercentComposition(2, 2), -30);
  EXPECT_EQ(c.GetPercentComposition(2, 3), -1);  // sign fill above a negative byte
  c.SetPercentComposition(2, 3, 40);
  EXPECT_EQ(c.percentComposition.data[2], (40 << 24) | (0xe2 << 16) | (20 << 8) | 10);
  // Setting a low byte clears the bytes above it.
  c.SetPercentComposition(2, 1, 5);
  EXPECT_EQ(c.percentComposition.data[2], (5 << 8) | 10);
  EXPECT_EQ(c.GetPercentComposition(4, 0), 0);
  EXPECT_EQ(c.GetPercentComposition(-1, 0), 0);
  EXPECT_EQ(c.SetPercentComposition(9, 0, 1), 0);  // beyond the table: nothing changes
}

}  // namespace
