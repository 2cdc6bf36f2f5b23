// CTestInfo::Write: the experiment file writer.
#include <new>

#include "format.h"
#include <tesk/internal/guard.h>

#include "replace_file.h"

inline namespace TESK_OSTREL_NS {
namespace {

using namespace detail;

// Appends one line ending in CR LF. Line breaks inside the text become blanks so a value
// cannot start a line of its own; the line is cut to the format's limit, never inside a
// UTF-8 character.
void AppendLine(std::string& out, std::string_view text) {
  size_t n = text.size();
  if (n > static_cast<size_t>(tesk::ostrel::kMaxLineLength)) {
    n = tesk::ostrel::kMaxLineLength;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  }
  size_t start = out.size();
  out.append(text.substr(0, n));
  for (size_t i = start; i < out.size(); ++i)
    if (out[i] == '\r' || out[i] == '\n') out[i] = ' ';
  out.append("\r\n");
}

void AppendLabel(std::string& out, std::string_view label, std::string_view value) {
  std::string line;
  line.reserve(label.size() + 1 + value.size());
  line.append(label).append(1, '\t').append(value);
  AppendLine(out, line);
}

}  // namespace

int CTestInfo::Write() {
  // -1: an exception (std::bad_alloc); nothing may escape the library.
  const int rc = tesk::internal::Guard([&] { return WriteFile(); }, -1);
  return rc != -1 ? rc : Fail(tesk::ostrel::IDS_CANNOT_WRITE);
}

int CTestInfo::WriteFile() {
  {
    if (FullPath.empty()) return Fail(tesk::ostrel::IDS_CANNOT_CREATE);
    std::string out;
    AppendLine(out, kFileHeader);
    AppendLabel(out, kVersionKey, std::to_string(Version));
    AppendLine(out, "");

    AppendLine(out, kSampleSection);
    AppendLabel(out, kSampleLabels[0], ChipType);
    for (size_t i = 1; i < kSampleLabels.size(); ++i)
      AppendLabel(out, kSampleLabels[i], i - 1 < SampleInfo.size() ? SampleInfo[i - 1] : "");
    AppendLine(out, "");

    AppendLine(out, kFluidicsSection);
    AppendLabel(out, "Protocol", Protocol);
    for (const std::string& step : ProtocolSteps) AppendLine(out, step);
    AppendLabel(out, "Station", Station);
    AppendLabel(out, "Module", Module);
    AppendLabel(out, "Hybridize Date", HybridizeDate);
    AppendLine(out, "");

    AppendLine(out, kScannerSection);
    const std::string* scanner[] = {&PixelSize, &Filter,        &ScanTemperature, &ScanDate,
                                    &ScannerID, &NumberOfScans, &ScannerType};
    for (size_t i = 0; i < kScannerLabels.size(); ++i)
      AppendLabel(out, kScannerLabels[i], *scanner[i]);

    switch (ReplaceFile(FullPath, out)) {
      case ReplaceResult::kOk:
        m_LastMessage = 0;
        return 1;
      case ReplaceResult::kAccessDenied:
        return Fail(tesk::ostrel::IDS_ACCESS_DENIED);
      case ReplaceResult::kCannotCreate:
        return Fail(tesk::ostrel::IDS_CANNOT_CREATE);
      case ReplaceResult::kDiskFull:
        return Fail(tesk::ostrel::IDS_DISK_FULL);
      case ReplaceResult::kCannotWrite:
        return Fail(tesk::ostrel::IDS_CANNOT_WRITE);
    }
    return Fail(tesk::ostrel::IDS_CANNOT_WRITE);
  }
}

}  // namespace TESK_OSTREL_NS
