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

struct RunResult {
  RunOutcome outcome = RunOutcome::kCompleted;
  // Why a run ended early, as one line of plain English for scripts and
  // readers of other languages than the window's (the window's own texts
  // are unchanged); a file's fault names the file from the source root.
  // Empty when the run completed or was stopped.
  std::string reason;
};

// Converts the tree in the direction of settings.Direction ("0" continuity to
// hipot, anything else hipot to continuity), with settings.ABorSeq as the
// notation. Sets settings.OverWrite from the inputs once the input checks
// have passed.
RunResult RunConversion(ConversionView& view, Settings& settings,
                        const RunInputs& inputs, BatchState& state);

// The first fault of the two limit texts, in the order they are checked.
enum class LimitFault {
  kNone,
  kLower,  // the lower limit is not a number of 0 or more
  kUpper,  // the upper limit is not a number of 0 or more
  kOrder,  // the lower limit is not below the upper limit
};
LimitFault CheckLimits(std::string_view lower, std::string_view upper);

// Checks the two limit texts; on a fault shows its warning and returns
// false.
bool ValidateLimits(MessageSink& messages, std::string_view lower,
                    std::string_view upper);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_CONVERSION_RUN_H_
