#ifndef CORDSHIFT_CLI_CLI_H_
#define CORDSHIFT_CLI_CLI_H_

// cordshift-cli: the conversion run and the folder listing without the
// window, for scripts and automation. The options stand for the window's
// boxes; settings files are neither read nor written.

#include <ostream>
#include <string>

#include "batch/conversion_run.h"
#include "settings/settings.h"

namespace cordshift {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

enum class CliDirection { kToHipot, kToContinuity };
enum class CliNotation { kAb, kSequential };
enum class CliSide { kContinuity, kHipot };

struct ConvertOptions {
  std::string source;
  std::string destination;
  CliDirection direction = CliDirection::kToHipot;
  std::string model;
  std::string lower = "0";
  std::string upper = "2000";
  CliNotation notation = CliNotation::kAb;
  bool overwrite = false;
  bool dry_run = false;
  bool json = false;
};

struct ListOptions {
  std::string folder;
  CliSide side = CliSide::kContinuity;
  bool json = false;
};

// The settings record the window would hold for these options.
Settings SettingsForConvert(const ConvertOptions& options);
Settings SettingsForList(const ListOptions& options);
// The window's boxes and labels for these options.
RunInputs InputsForConvert(const ConvertOptions& options);

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
