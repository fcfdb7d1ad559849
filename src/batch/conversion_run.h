#ifndef CORDSHIFT_BATCH_CONVERSION_RUN_H_
#define CORDSHIFT_BATCH_CONVERSION_RUN_H_

// A conversion run over a whole source tree: input checks, the analysis of
// the tree, and for each folder its listing and conversion, with progress in
// the guidance line and the first fault ending the run.

#include <cstddef>
#include <string>
#include <string_view>

#include "batch/batch_state.h"
#include "platform/message.h"
#include "wiring/conversion_view.h"
#include "wiring/direction.h"
#include "wiring/kept_sources.h"

namespace cordshift {

// What a run is asked to do: the window's boxes and options when the
// convert button is pressed, or the command line's options (UTF-8 texts).
struct RunOptions {
  Direction direction = Direction::kContinuityToHipot;  // optSel
  Notation notation = Notation::kAb;                    // optAB
  std::string model_name;                               // txtKisyu
  std::string lower;                                    // txtDL
  std::string upper;                                    // txtDU
  bool overwrite = false;                               // chkOverWrite
  std::string source_root;                              // lblSrc
  std::string destination_root;                         // lblDst
  bool dry_run = false;  // create no folder, write no file
  // The bytes of a folder's source files that its listing keeps for its
  // conversion; files beyond it are read a second time.
  std::size_t kept_source_budget = KeptSources::kDefaultBudget;
  // List the next folder on another thread while the current one is
  // converted; what it shows waits for its turn.
  bool list_ahead = true;
};

enum class RunOutcome {
  kCompleted,   // the run reached its finish text
  kEndedEarly,  // refused, or stopped at a fault
  kStopped,     // the view asked to stop; every file written is complete
};

struct RunResult {
  RunOutcome outcome = RunOutcome::kCompleted;
  // The inputs passed their checks: the window then keeps the overwrite
  // choice, as it does when it closes.
  bool inputs_accepted = false;
  // Why a run ended early, as one line of plain English for scripts and
  // readers of other languages than the window's (the window's own texts
  // are unchanged); a file's fault names the file from the source root.
  // Empty when the run completed or was stopped.
  std::string reason;
};

// Converts the tree below the source root into the destination root.
RunResult RunConversion(ConversionView& view, const RunOptions& options,
                        BatchState& state);

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
