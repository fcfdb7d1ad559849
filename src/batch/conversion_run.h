#ifndef CORDSHIFT_BATCH_CONVERSION_RUN_H_
#define CORDSHIFT_BATCH_CONVERSION_RUN_H_

// A conversion run over a whole source tree: input checks, the analysis of
// the tree, and for each folder its listing and conversion, told step by
// step to an observer, the first fault ending the run.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "batch/run_observer.h"
#include "wiring/conversions.h"
#include "wiring/direction.h"
#include "wiring/file_report.h"
#include "wiring/kept_sources.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

// What a run is asked to do: the window's boxes and options when the
// convert button is pressed, or the command line's options (UTF-8 texts).
struct RunOptions {
  Direction direction = Direction::kContinuityToHipot;
  std::string source_root;
  std::string destination_root;
  // The model name, limits, notation, overwrite and dry-run choices that
  // every folder's conversion takes.
  ConversionInputs conversion;
  // The bytes of a folder's source files that its listing keeps for its
  // conversion; files beyond it are read a second time.
  std::size_t kept_source_budget = KeptSources::kDefaultBudget;
  // List the next folder on another thread while the current one is
  // converted; what it shows waits for its turn.
  bool list_ahead = true;
};

enum class RunOutcome {
  kCompleted,   // every folder converted
  kEndedEarly,  // refused, or stopped at a fault
  kStopped,     // a stop was asked for; every file written is complete
};

// How a run ended, and why when it ended early: exactly one of the causes
// below is set then.
struct RunResult {
  RunOutcome outcome = RunOutcome::kCompleted;
  // The inputs passed their checks: the window then keeps the overwrite
  // choice, as it does when it closes.
  bool inputs_accepted = false;
  std::optional<RunRefusal> refusal;
  // The folder of the source tree that could not be read while the tree
  // was analysed, and whether it exists.
  std::optional<std::string> unreadable_folder;
  bool unreadable_folder_exists = false;
  // The file or folder whose fault ended the run.
  std::optional<FileReport> fault;
  // The destination folder that turned out to be a source folder.
  std::optional<std::string> destination_is_source;
  // An unforeseen failure (out of memory), in the library's words.
  std::optional<std::string> unexpected_failure;
};

// Converts the tree below the source root into the destination root.
RunResult RunConversion(RunObserver& observer, const RunOptions& options,
                        WiringWorkspace& workspace);

// The first fault of the two limit texts, in the order they are checked;
// no value when both are good.
std::optional<RunRefusal> CheckLimits(std::string_view lower,
                                      std::string_view upper);
// True for a limit text that is a number of 0 or more.
bool IsLimit(std::string_view text);
// The first fault of a model name: blank, a control character, a
// character that Shift-JIS cannot hold.
std::optional<RunRefusal> CheckModelName(std::string_view model_name);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_CONVERSION_RUN_H_
