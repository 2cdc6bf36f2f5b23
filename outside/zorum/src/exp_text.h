// Experiment files as the server's records: the experiment record (with its protocol steps)
// and the sample record, read and written through the experiment information library.
#ifndef TESK_OUTSIDE_ZORUM_SRC_EXP_TEXT_H_
#define TESK_OUTSIDE_ZORUM_SRC_EXP_TEXT_H_

#include <string>
#include <string_view>

#include "store.h"

namespace tesk::zorum {

// Fills the records (named experimentName and sampleName) from an experiment file's text;
// throws E_INVALIDARG with the library's reason when the text is not one.
void ParseExperimentText(std::string_view text, ExperimentRecord& experiment, SampleRecord& sample);
// The experiment file text of the records.
std::string FormatExperimentText(const ExperimentRecord& experiment, const SampleRecord& sample);

}  // namespace tesk::zorum

#endif  // TESK_OUTSIDE_ZORUM_SRC_EXP_TEXT_H_
