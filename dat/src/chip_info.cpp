#include <string>

#include "codec.h"
#include "text_format.h"

inline namespace TESK_IMBREL_NS {
namespace imbrel_detail {

namespace {

constexpr char kMark = '\x14';
constexpr char kSeparator[] = " \x14 ";
constexpr char kChipTypeSuffix[] = ".1sq";

}  // namespace

std::string BuildChipInfo(ImageData& image) {
  // Imbrel6 keeps chip fields 6 to 9 as plain texts; Imbrel7 writes its chip count and numbers.
#if TESK_IMBREL_BUILD == 7
  {
    if (image.ChipCount > 0) image.ChipField[6] = std::to_string(image.ChipCount);
    image.ChipField[7] = Fixed(image.ChipNumber1, 6);
    image.ChipField[8] = Fixed(image.ChipNumber2, 6);
    image.ChipField[9] = Fixed(image.ChipNumber3, 4);
  }
#endif
  std::string text = image.ScannerID + "  " + image.ScannerType + "  ";
  for (int i = 0; i < 10; ++i) {
    text += kSeparator;
    text += image.ChipField[i];
    if (i == 1) text += kChipTypeSuffix;
  }
  text += kSeparator;
  // A single digit as one character; a larger value read from a damaged file is written out
  // in full rather than as an overflowed character.
  if (image.ChipDigit != 0) text += std::to_string(image.ChipDigit);
  if (text.size() > kChipInfoWidth) text.resize(kChipInfoWidth);
  return text;
}

void DecodeChipInfo(std::string_view text, ImageData& image) {
  image.ChipInfoText = std::string(text);

  // Scanner ID and type: "<id>  <type>  " before the first separator mark.
  image.ScannerID.clear();
  image.ScannerType.clear();
  std::string_view head = text.substr(0, text.find(kMark));
  std::size_t blanks = head.find("  ");
  if (blanks != std::string_view::npos && blanks > 0) image.ScannerID = head.substr(0, blanks);
  // Without two blanks the type starts at the second character, as it always has.
  std::size_t typeStart = blanks == std::string_view::npos ? 1 : blanks + 2;
  if (typeStart < head.size()) image.ScannerType = TrimRight(head.substr(typeStart));

  // Chip fields: each stands between " \x14 " and the blank before the next mark.
  for (auto& field : image.ChipField) field.clear();
  std::size_t mark = text.find(kMark);
  for (int i = 0; i < 10 && mark != std::string_view::npos; ++i) {
    std::size_t next = text.find(kMark, mark + 1);
    if (next == std::string_view::npos) break;
    std::size_t start = mark + 2;
    if (next >= 1 && next - 1 > start) image.ChipField[i] = text.substr(start, next - 1 - start);
    mark = next;
  }
  std::string& type = image.ChipField[1];
  std::size_t dot = type.rfind('.');
  if (dot != std::string::npos && dot > 0) type.erase(dot);

#if TESK_IMBREL_BUILD == 7
  {
    image.ChipCount = ParseInt(image.ChipField[6]);
    image.ChipNumber3 =
        image.ChipField[9].empty() ? image.PixelSize : ParseDouble(image.ChipField[9]);
    image.ChipNumber1 = ParseDouble(image.ChipField[7]);
    image.ChipNumber2 = ParseDouble(image.ChipField[8]);
  }
#endif

  std::size_t last = text.rfind(kMark);
  image.ChipDigit = last == std::string_view::npos ? 0 : ParseInt(text.substr(last + 1));
}

}  // namespace imbrel_detail
}  // inline namespace
