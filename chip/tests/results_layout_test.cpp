// A result file and its layout together: a chip built from a layout is written, read back,
// and completed from the same layout in fill mode.
#include <gtest/gtest.h>

#include <string>

#include "model_test_util.h"
#include "results_bytes.h"
#include "tesk/pendrix71.h"

namespace {

TEST(ResultWithLayout, WrittenChipIsCompletedByItsLayout) {
  model_test::ScratchDir dir;
  const std::string layout = dir.File("TestChip.CDF");
  model_test::WriteText(layout, model_test::SmallLayout());
  ChipClass chip;
  chip.layoutFile = layout.c_str();
  ASSERT_EQ(chip.ReadCDF(), 0);
  ASSERT_EQ(chip.numberOfUnits, 3);
  chip.chipType = "TestChip";
  // An analysis ranks the atoms and pads the sequences to one base per atom number, so the
  // result file keeps the atoms' numbers.
  UnitClass* reseq = results_test::Tiling(chip, 1);
  reseq->ProcessUnitData();
  ASSERT_EQ(reseq->PadUnit(), 0);
  EXPECT_STREQ(reseq->wildTypeSequence.c_str(), "g      a");
  reseq->calledSequence = "g      c";
  BlockUnitClass* snp = chip.GetUnit(2)->block;
  snp->ProcessUnitData();
  static_cast<BlockUnitBlockInfoClass*>(snp->blocks.data[1])->SetConfidence(BLOCK_CONFIDENCE_1, 0.5f);
  snp->resultPresent = 1;
  snp->genotypeCall = 7;
  chip.numberOfQCUnits = chip.qcUnits.count;

  const std::string result = dir.File("r.CHP");
  ASSERT_EQ(chip.WriteChip(result.c_str()), 0);
  ChipClass back;
  back.libraryPath = dir.File("").c_str();
  ASSERT_EQ(back.ReadChip(result.c_str()), 0);
  UnitClass* r = results_test::Tiling(back, 1);
  EXPECT_EQ(r->atoms[0].atomNumber, 0);
  EXPECT_EQ(r->atoms[1].atomNumber, 7);
  EXPECT_EQ(r->atoms[1].cells[0].probeBase, ' ');  // bases live in the layout only

  // Fill mode: the layout completes the units the result file made.
  back.layoutFile = layout.c_str();
  ASSERT_EQ(back.ReadCDF(), 0);
  EXPECT_EQ(back.numberOfUnits, 3);
  EXPECT_STREQ(r->name.c_str(), "reseq_one");
  EXPECT_STREQ(r->calledSequence.c_str(), "g      c");
  int probeBases = 0;
  for (int c = 0; c < 4; ++c) probeBases += r->atoms[1].cells[c].probeBase != ' ';
  EXPECT_EQ(probeBases, 4);
  BlockUnitClass* g = back.GetUnit(2)->block;
  EXPECT_STREQ(g->name.c_str(), "snp_one");
  ASSERT_EQ(g->blocks.count, 2);
  auto* block = static_cast<BlockUnitBlockInfoClass*>(g->blocks.data[1]);
  EXPECT_STREQ(block->name.c_str(), "allele_B");
  EXPECT_FLOAT_EQ(block->GetConfidence(BLOCK_CONFIDENCE_1), 0.5f);  // the result's value stays
  EXPECT_EQ(g->genotypeCall, 7);
  EXPECT_STREQ(results_test::Expression(back, 0)->name.c_str(), "NONE");
}

}  // namespace
