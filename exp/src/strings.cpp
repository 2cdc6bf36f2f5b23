// The library's string table and the sample-information display labels.
#include <array>
#include <string_view>

#include "build.h"

inline namespace TESK_OSTREL_NS {
namespace {

struct Entry {
  int id;
  std::string_view text;
};

constexpr std::array kStrings = {
    Entry{5001, "Cannot create %s"},
    Entry{5002, "Cannot find %s"},
    Entry{5003, "Cannot read %s"},
    Entry{5004, "Cannot write %s"},
    Entry{5005, "Cannot write %s; the disk is full"},
    Entry{5006, "Cannot create %s; access is denied"},
    Entry{5007, "experiment "},
    Entry{5008, "Probe Array Lot"},
    Entry{5009, "Operator Name"},
    Entry{5010, "Sample Type"},
    Entry{5011, "Sample Description"},
    Entry{5012, "Project"},
    Entry{5013, "Comments"},
    Entry{5014, "Reagents"},
    Entry{5015, "Reagent Lot"},
    Entry{5016, "Sample User"},
    Entry{5017, "Experiment User"},
    Entry{5018, "Description"},
#if TESK_OSTREL_BUILD == 7
    Entry{5019, "Probe Array Type"},
    Entry{5020, "Barcode"},
    Entry{5021, "Expiration Date"},
#endif
};

}  // namespace

std::string OstrelLoadString(int id) {
  try {
    for (const Entry& e : kStrings)
      if (e.id == id) return std::string(e.text);
  } catch (...) {
  }
  return {};
}

void GetSampleInfoLabels(std::vector<std::string>& labels, int withColon) {
  try {
    labels.clear();
    for (int id = tesk::ostrel::IDS_SAMPLE_INFO_FIRST; id <= tesk::ostrel::IDS_SAMPLE_INFO_LAST;
         ++id) {
      std::string label = OstrelLoadString(id);
      if (withColon) label += ':';
      labels.push_back(std::move(label));
    }
  } catch (...) {
    labels.clear();
  }
}

// The table is compiled into the library and needs no registration here; the entry point
// exists so that hosting programs can keep calling it.
void OstrelDLLInit() {}

}  // namespace TESK_OSTREL_NS
