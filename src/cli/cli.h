#ifndef CORDSHIFT_CLI_CLI_H_
#define CORDSHIFT_CLI_CLI_H_

// cordshift-cli: the conversion run and the folder listing without the
// window, for scripts and automation. The options stand for the window's
// boxes; settings files are neither read nor written.

#include <ostream>
#include <string>

#include "batch/conversion_run.h"
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

// The whole command line: parses the arguments and runs the subcommand.
// 0 when the run completed or the listing succeeded (also with no files), 1
// when the run ended early or the listing failed, 2 for a usage error.
int RunCli(int argc, const char* const* argv, std::ostream& out,
           std::ostream& err);

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_CLI_H_
