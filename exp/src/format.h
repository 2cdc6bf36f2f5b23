// The experiment file layout: header texts, sections and their labels.
#ifndef TESK_EXP_SRC_FORMAT_H_
#define TESK_EXP_SRC_FORMAT_H_

#include <array>
#include <string>
#include <string_view>

#include "build.h"

inline namespace TESK_OSTREL_NS {
namespace detail {

inline constexpr std::string_view kFileHeader = "Quillomere Varolith Experiment Information";
inline constexpr std::string_view kVersionKey = "Version";

inline constexpr std::string_view kSampleSection = "[Sample Info]";
inline constexpr std::string_view kFluidicsSection = "[Fluidics]";
inline constexpr std::string_view kScannerSection = "[Scanner]";

inline constexpr std::array<std::string_view, 9> kSampleLabels = {
    "Chip Type", "Chip Lot", "Operator",      "Sample Type",  "Description",
    "Project",   "Comments", "Solution Type", "Solution Lot"};
inline constexpr std::array<std::string_view, 4> kFluidicsLabels = {
    "Protocol", "Station", "Module", "Hybridize Date"};
inline constexpr std::array<std::string_view, 7> kScannerLabels = {
    "Pixel Size", "Filter",          "Scan Temperature", "Scan Date",
    "Scanner ID", "Number of Scans", "Scanner Type"};

// The field behind each label, in label order.
inline std::array<std::string*, 9> SampleFields(CTestInfo& t) {
  return {&t.ChipType,      &t.SampleInfo[0], &t.SampleInfo[1],
          &t.SampleInfo[2], &t.SampleInfo[3], &t.SampleInfo[4],
          &t.SampleInfo[5], &t.SampleInfo[6], &t.SampleInfo[7]};
}
inline std::array<std::string*, 4> FluidicsFields(CTestInfo& t) {
  return {&t.Protocol, &t.Station, &t.Module, &t.HybridizeDate};
}
inline std::array<std::string*, 7> ScannerFields(CTestInfo& t) {
  return {&t.PixelSize, &t.Filter,        &t.ScanTemperature, &t.ScanDate,
          &t.ScannerID, &t.NumberOfScans, &t.ScannerType};
}

}  // namespace detail
}  // namespace TESK_OSTREL_NS

#endif  // TESK_EXP_SRC_FORMAT_H_
