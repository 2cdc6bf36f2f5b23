// A program outside the kit: writes a 2 x 2 cell file and reads it back.
#include <tesk/parvel.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  ParvelClass out;
  out.SetName(argv[1]);
  out.SetHeader("Cols=2\nRows=2\n");
  for (int i = 0; i < 4; ++i) {
    CellEntryClass cell;
    cell.MEAN = 100.0f * static_cast<float>(i);
    cell.X = static_cast<unsigned short>(i % 2);
    cell.Y = static_cast<unsigned short>(i / 2);
    out.AddCellData(&cell);
  }
  if (!out.Write()) return 1;

  ParvelClass in;
  in.SetName(argv[1]);
  if (!in.Read()) return 1;
  CellEntryClass* cell = in.GetCellEntry(1, 1);
  if (cell == nullptr || cell->MEAN != 300.0f) return 1;
  std::puts("ok");
  return 0;
}
