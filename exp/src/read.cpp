// CTestInfo::Read: the experiment file reader. The file is hostile input: lines may be of
// any length or hold any bytes; nothing is allocated beyond the file itself.
#include <fcntl.h>

#include <algorithm>
#include <cstdint>
#include <span>

#include <tesk/internal/file.h>
#include <tesk/internal/guard.h>
#include <tesk/internal/lines.h>
#include <tesk/internal/scan.h>

#include "date_text.h"
#include "format.h"

inline namespace TESK_OSTREL_NS {
namespace {

using namespace detail;

// The next line without its LF or CR LF; false at the end of the file.
bool ReadLine(tesk::internal::LineSplitter& lines, std::string& line) {
  tesk::internal::Line l;
  if (!lines.Next(l)) return false;
  line.assign(l.View());
  return true;
}

// Leading decimal number of text, as the version line holds it; -1 when there is none or it
// is far beyond any version.
long LeadingNumber(std::string_view text) {
  const char* p = text.data();
  int v = 0;
  if (!tesk::internal::ScanInt(p, text.data() + text.size(), v) || v > 10000000) return -1;
  return v;
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
  // -1: an exception (std::bad_alloc on an absurd file); nothing may escape the library.
  const int rc = tesk::internal::Guard([&] { return ReadFile(); }, -1);
  if (rc != -1) return rc;
  DeleteContents();
  return Fail(tesk::ostrel::IDS_CANNOT_READ);
}

int CTestInfo::ReadFile() {
  {
    tesk::internal::File file = tesk::internal::File::Open(FullPath, O_RDONLY);
    if (!file) return Fail(tesk::ostrel::IDS_CANNOT_FIND);

    DeleteContents();
    tesk::internal::ByteBuffer bytes;
    if (!file.ReadRest(bytes, static_cast<std::uint64_t>(std::max<std::int64_t>(file.Size(), 0)))) {
      return Fail(tesk::ostrel::IDS_CANNOT_READ);
    }
    tesk::internal::LineSplitter lines(reinterpret_cast<const char*>(bytes.data()),
                                       reinterpret_cast<const char*>(bytes.data()) + bytes.size());

    std::string line;
    if (!ReadLine(lines, line) || line != kFileHeader)
      return Fail(tesk::ostrel::IDS_CANNOT_READ);
    if (!ReadLine(lines, line) || line.compare(0, kVersionKey.size(), kVersionKey) != 0)
      return Fail(tesk::ostrel::IDS_CANNOT_READ);
    size_t tab = line.find('\t');
    long version = tab == std::string::npos ? -1 : LeadingNumber(line.substr(tab + 1));
    if (version < 1 || version > Version) return Fail(tesk::ostrel::IDS_CANNOT_READ);

    auto sample = SampleFields(*this);
    auto fluidics = FluidicsFields(*this);
    auto scanner = ScannerFields(*this);

    Section section = Section::kNone;
    bool collectingSteps = false;
    while (ReadLine(lines, line)) {
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
    m_LastMessage = 0;
    return 1;
  }
}

}  // namespace TESK_OSTREL_NS
