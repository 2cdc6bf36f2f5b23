// Feeds arbitrary bytes to CTestInfo::Read through an in-memory file. Besides the sanitizers'
// checks: a read keeps eight sample-info entries, and a failed read leaves the object empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tesk/ostrel7.h>
#include <tesk/testing/fuzz_input.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tesk::testing::FuzzInputFile input(data, size);
  if (input.path().empty()) return 0;
  CTestInfo info;
  info.SetName(input.path());
  if (info.Read() == 1) {
    if (info.SampleInfo.size() != 8) std::abort();
  } else if (!info.ChipType.empty() || !info.ProtocolSteps.empty()) {
    std::abort();  // a failed read leaves the object emptied
  }
  return 0;
}
