#ifndef CORDSHIFT_CLI_CLI_H_
#define CORDSHIFT_CLI_CLI_H_

// cordshift-cli: the conversion run and the folder listing without the
// window, for scripts and automation. The options stand for the window's
// boxes; settings files are neither read nor written.

#include <ostream>
#include <string>

#include "batch/conversion_run.h"

namespace cordshift {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

enum class CliSide { kContinuity, kHipot };

struct ConvertOptions {
  std::string source;
  std::string destination;
  Direction direction = Direction::kContinuityToHipot;
  std::string model;
  std::string lower = "0";
  std::string upper = "2000";
  Notation notation = Notation::kAb;
  bool overwrite = false;
  bool dry_run = false;
  bool json = false;
};

struct ListOptions {
  std::string folder;
  CliSide side = CliSide::kContinuity;
  bool json = false;
};

// The run the window would make with boxes and options like these.
RunOptions RunOptionsFor(const ConvertOptions& options);

// The direction whose source side is the listing's side.
Direction ListingDirectionOf(CliSide side);

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
