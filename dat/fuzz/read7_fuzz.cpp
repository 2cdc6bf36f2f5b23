// Read and ReadHeader of Imbrel7 over arbitrary bytes; every mapped pixel is touched so that a
// mapping past the end of the file would crash here.
#include <tesk/imbrel7.h>

#include <cstddef>
#include <cstdint>

#include <tesk/testing/fuzz_input.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::testing::FuzzInputFile file(data, size);
  if (file.path().empty()) return 0;
  ImageData image;
  image.SetName(file.path().c_str());
  if (image.ReadHeader()) {
    SUBGRID s;
    for (int i = 0; i < image.NumSubGrids; ++i) image.GetSubGrid(i, &s);
    if (image.Open(IMAGE_READ, IMAGE_SHARE_READ)) {
      std::uint64_t sum = 0;
      for (int first = 0; first < image.Rows && image.MapData(first, 250); first += 250)
        for (std::int64_t i = 0; i < static_cast<std::int64_t>(image.Cols) * image.NumLines; ++i)
          sum += image.Pixels[i];
      tesk::testing::Consume(sum);
    }
  }
  if (image.Read()) {
    std::uint64_t sum = 0;
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(image.Cols) * image.Rows; ++i)
      sum += image.Pixels[i];
    tesk::testing::Consume(sum);
    image.GetScanInfo();
    image.GetChipInfo();
  }
  return 0;
}
