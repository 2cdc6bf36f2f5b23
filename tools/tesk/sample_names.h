// Names and geometry shared by the sample files of every kind, so that the sample set describes
// one array consistently.
#ifndef TESK_TOOLS_TESK_SAMPLE_NAMES_H_
#define TESK_TOOLS_TESK_SAMPLE_NAMES_H_

namespace tesk::sample {

inline constexpr char kChipType[] = "TeskDemo1164";
inline constexpr int kCols = 1164;
inline constexpr int kRows = 1164;
inline constexpr unsigned kSeed = 20261208;

inline constexpr char kCelBinary[] = "sample.CEL";
inline constexpr char kCelText3[] = "sample_v3.CEL";
inline constexpr char kCelText2[] = "sample_v2.CEL";
inline constexpr char kImage[] = "sample.DAT";
inline constexpr char kExperiment[] = "sample.EXP";
inline constexpr char kLayout[] = "sample.CDF";
inline constexpr char kResult[] = "sample.CHP";

}  // namespace tesk::sample

#endif  // TESK_TOOLS_TESK_SAMPLE_NAMES_H_
