// CTestInfo::Read: the experiment file reader. The file is hostile input: lines may be of
// any length or hold any bytes; nothing is allocated beyond the line being read.
#include <cstdio>
#include <memory>
#include <span>

#include "date_text.h"
#include "format.h"

inline namespace TESK_OSTREL_NS {
namespace {

using namespace detail;

// Reads one line without its LF or CR LF; false at the end of the file or on a read error.
bool ReadLine(std::FILE* f, std::string& line) {
  line.clear();
  int c;
  bool any = false;
  while ((c = std::getc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Leading decimal number of text, as the version line holds it; -1 when there is none.
long LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  size_t start = i;
  long v = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (v > 1000000) return -1;  // far beyond any version
    v = v * 10 + (text[i++] - '0');
  }
  if (i == start) return -1;
  return negative ? -v : v;
}

// Index of the first label that begins with the whole key, or -1. An empty key selects
// nothing: a line beginning with a tab must not overwrite the section's first field.
int SelectLabel(std::span<const std::string_view> labels, std::string_view key) {
  if (key.empty()) return -1;
  for (size_t i = 0; i < labels.size(); ++i)
    if (labels[i].substr(0, key.size()) == key && key.size() <= labels[i].size())
      return static_cast<int>(i);
  return -1;
}

enum class Section { kNone, kSample, kFluidics, kScanner };

}  // namespace

int CTestInfo::Read() {
  try {
    std::unique_ptr<std::FILE, FileCloser> file(
        FullPath.empty() ? nullptr : std::fopen(FullPath.c_str(), "rb"));
    if (!file) return Fail(tesk::ostrel::IDS_CANNOT_FIND);

    DeleteContents();

    std::string line;
    if (!ReadLine(file.get(), line) || line != kFileHeader)
      return Fail(tesk::ostrel::IDS_CANNOT_READ);
    if (!ReadLine(file.get(), line) || line.compare(0, kVersionKey.size(), kVersionKey) != 0)
      return Fail(tesk::ostrel::IDS_CANNOT_READ);
    size_t tab = line.find('\t');
    long version = tab == std::string::npos ? -1 : LeadingNumber(line.substr(tab + 1));
    if (version < 1 || version > Version) return Fail(tesk::ostrel::IDS_CANNOT_READ);

    auto sample = SampleFields(*this);
    auto fluidics = FluidicsFields(*this);
    auto scanner = ScannerFields(*this);

    Section section = Section::kNone;
    bool collectingSteps = false;
    while (ReadLine(file.get(), line)) {
      if (!line.empty() && line[0] == '[') {
        collectingSteps = false;
        if (line == kSampleSection) section = Section::kSample;
        else if (line == kFluidicsSection) section = Section::kFluidics;
        else if (line == kScannerSection) section = Section::kScanner;
        else section = Section::kNone;
        continue;
      }
      if (section == Section::kNone) continue;

      tab = line.find('\t');
      std::string_view key, value;
      if (tab != std::string::npos) {
        key = std::string_view(line).substr(0, tab);
        value = std::string_view(line).substr(tab + 1);
      }
      int label = -1;
      switch (section) {
        case Section::kSample:
          if ((label = SelectLabel(kSampleLabels, key)) >= 0) sample[label]->assign(value);
          break;
        case Section::kFluidics:
          label = SelectLabel(kFluidicsLabels, key);
          if (label < 0) {
            if (collectingSteps) ProtocolSteps.push_back(line);
          } else if (fluidics[label] == &HybridizeDate) {
            HybridizeDate = NormalizeDateText(value);
          } else {
            fluidics[label]->assign(value);
          }
          if (label >= 0) collectingSteps = fluidics[label] == &Protocol;
          break;
        case Section::kScanner:
          label = SelectLabel(kScannerLabels, key);
          if (label < 0) break;
          if (scanner[label] == &ScanDate) ScanDate = NormalizeDateText(value);
          else scanner[label]->assign(value);
          break;
        case Section::kNone:
          break;
      }
    }
    if (std::ferror(file.get())) {
      DeleteContents();
      return Fail(tesk::ostrel::IDS_CANNOT_READ);
    }
    m_LastMessage = 0;
    return 1;
  } catch (...) {  // std::bad_alloc on an absurd line; nothing may escape the library
    DeleteContents();
    return Fail(tesk::ostrel::IDS_CANNOT_READ);
  }
}

}  // namespace TESK_OSTREL_NS
