// Reading a layout together with a cell intensity file: intensities, flags, backgrounds and
// pair values come from the cell file entry named by each line's cell index.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <tesk/parvel.h>

#include "model_test_util.h"
#include "tesk/pendrix71.h"

namespace {

using model_test::ScratchDir;
using model_test::SmallLayout;
using model_test::WriteText;

// Cell i of the 8 x 8 test grid has mean 10 i + 1, deviation i, 9 pixels; cell 17 is masked
// and cell 18 an outlier.
bool WriteCellFile(const std::string& path) {
  ParvelClass cel(nullptr);
  cel.SetName(path.c_str());
  cel.SetHeader("Cols=8\nRows=8\n");
  for (int i = 0; i < 64; ++i) {
    CellEntryClass e;
    e.X = static_cast<std::uint16_t>(i % 8);
    e.Y = static_cast<std::uint16_t>(i / 8);
    e.MEAN = 10.0f * i + 1.0f;
    e.STDV = static_cast<float>(i);
    e.NPIXELS = 9;
    e.MASKED = i == 17 ? 1 : 0;
    e.OUTLIER = i == 18 ? 1 : 0;
    cel.AddCellData(&e);
  }
  return cel.Write() != 0;
}

class ReadCellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir_.File("small.CDF"), SmallLayout());
    ASSERT_TRUE(WriteCellFile(dir_.File("small.CEL")));
    chip_.layoutFile = dir_.File("small.CDF").c_str();
    chip_.cellFile = dir_.File("small.CEL").c_str();
  }

  ScratchDir dir_;
  ChipClass chip_;
};

TEST_F(ReadCellTest, ExpressionPairsTakeIntensitiesAndBackgroundAsPairValue) {
  ASSERT_EQ(chip_.ReadCell(), 0);
  GeneExpressionUnitClass* unit = chip_.GetUnit(0)->geneExpression;
  const GeneExpressionAtomClass& p0 = unit->atoms[0];
  EXPECT_FLOAT_EQ(p0.cells[0].intensity, 91.0f);  // perfect match, index 9
  EXPECT_FLOAT_EQ(p0.cells[0].stdev, 9.0f);
  EXPECT_EQ(p0.cells[0].pixels, 9);
  EXPECT_FLOAT_EQ(p0.cells[1].intensity, 81.0f);  // mismatch, index 8
  EXPECT_FLOAT_EQ(p0.pairValue, 101.0f);          // the background cell, index 10
  EXPECT_FLOAT_EQ(unit->atoms[1].cells[0].intensity, 111.0f);
  // The layout's coordinates are kept.
  EXPECT_EQ(p0.cells[0].x, 1);
  EXPECT_EQ(p0.cells[0].y, 1);
}

TEST_F(ReadCellTest, AtomsTakeIntensitiesFlagsAndBackground) {
  ASSERT_EQ(chip_.ReadCell(), 0);
  UnitClass* unit = chip_.GetUnit(1)->standard;
  // ProcessUnitData has sorted the atoms by number: 0 then 7.
  const AtomClass& a0 = unit->atoms[0];
  ASSERT_EQ(a0.atomNumber, 0);
  EXPECT_FLOAT_EQ(a0.background, 201.0f);  // the "!" cell, index 20
  // Slot 3 holds the first listed cell (index 16), slot 0 the fourth (index 19).
  EXPECT_FLOAT_EQ(a0.cells[3].intensity, 161.0f);
  EXPECT_FLOAT_EQ(a0.cells[0].intensity, 191.0f);
  EXPECT_EQ(a0.cells[2].masked, 1);   // index 17
  EXPECT_EQ(a0.cells[1].outlier, 1);  // index 18
  EXPECT_EQ(a0.cells[0].masked, 0);
  // Brightest first.
  EXPECT_EQ(a0.cellOrder[0], 0);
  EXPECT_EQ(a0.cellOrder[3], 3);
  EXPECT_EQ(unit->atoms[1].atomNumber, 7);
  EXPECT_FLOAT_EQ(unit->atoms[1].cells[3].intensity, 241.0f);
}

TEST_F(ReadCellTest, QCCellsTakeIntensitiesByCellIndex) {
  ASSERT_EQ(chip_.ReadCell(), 0);
  QCUnitClass* q = chip_.GetQCUnit(QC_TYPE_7);
  ASSERT_NE(q, nullptr);
  ASSERT_EQ(q->numberOfCells, 2);
  EXPECT_FLOAT_EQ(q->qcCells[0].intensity, 11.0f);
  EXPECT_FLOAT_EQ(q->qcCells[1].intensity, 21.0f);
  EXPECT_FLOAT_EQ(q->qcCells[1].stdev, 2.0f);
  EXPECT_EQ(q->qcCells[1].pixels, 9);
  QCUnitClass* letters = chip_.GetQCUnit(QC_TYPE_11);
  ASSERT_NE(letters, nullptr);
  EXPECT_EQ(letters, chip_.GetQCUnit(1));
  EXPECT_EQ(letters->qcCells[0].probe, 'g');
  EXPECT_EQ(letters->qcCells[0].probeLength, 7);
  EXPECT_EQ(letters->qcCells[0].atom, 5);
  EXPECT_FLOAT_EQ(letters->qcCells[0].intensity, 31.0f);
  EXPECT_EQ(chip_.GetQCUnit(QC_TYPE_9), nullptr);
}

TEST_F(ReadCellTest, WithoutIntensitiesEverythingIsZero) {
  ASSERT_EQ(chip_.ReadCDF(), 0);
  EXPECT_FLOAT_EQ(chip_.GetUnit(0)->geneExpression->atoms[0].cells[0].intensity, 0.0f);
  EXPECT_FLOAT_EQ(chip_.GetUnit(0)->geneExpression->atoms[0].pairValue, 0.0f);
  EXPECT_FLOAT_EQ(chip_.GetUnit(1)->standard->atoms[0].background, 0.0f);
}

TEST_F(ReadCellTest, MissingCellFileFailsWithSix) {
  chip_.cellFile = dir_.File("absent.CEL").c_str();
  EXPECT_EQ(chip_.ReadCell(), CHIP_CANT_OPEN_CELL);
  ChipClass other;
  other.layoutFile = dir_.File("small.CDF").c_str();
  EXPECT_EQ(other.ReadCell(), CHIP_CANT_OPEN_CELL);  // no cell file named at all
}

TEST(CheckErrorTest, TextsAndThreadOwnBuffers) {
  EXPECT_STREQ(CheckError(13), "Invalid library file format ");
  EXPECT_STREQ(CheckError(17), "Failed to read library file ");
  EXPECT_STREQ(CheckError(0), "Unknown error ");
  EXPECT_STREQ(CheckError(15), "Unknown error ");
  const char* mine = CheckError(8);
  std::string other;
  std::thread t([&other] {
    const char* text = CheckError(14);
    other = text;
  });
  t.join();
  EXPECT_STREQ(mine, "Incomplete file ");
  EXPECT_EQ(other, "Insufficient memory ");
}

}  // namespace
