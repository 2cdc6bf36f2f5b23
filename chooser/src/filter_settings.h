// The database dialog's filter settings, kept per user under
// HKEY_CURRENT_USER\SOFTWARE\Quillomere\TESK_SDK\Filter.
#ifndef TESK_CHOOSER_SRC_FILTER_SETTINGS_H_
#define TESK_CHOOSER_SRC_FILTER_SETTINGS_H_

#include <string>

#include <tesk/platform/types.h>

namespace selvane {

inline constexpr const char* kFilterKey = "SOFTWARE\\Quillomere\\TESK_SDK\\Filter";
inline constexpr DWORD kAllAssays = 99;

struct FilterSettings {
  std::string experimentName;  // "Experiment Name"
  DWORD assay = kAllAssays;    // "Assay"
  std::string assayName;       // "Assay Name"
  std::string arrayType;       // "Array Type"
  std::string project;         // "Project"
  std::string sampleName;      // "Sample Name"
  std::string sampleType;      // "Sample Type"
  std::string user;            // "User"
  std::string lowerDate;       // "Lower Date", "%m %d %Y" or empty
  std::string upperDate;       // "Upper Date"
};

// Missing values keep their defaults; each string is read into at most 260 bytes (so at most
// 259 characters survive).
FilterSettings ReadFilterSettings();
// False when the key cannot be written.
bool WriteFilterSettings(const FilterSettings& s);

}  // namespace selvane

#endif  // TESK_CHOOSER_SRC_FILTER_SETTINGS_H_
