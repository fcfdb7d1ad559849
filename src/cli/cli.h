#ifndef CORDSHIFT_CLI_CLI_H_
#define CORDSHIFT_CLI_CLI_H_

// cordshift-cli: the conversion run and the folder listing without the
// window, for scripts and automation. The options stand for the window's
// boxes; settings files are neither read nor written.

#include <ostream>
#include <string>

#include "batch/conversion_run.h"
#include "batch/tree_verification.h"
#include "wiring/direction.h"

namespace cordshift {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

// The run the options ask for, as the window would make it with boxes like
// these, and how to report it.
struct ConvertOptions {
  RunOptions run = [] {
    RunOptions defaults;
    defaults.conversion.lower = "0";
    defaults.conversion.upper = "2000";
    return defaults;
  }();
  bool json = false;
};

// The comparison the options ask for, and how to report it.
struct VerifyOptions {
  TreeVerificationOptions tree;
  bool json = false;
};

struct ListOptions {
  std::string folder;
  Side side = Side::kContinuity;
  bool json = false;
};

// Runs one conversion or listing and writes its report: with json, one JSON
// object to `out`; otherwise progress and messages to `err` as they happen
// and the lists as tables to `out`. Returns the exit status.
int RunConvertCommand(const ConvertOptions& options, std::ostream& out,
                      std::ostream& err);
int RunListCommand(const ListOptions& options, std::ostream& out,
                   std::ostream& err);
// Compares two trees and writes the table (or the JSON object) to `out`;
// 0 when every file matches (or would be passed over by a run), 1 when a
// file differs, is missing, extra or faulty, or the source tree cannot be
// read, 2 when the options are refused.
int RunVerifyCommand(const VerifyOptions& options, std::ostream& out,
                     std::ostream& err);

// The whole command line: parses the arguments and runs the subcommand.
// 0 when the run completed, the listing succeeded (also with no files) or
// every file verified matches; 1 when the run ended early, the listing
// failed or a file verified does not match; 2 for a usage error.
int RunCli(int argc, const char* const* argv, std::ostream& out,
           std::ostream& err);

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_CLI_H_
