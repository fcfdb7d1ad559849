#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <string>
#include <string_view>

#include "batch/folder_listing.h"
#include "cli/json_report.h"
#include "cli/progress_view.h"
#include "cli/text_report.h"
#include "cli/verify_report.h"
#include "platform/folder_path.h"
#include "present/listing_presenter.h"
#include "present/reasons.h"
#include "present/run_presenter.h"

namespace cordshift {
namespace {

constexpr char kProgramDescription[] =
    "Cordshift converts wiring data (.lvd files in Shift-JIS) between the "
    "continuity tester (Loomvantage: records From-To,Lower,Upper, terminals "
    "in AB notation A1, B1, ... or as four-digit sequential numbers) and the "
    "hipot tester (LoomvantageHipot: records From-To,1,Lower,Upper,1,0 with "
    "sequential terminal numbers). Each option stands for a box of the "
    "window; no settings file is read or written.";

constexpr char kFooter[] =
    "Exit status: 0 when the conversion completed, the listing succeeded "
    "(also when the folder holds no wiring file) or every file verified "
    "matches; 1 when the conversion ended early (refused input, a faulty "
    "file, or a written file that read back does not say what its source "
    "says), the listing failed, or verify found a file that differs, is "
    "missing, extra or faulty; 2 for a usage error.\n"
    "Without --json, guidance texts and messages go to standard error as "
    "they happen and the lists are printed as tables on standard output; "
    "verify prints a table of the files and a summary line. With --json, "
    "standard output receives one JSON object (UTF-8):\n"
    "  convert: {result: completed|failed, guide, messages: [{icon, text}], "
    "source_rows, destination_rows, converted, verified, files: [{source, "
    "outcome: converted|skipped|fault, destination, verified, unchanged | "
    "reason | detail}]}\n"
    "  list: {result: listed|empty|failed, guide, messages, rows}\n"
    "  verify: {result: match|differs|failed, files: [{source, destination, "
    "outcome: match|missing|differs|skipped|fault|extra, reason | detail | "
    "what, source_line, destination_line, expected, found}], counts}\n"
    "Run 'cordshift-cli convert --help', 'cordshift-cli list --help' or "
    "'cordshift-cli verify --help' for the options of each command.";

constexpr char kDirectionHelp[] =
    "to-hipot: continuity files (Loomvantage) into hipot files "
    "(LoomvantageHipot), AB terminal numbers becoming sequential numbers; "
    "to-continuity: hipot files into continuity files in the notation of "
    "--notation. Files with single-ended circuits are not converted to the "
    "continuity side.";

constexpr std::string_view kToHipot = "to-hipot";
constexpr std::string_view kToContinuity = "to-continuity";
constexpr std::string_view kAbNotation = "ab";
constexpr std::string_view kSequentialNotation = "seq";
constexpr std::string_view kContinuitySide = "continuity";
constexpr std::string_view kHipotSide = "hipot";

// The option values as typed, before they become the options' enums.
struct ParsedWords {
  std::string direction;
  std::string notation{kAbNotation};
  std::string side;
  bool no_verify = false;
  // verify's values, which count only when given.
  std::string verify_notation;
  std::string verify_model_name;
  std::string verify_lower;
  std::string verify_upper;
  const CLI::Option* verify_notation_given = nullptr;
  const CLI::Option* verify_model_name_given = nullptr;
  const CLI::Option* verify_lower_given = nullptr;
  const CLI::Option* verify_upper_given = nullptr;
};

CLI::Validator NonEmptyFolder() {
  return CLI::Validator(
      [](const std::string& value) {
        return value.empty() ? std::string("a folder path must not be empty")
                             : std::string();
      },
      "FOLDER");
}

CLI::App* AddConvertCommand(CLI::App& app, ConvertOptions& options,
                            ParsedWords& words) {
  CLI::App* convert = app.add_subcommand(
      "convert",
      "Convert every wiring file of the folder tree below SRC into the "
      "mirrored tree below DST, as the window's convert button does.");
  RunOptions& run = options.run;
  convert
      ->add_option("SRC", run.source_root,
                   "source root folder; its whole tree is converted")
      ->required()
      ->check(NonEmptyFolder());
  convert
      ->add_option("DST", run.destination_root,
                   "destination root folder; the source tree is mirrored "
                   "below it and missing folders are created")
      ->required()
      ->check(NonEmptyFolder());
  convert->add_option("--direction", words.direction, kDirectionHelp)
      ->required()
      ->check(
          CLI::IsMember({std::string(kToHipot), std::string(kToContinuity)}));
  convert
      ->add_option("--model", run.conversion.model_name,
                   "destination tester model name, written as line 1 of "
                   "every converted file (e.g. TBS480 for to-hipot, TBL480 "
                   "for to-continuity); a blank name refuses the run")
      ->required();
  convert
      ->add_option("--lower", run.conversion.lower,
                   "continuity resistance lower limit written into every "
                   "record: a number, 0 or more")
      ->capture_default_str();
  convert
      ->add_option("--upper", run.conversion.upper,
                   "continuity resistance upper limit written into every "
                   "record: a number above the lower limit")
      ->capture_default_str();
  convert
      ->add_option("--notation", words.notation,
                   "terminal notation that to-continuity writes: ab (A1, B1, "
                   "...) or seq (0001, 0002, ...); to-hipot always writes "
                   "sequential numbers")
      ->capture_default_str()
      ->check(CLI::IsMember(
          {std::string(kAbNotation), std::string(kSequentialNotation)}));
  convert->add_flag("--overwrite", run.conversion.overwrite,
                    "replace destination files of the same name (without "
                    "it such files are kept and their sources skipped)");
  convert->add_flag("--dry-run", run.conversion.dry_run,
                    "read, check and report everything, but create no "
                    "folder and write no file");
  convert->add_flag("--no-verify", words.no_verify,
                    "do not read each written file back to compare it with "
                    "its source (by default a file that does not say what "
                    "its source says is a fault that ends the run)");
  convert->add_flag("--json", options.json,
                    "print one JSON object on standard output instead of "
                    "progress and tables");
  return convert;
}

CLI::App* AddListCommand(CLI::App& app, ListOptions& options,
                         ParsedWords& words) {
  CLI::App* list = app.add_subcommand(
      "list",
      "List the wiring files of DIR (that folder only, not its subfolders) "
      "with a summary per file, as the window's source list shows them.");
  list->add_option("DIR", options.folder, "folder to list")
      ->required()
      ->check(NonEmptyFolder());
  list->add_option("--side", words.side,
                   "how to read the files: continuity (Loomvantage, "
                   "three-field records) or hipot (LoomvantageHipot, "
                   "six-field records)")
      ->required()
      ->check(CLI::IsMember(
          {std::string(kContinuitySide), std::string(kHipotSide)}));
  list->add_flag("--json", options.json,
                 "print one JSON object on standard output instead of "
                 "progress and a table");
  return list;
}

CLI::App* AddVerifyCommand(CLI::App& app, VerifyOptions& options,
                           ParsedWords& words) {
  CLI::App* verify = app.add_subcommand(
      "verify",
      "Compare the tree below DST with the tree below SRC as a run of "
      "--direction would map it, writing nothing: every file a run would "
      "convert is read with its destination and compared circuit by circuit "
      "(terminals by the terminal they name, the header's counts, the "
      "comment); the model name, the limits and the notation only when "
      "given.");
  TreeVerificationOptions& tree = options.tree;
  verify->add_option("SRC", tree.source_root, "source root folder")
      ->required()
      ->check(NonEmptyFolder());
  verify
      ->add_option("DST", tree.destination_root,
                   "destination root folder, as a run would have written it")
      ->required()
      ->check(NonEmptyFolder());
  verify->add_option("--direction", words.direction, kDirectionHelp)
      ->required()
      ->check(
          CLI::IsMember({std::string(kToHipot), std::string(kToContinuity)}));
  words.verify_notation_given =
      verify
          ->add_option("--notation", words.verify_notation,
                       "terminal notation the continuity files of "
                       "to-continuity must be in: ab or seq (without it "
                       "either matches)")
          ->check(CLI::IsMember(
              {std::string(kAbNotation), std::string(kSequentialNotation)}));
  words.verify_model_name_given = verify->add_option(
      "--model", words.verify_model_name,
      "model name line 1 of every destination file must hold");
  words.verify_lower_given =
      verify->add_option("--lower", words.verify_lower,
                         "lower limit every destination record must hold");
  words.verify_upper_given =
      verify->add_option("--upper", words.verify_upper,
                         "upper limit every destination record must hold");
  verify->add_flag("--json", options.json,
                   "print one JSON object on standard output instead of a "
                   "table");
  return verify;
}

// The options' words as enums, and the folders as the run keeps them.
void FinishOptions(const ParsedWords& words, ConvertOptions& convert,
                   ListOptions& list, VerifyOptions& verify) {
  RunOptions& run = convert.run;
  run.direction = words.direction == kToContinuity
                      ? Direction::kHipotToContinuity
                      : Direction::kContinuityToHipot;
  run.conversion.notation = words.notation == kSequentialNotation
                                ? Notation::kSequential
                                : Notation::kAb;
  run.conversion.verify = !words.no_verify;
  run.source_root = WithTrailingSeparator(run.source_root);
  run.destination_root = WithTrailingSeparator(run.destination_root);
  list.side = words.side == kHipotSide ? Side::kHipot : Side::kContinuity;
  TreeVerificationOptions& tree = verify.tree;
  tree.direction = run.direction;
  tree.source_root = WithTrailingSeparator(tree.source_root);
  tree.destination_root = WithTrailingSeparator(tree.destination_root);
  if (words.verify_notation_given && *words.verify_notation_given) {
    tree.notation = words.verify_notation == kSequentialNotation
                        ? Notation::kSequential
                        : Notation::kAb;
  }
  if (words.verify_model_name_given && *words.verify_model_name_given) {
    tree.model_name = words.verify_model_name;
  }
  if (words.verify_lower_given && *words.verify_lower_given) {
    tree.lower = words.verify_lower;
  }
  if (words.verify_upper_given && *words.verify_upper_given) {
    tree.upper = words.verify_upper;
  }
}

std::ostream* ProgressStream(bool json, std::ostream& err) {
  return json ? nullptr : &err;
}

void WriteConvertTables(std::ostream& out, const RecordingDisplay& view) {
  WriteListSection(
      out, "Source files (last folder listed):", view.Rows(ListId::kSource));
  WriteListSection(out, "Destination files (last folder converted):",
                   view.Rows(ListId::kDestination));
  out << "Converted files: " << ConvertedCountText(view) << '\n';
}

}  // namespace

int RunConvertCommand(const ConvertOptions& options, std::ostream& out,
                      std::ostream& err) {
  const InterruptWatch interrupts;
  ProgressView view(ProgressStream(options.json, err), &interrupts);
  RunPresenter presenter(view, options.run.direction);
  WiringWorkspace workspace;
  const RunResult result = RunConversion(presenter, options.run, workspace);
  std::string reason = RunEndReason(result, options.run.source_root);
  if (result.outcome == RunOutcome::kStopped) {
    reason = "stopped by signal " + std::to_string(interrupts.Signal()) +
             "; every file written is complete";
  }
  if (options.json) {
    out << ConvertReportJson(result, reason, view) << '\n';
  } else {
    WriteConvertTables(out, view);
    if (result.outcome != RunOutcome::kCompleted) WriteReasonLine(err, reason);
  }
  switch (result.outcome) {
    case RunOutcome::kCompleted:
      return kExitSuccess;
    case RunOutcome::kStopped:
      return ExitStatusForSignal(interrupts.Signal());
    case RunOutcome::kEndedEarly:
      break;
  }
  return kExitRunFailed;
}

// Why a listing failed: the folder, or the file whose fault stopped it.
std::string ListingFailureReason(ListingOutcome outcome,
                                 const RecordingDisplay& view,
                                 const std::string& folder) {
  if (outcome == ListingOutcome::kEnumerationFailed) {
    return folder + ": the folder cannot be read";
  }
  if (outcome == ListingOutcome::kNoSuchFolder) {
    return folder + ": no such folder";
  }
  for (auto report = view.reports().rbegin(); report != view.reports().rend();
       ++report) {
    if (report->outcome == FileOutcome::kFault && report->fault) {
      // Named within the folder, which the command line itself names.
      const std::string_view source = report->source;
      return std::string(source.starts_with(folder)
                             ? source.substr(folder.size())
                             : source) +
             ": " + FaultDetail(*report->fault);
    }
  }
  return "the listing failed";
}

int RunListCommand(const ListOptions& options, std::ostream& out,
                   std::ostream& err) {
  ProgressView view(ProgressStream(options.json, err));
  const std::string folder = WithTrailingSeparator(options.folder);
  WiringWorkspace workspace;
  const ListingOutcome outcome =
      ShowFolderListing(view, ListId::kSource, options.side, folder, workspace);
  const bool failed = outcome == ListingOutcome::kReaderFailed ||
                      outcome == ListingOutcome::kEnumerationFailed ||
                      outcome == ListingOutcome::kNoSuchFolder;
  const std::string reason =
      failed ? ListingFailureReason(outcome, view, folder) : std::string();
  if (options.json) {
    out << ListReportJson(outcome, reason, view) << '\n';
  } else {
    WriteListSection(out, "Wiring files in " + folder + ":",
                     view.Rows(ListId::kSource));
    if (failed) WriteReasonLine(err, reason);
  }
  return failed ? kExitRunFailed : kExitSuccess;
}

int RunVerifyCommand(const VerifyOptions& options, std::ostream& out,
                     std::ostream& err) {
  const TreeVerification verification = VerifyTree(options.tree);
  // Refusals and an unreadable source tree end it as they end a run.
  RunResult ended;
  ended.outcome = RunOutcome::kEndedEarly;
  ended.refusal = verification.refusal;
  ended.unreadable_folder = verification.unreadable_folder;
  ended.unreadable_folder_exists = verification.unreadable_folder_exists;
  const bool failed = verification.refusal || verification.unreadable_folder;
  const std::string reason =
      failed ? RunEndReason(ended, options.tree.source_root) : std::string();
  if (options.json) {
    out << VerifyReportJson(verification, reason) << '\n';
  } else if (!failed) {
    out << VerifyReportText(verification, options.tree);
  }
  if (failed && !options.json) WriteReasonLine(err, reason);
  if (verification.refusal) return kExitUsage;
  return !failed && EveryFileMatches(verification) ? kExitSuccess
                                                   : kExitRunFailed;
}

int RunCli(int argc, const char* const* argv, std::ostream& out,
           std::ostream& err) {
  CLI::App app(kProgramDescription, "cordshift-cli");
  app.footer(kFooter);
  // The build passes the version the packages carry; help2man reads this
  // line for the manual page.
  app.set_version_flag("--version",
                       std::string("cordshift-cli ") + CORDSHIFT_VERSION);
  // Wide enough that the longest option, "--notation TEXT:{ab,seq}=ab",
  // stays apart from its text, for readers and for help2man alike.
  app.get_formatter()->column_width(32);
  app.require_subcommand(1);
  // CLI11 takes "/name" for an option on Windows, which would make an
  // argument such as "/data/in" an unknown option there.
  app.allow_windows_style_options(false);
  ConvertOptions convert_options;
  ListOptions list_options;
  VerifyOptions verify_options;
  ParsedWords words;
  const CLI::App* convert = AddConvertCommand(app, convert_options, words);
  AddListCommand(app, list_options, words);
  const CLI::App* verify = AddVerifyCommand(app, verify_options, words);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // CLI11's own codes (100 and up) are folded into the one usage status.
    return app.exit(e, out, err) == 0 ? kExitSuccess : kExitUsage;
  }
  FinishOptions(words, convert_options, list_options, verify_options);
  try {
    if (convert->parsed()) return RunConvertCommand(convert_options, out, err);
    if (verify->parsed()) return RunVerifyCommand(verify_options, out, err);
    return RunListCommand(list_options, out, err);
  } catch (const std::exception& e) {
    err << "cordshift-cli: unexpected failure: " << e.what() << '\n';
    return kExitRunFailed;
  }
}

}  // namespace cordshift
