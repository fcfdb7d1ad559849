#ifndef CORDSHIFT_BATCH_CONVERSION_RUN_H_
#define CORDSHIFT_BATCH_CONVERSION_RUN_H_

// A conversion run over a whole source tree: input checks, the analysis of
// the tree, and for each folder its listing and conversion, with progress in
// the guidance line and the first fault ending the run.

#include <string>
#include <string_view>

#include "batch/batch_state.h"
#include "platform/message.h"
#include "settings/settings.h"
#include "wiring/conversion_view.h"

namespace cordshift {

// The window's values when the convert button is pressed (UTF-8 texts).
struct RunInputs {
  std::string model_name;        // txtKisyu
  std::string lower;             // txtDL
  std::string upper;             // txtDU
  bool overwrite = false;        // chkOverWrite ticked
  std::string source_root;       // lblSrc
  std::string destination_root;  // lblDst
  bool dry_run = false;          // create no folder, write no file
};

enum class RunOutcome {
  kCompleted,   // the run reached its finish text
  kEndedEarly,  // refused, or stopped at a fault
  kStopped,     // the view asked to stop; every file written is complete
};

// Converts the tree in the direction of settings.Direction ("0" continuity to
// hipot, anything else hipot to continuity), with settings.ABorSeq as the
// notation. Sets settings.OverWrite from the inputs once the input checks
// have passed.
RunOutcome RunConversion(ConversionView& view, Settings& settings,
                         const RunInputs& inputs, BatchState& state);

// Checks the two limit texts; on a fault shows its warning and returns
// false.
bool ValidateLimits(MessageSink& messages, std::string_view lower,
                    std::string_view upper);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_CONVERSION_RUN_H_
