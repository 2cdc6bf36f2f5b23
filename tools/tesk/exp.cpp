// `tesk sample` writes the sample array's experiment file; `tesk info` summarises one.
#include <iostream>
#include <string>
#include <utility>

#include <tesk/ostrel7.h>

#include "sample_names.h"
#include "tesk_tool.h"

namespace {

constexpr std::string_view kFirstLine = "Quillomere Varolith Experiment Information";

int Sample(const std::filesystem::path& dir) {
  const std::filesystem::path path = dir / tesk::sample::kExperiment;
  CTestInfo info;
  info.SetName(path.string());
  info.ChipType = std::string(tesk::sample::kChipType);
  info.SampleInfo = {"4028113",                       // chip lot
                     "lab-tech-02",                   // operator
                     "Total RNA",                     // sample type
                     "Mouse liver, 12 h fasting, replicate 1",
                     "Demo Hepatic Expression Study",
                     "Synthetic sample data written by tesk sample",
                     "Hybridization cocktail",        // solution type
                     "HC-2026-118"};                  // solution lot
  info.Protocol = std::string("TeskHyb-Wash2");
  info.ProtocolSteps = {
      "Post Hyb Wash #1: 10 cycles of 2 mixes/cycle with Wash Buffer A at 25 C",
      "Post Hyb Wash #2: 4 cycles of 15 mixes/cycle with Wash Buffer B at 50 C",
      "1st Stain: Stain the probe array for 10 minutes in Stain Solution 1 at 25 C",
      "Post Stain Wash: 10 cycles of 4 mixes/cycle with Wash Buffer A at 25 C",
      "2nd Stain: Stain the probe array for 10 minutes in Stain Solution 2 at 25 C",
      "3rd Stain: Stain the probe array for 10 minutes in Stain Solution 1 at 25 C",
      "Final Wash: 15 cycles of 4 mixes/cycle with Wash Buffer A at 30 C",
      "Holding temperature 25 C"};
  // Move-assigned temporaries: g++ 12 at -O3 misreports assignments from literals here.
  const std::pair<std::string*, const char*> values[] = {
      {&info.Station, "1"},
      {&info.Module, "2"},
      {&info.HybridizeDate, "Dec 07 2026 04:15PM"},
      {&info.PixelSize, "3"},
      {&info.Filter, "570"},
      {&info.ScanTemperature, "24"},
      {&info.ScanDate, "Dec 08 2026 09:30AM"},
      {&info.ScannerID, "TS-0042"},
      {&info.NumberOfScans, "1"},
      {&info.ScannerType, "TeskScan 3000"}};
  for (const auto& [field, value] : values) *field = std::string(value);
  if (!info.Write()) return tesk::tool::fail(path, info.LastMessage());
  std::cout << path.string() << "\n";
  return 0;
}

bool Recognises(const std::filesystem::path& f) {
  return tesk::tool::ReadHead(f, kFirstLine.size()) == kFirstLine;
}

void Field(std::string_view label, const std::string& value) {
  std::cout << "  " << label << ": " << value << "\n";
}

int Info(const std::filesystem::path& f) {
  CTestInfo info;
  info.SetName(f.string());
  if (!info.Read()) return tesk::tool::fail(f, info.LastMessage());
  std::vector<std::string> labels;
  GetSampleInfoLabels(labels, 0);

  std::cout << "experiment " << info.Name << " (version " << info.Version << ")\n";
  std::cout << "sample\n";
  Field("Chip Type", info.ChipType);
  for (size_t i = 0; i < labels.size() && i < info.SampleInfo.size(); ++i)
    Field(labels[i], info.SampleInfo[i]);
  std::cout << "fluidics\n";
  Field("Protocol", info.Protocol);
  std::cout << "  protocol steps: " << info.ProtocolSteps.size() << "\n";
  for (const std::string& step : info.ProtocolSteps) std::cout << "    " << step << "\n";
  Field("Station", info.Station);
  Field("Module", info.Module);
  Field("Hybridize Date", info.HybridizeDate);
  std::cout << "scanner\n";
  Field("Pixel Size", info.PixelSize);
  Field("Filter", info.Filter);
  Field("Scan Temperature", info.ScanTemperature);
  Field("Scan Date", info.ScanDate);
  Field("Scanner ID", info.ScannerID);
  Field("Number of Scans", info.NumberOfScans);
  Field("Scanner Type", info.ScannerType);
  return 0;
}

const tesk::tool::Registrar kReg{tesk::tool::Kind{"exp", 30, &Sample, &Recognises, &Info}};

}  // namespace
