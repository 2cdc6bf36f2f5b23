// CTestInfo: construction, path handling and file housekeeping.
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "build.h"

inline namespace TESK_OSTREL_NS {

CTestInfo::CTestInfo() : Version(1), SampleInfo(tesk::ostrel::kSampleInfoCount) {}

void CTestInfo::SetName(std::string_view path) {
  FullPath.assign(path);
  size_t slash = path.find_last_of("/\\");
  std::string_view file = path;
  if (slash == std::string_view::npos) {
    Directory.clear();
  } else {
    Directory.assign(path.substr(0, slash));
    file = path.substr(slash + 1);
  }
  static constexpr std::string_view kExt = ".EXP";
  if (file.size() >= kExt.size()) {
    std::string_view tail = file.substr(file.size() - kExt.size());
    bool match = true;
    for (size_t i = 0; i < kExt.size(); ++i) {
      char c = tail[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      match = match && c == kExt[i];
    }
    if (match) file.remove_suffix(kExt.size());
  }
  Name.assign(file);
}

int CTestInfo::Exists() {
  if (FullPath.empty()) return 0;
  struct stat st;
  return ::stat(FullPath.c_str(), &st) == 0 ? 1 : 0;
}

int CTestInfo::Delete() {
  if (FullPath.empty() || ::unlink(FullPath.c_str()) != 0)
    return Fail(errno == ENOENT || FullPath.empty() ? tesk::ostrel::IDS_CANNOT_FIND
                                                    : tesk::ostrel::IDS_CANNOT_WRITE);
  m_LastMessage = 0;
  return 1;
}

void CTestInfo::DeleteContents() {
  ChipType.clear();
  SampleInfo.assign(tesk::ostrel::kSampleInfoCount, std::string());
  ProtocolSteps.clear();
  for (std::string* s : {&Protocol, &Station, &Module, &HybridizeDate, &PixelSize, &Filter,
                         &ScanTemperature, &ScanDate, &ScannerID, &NumberOfScans, &ScannerType})
    s->clear();
#if TESK_OSTREL_BUILD == 7
  Records = {};
#endif
}

int CTestInfo::Fail(int message) {
  m_LastMessage = message;
  return 0;
}

std::string CTestInfo::LastMessage() const {
  if (m_LastMessage == 0) return {};
  std::string pattern = OstrelLoadString(m_LastMessage);
  size_t at = pattern.find("%s");
  if (at != std::string::npos) pattern.replace(at, 2, FullPath);
  return pattern;
}

}  // namespace TESK_OSTREL_NS
