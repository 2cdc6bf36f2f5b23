// The experiment information library reads and writes files: a text is read from an anonymous
// in-memory file, and written through a private scratch file (mode 0600, removed at once).
#include "exp_text.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <tesk/ostrel7.h>

#include "sql.h"

namespace tesk::zorum {
namespace {

// The sample-information entries that are sample attributes, by their index in SampleInfo.
constexpr std::pair<int, const char*> kAttributes[] = {{4, "Project"}, {5, "Comments"}, {6, "Solution Type"}, {7, "Solution Lot"}};

class ScratchFile {
 public:
  ScratchFile() {
    const char* dir = std::getenv("TMPDIR");
    path_ = std::string(dir && *dir ? dir : "/tmp") + "/zorum-exp-XXXXXX";
    const int fd = mkstemp(path_.data());
    if (fd < 0) Throw(E_FAIL, "cannot create a scratch file in " + path_.substr(0, path_.rfind('/')));
    close(fd);
  }
  ~ScratchFile() { unlink(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

std::string Field(const std::map<std::string, std::string>& fields, const char* label) {
  auto it = fields.find(label);
  return it == fields.end() ? std::string() : it->second;
}

}  // namespace

void ParseExperimentText(std::string_view text, ExperimentRecord& e, SampleRecord& s) {
  // Read from memory: an anonymous file that the library opens by its /proc path.
  const int fd = memfd_create("zorum-exp", MFD_CLOEXEC);
  if (fd < 0) Throw(E_FAIL, "cannot hold the experiment text in memory");
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) Throw(E_FAIL, "cannot hold the experiment text in memory");
    done += static_cast<size_t>(n);
  }
  CTestInfo t;
  t.SetName("/proc/self/fd/" + std::to_string(fd));
  if (!t.Read()) Throw(E_INVALIDARG, "not an experiment file (the header or version line is wrong)");
  e.fields["Protocol"] = t.Protocol;
  e.fields["Station"] = t.Station;
  e.fields["Module"] = t.Module;
  e.fields["Hybridize Date"] = t.HybridizeDate;
  e.fields["Pixel Size"] = t.PixelSize;
  e.fields["Filter"] = t.Filter;
  e.fields["Scan Temperature"] = t.ScanTemperature;
  e.fields["Scan Date"] = t.ScanDate;
  e.fields["Scanner ID"] = t.ScannerID;
  e.fields["Number of Scans"] = t.NumberOfScans;
  e.fields["Scanner Type"] = t.ScannerType;
  e.fields["Sample"] = s.name;
  e.steps = t.ProtocolSteps;
  s.fields["Chip Type"] = t.ChipType;
  s.fields["Lot"] = t.SampleInfo[0];
  s.fields["Operator"] = t.SampleInfo[1];
  s.fields["Type"] = t.SampleInfo[2];
  s.fields["Description"] = t.SampleInfo[3];
  s.attributes.clear();
  for (const auto& [index, name] : kAttributes) s.attributes.emplace_back(name, t.SampleInfo[static_cast<size_t>(index)]);
}

std::string FormatExperimentText(const ExperimentRecord& e, const SampleRecord& s) {
  CTestInfo t;
  t.Protocol = Field(e.fields, "Protocol");
  t.Station = Field(e.fields, "Station");
  t.Module = Field(e.fields, "Module");
  t.HybridizeDate = Field(e.fields, "Hybridize Date");
  t.PixelSize = Field(e.fields, "Pixel Size");
  t.Filter = Field(e.fields, "Filter");
  t.ScanTemperature = Field(e.fields, "Scan Temperature");
  t.ScanDate = Field(e.fields, "Scan Date");
  t.ScannerID = Field(e.fields, "Scanner ID");
  t.NumberOfScans = Field(e.fields, "Number of Scans");
  t.ScannerType = Field(e.fields, "Scanner Type");
  t.ProtocolSteps = e.steps;
  t.ChipType = Field(s.fields, "Chip Type");
  t.SampleInfo[0] = Field(s.fields, "Lot");
  t.SampleInfo[1] = Field(s.fields, "Operator");
  t.SampleInfo[2] = Field(s.fields, "Type");
  t.SampleInfo[3] = Field(s.fields, "Description");
  for (const auto& [index, name] : kAttributes)
    for (const auto& [n, v] : s.attributes)
      if (n == name) t.SampleInfo[static_cast<size_t>(index)] = v;
  ScratchFile scratch;
  t.SetName(scratch.Path());
  if (!t.Write()) Throw(E_FAIL, "cannot write a scratch file: " + t.LastMessage());
  std::ifstream in(scratch.Path(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace tesk::zorum
