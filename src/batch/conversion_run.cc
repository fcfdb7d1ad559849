#include "batch/conversion_run.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "batch/folder_listing.h"
#include "batch/folder_tree.h"
#include "batch/work_ahead.h"
#include "platform/codepage.h"
#include "platform/folder_path.h"
#include "platform/folder_scan.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "wiring/companion.h"
#include "wiring/numeric.h"

namespace cordshift {
namespace {

FolderConversion ConversionOf(Direction direction) {
  return direction == Direction::kContinuityToHipot
             ? &ConvertFolderToHipot
             : &ConvertFolderToContinuity;
}

// A limit text read by the numeric rule; a number outside 32 bits counts as
// not a number, so it gets the limit's own message rather than ending the
// run without a word.
std::optional<std::int32_t> ReadLimit(std::string_view text) {
  const WholeNumber number = ParseWholeNumber(TrimSpaces(text));
  if (!number.ok()) return std::nullopt;
  return number.value;
}

// CR or LF in the model name would add header lines, and any other control
// character makes a name no tester shows; a tab alone would even pass as
// not blank.
bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

// The observer of a folder's conversion as the run sees it: everything goes
// on to the run's observer, and the last fault reported is kept, since it
// says why the run ended.
class FaultKeepingObserver : public ConversionObserver {
 public:
  explicit FaultKeepingObserver(RunObserver& observer) : observer_(observer) {}

  void FileStarted(int file_number) override {
    observer_.FileStarted(file_number);
  }
  void FileDone(int file_number, const FileReport& report) override {
    if (report.outcome == FileOutcome::kFault) last_fault_ = report;
    observer_.FileDone(file_number, report);
  }
  void FolderAborted() override { observer_.FolderAborted(); }
  bool StopRequested() const override { return observer_.StopRequested(); }

  const std::optional<FileReport>& last_fault() const { return last_fault_; }

 private:
  RunObserver& observer_;
  std::optional<FileReport> last_fault_;
};

// The identities of the source folders of the tree.
std::set<FileIdentity> SourceFolderIdentities(
    const std::vector<FolderPair>& folders) {
  std::set<FileIdentity> sources;
  for (const FolderPair& pair : folders) {
    if (const std::optional<FileIdentity> id = IdentityOf(pair.source)) {
      sources.insert(*id);
    }
  }
  return sources;
}

// True when a destination folder of the tree is one of its source folders,
// as when the source lies inside the destination: writing there would
// replace the source's own files. Only existing destination folders can be
// one; links are seen through.
bool DestinationOverlapsSource(const std::vector<FolderPair>& folders,
                               const std::set<FileIdentity>& sources) {
  return std::any_of(
      folders.begin(), folders.end(), [&sources](const FolderPair& pair) {
        const std::optional<FileIdentity> id = IdentityOf(pair.destination);
        return id && sources.contains(*id);
      });
}

// A source folder's listing as a run makes it, ahead of its turn or in
// it, with the bytes it read for the conversion. Nothing of it is told
// until its turn.
struct SourceListing {
  std::optional<FileReport> folder_fault;  // the folder could not be listed
  FolderListing listing;
  KeptSources kept;
};

// A stop check for work done ahead: it stops once its result is no longer
// wanted.
class AbandonCheck : public ListingObserver {
 public:
  explicit AbandonCheck(const std::atomic<bool>& abandoned)
      : abandoned_(abandoned) {}
  bool StopRequested() const override { return abandoned_; }

 private:
  const std::atomic<bool>& abandoned_;
};

// The run's own observer as a listing's: it asks whether to stop.
class StopForwarder : public ListingObserver {
 public:
  explicit StopForwarder(const StopCheck& stop) : stop_(stop) {}
  bool StopRequested() const override { return stop_.StopRequested(); }

 private:
  const StopCheck& stop_;
};

class ConversionRun {
 public:
  ConversionRun(RunObserver& observer, const RunOptions& options,
                WiringWorkspace& workspace)
      : observer_(observer),
        options_(options),
        workspace_(workspace),
        convert_folder_(ConversionOf(options.direction)),
        source_side_(SourceSideOf(options.direction)),
        ahead_(workspace.background) {}

  RunResult Run() {
    if (const std::optional<RunRefusal> refusal = CheckInputs()) {
      return Refuse(*refusal);
    }
    result_.inputs_accepted = true;
    observer_.InputsAccepted();
    if (IsSameFolder(options_.source_root, options_.destination_root)) {
      return Refuse(RunRefusal::kSameFolder);
    }
    observer_.AnalysisStarted();
    const FolderAnalysis tree =
        AnalyzeFolderTree(options_.source_root, options_.destination_root);
    if (!tree.ok()) {
      result_.unreadable_folder = tree.unreadable_folder;
      result_.unreadable_folder_exists = FolderExists(tree.unreadable_folder);
      observer_.AnalysisFailed(*result_.unreadable_folder,
                               result_.unreadable_folder_exists);
      return Ended(RunOutcome::kEndedEarly);
    }
    source_folders_ = SourceFolderIdentities(tree.folders);
    if (DestinationOverlapsSource(tree.folders, source_folders_)) {
      return Refuse(RunRefusal::kOverlappingFolders);
    }
    const int folder_count = static_cast<int>(tree.folders.size());
    observer_.RunStarted(folder_count);
    for (std::size_t folder = 0; folder < tree.folders.size(); ++folder) {
      if (observer_.StopRequested()) return Ended(RunOutcome::kStopped);
      const FolderPair* next = folder + 1 < tree.folders.size()
                                   ? &tree.folders[folder + 1]
                                   : nullptr;
      if (!ConvertFolder(tree.folders[folder], next)) {
        if (observer_.StopRequested()) return Ended(RunOutcome::kStopped);
        return Ended(RunOutcome::kEndedEarly);
      }
      observer_.FolderDone(static_cast<int>(folder) + 1, folder_count);
    }
    return Ended(RunOutcome::kCompleted);
  }

 private:
  std::optional<RunRefusal> CheckInputs() const {
    if (const std::optional<RunRefusal> refusal =
            CheckModelName(options_.conversion.model_name)) {
      return refusal;
    }
    return CheckLimits(options_.conversion.lower, options_.conversion.upper);
  }

  RunResult Refuse(RunRefusal refusal) {
    observer_.Refused(refusal);
    result_.refusal = refusal;
    return Ended(RunOutcome::kEndedEarly);
  }

  RunResult Ended(RunOutcome outcome) {
    observer_.RunEnded(outcome == RunOutcome::kCompleted);
    result_.outcome = outcome;
    return result_;
  }

  // Lists and converts one folder of the tree; the next folder, when there
  // is one, is listed on another thread meanwhile. False ends the run.
  bool ConvertFolder(const FolderPair& folder, const FolderPair* next) {
    SourceListing source = ListingOf(folder.source);
    if (source.folder_fault) {
      Fault(*source.folder_fault);
      observer_.SourceListingFailed(*source.folder_fault);
      return false;
    }
    const FolderListing& listing = source.listing;
    if (listing.outcome == ListingOutcome::kEmpty) return true;
    observer_.SourceListed(folder.source, listing);
    if (listing.reading.stopped) return false;
    if (listing.reading.fault) {
      Fault(*listing.reading.fault);
      return false;
    }
    const bool any_to_convert =
        std::any_of(listing.files.begin(), listing.files.end(),
                    [](const WiringFile& file) { return file.summarised; });
    if (!any_to_convert) return true;

    observer_.FolderConversionStarted(folder.source);
    FolderJob job;
    job.source = &listing.files;
    job.destination_folder = folder.destination;
    job.kept = &source.kept;
    // Files made ahead serve files that are new; a folder that exists when
    // overwriting may well hold every file already, and a run that finds
    // them unchanged then makes no file at all.
    const bool makes_new_files =
        !options_.conversion.overwrite || !FolderExists(folder.destination);
    if (!options_.conversion.dry_run) {
      job.destination_files = OpenDestination(folder);
      if (!job.destination_files) return false;
    }
    if (options_.list_ahead) {
      StartWorkAhead(makes_new_files ? job.destination_files : nullptr,
                     FileCount(listing.files), next);
    }
    FaultKeepingObserver conversion_observer(observer_);
    const bool converted = convert_folder_(conversion_observer, job,
                                           options_.conversion, workspace_);
    if (job.destination_files) job.destination_files->StopMakingUnnamedFiles();
    if (converted) {
      observer_.FolderConverted(folder.source);
      return true;
    }
    if (conversion_observer.last_fault()) {
      result_.fault = conversion_observer.last_fault();
    }
    if (!observer_.StopRequested()) observer_.ConversionFailed(result_.fault);
    return false;
  }

  void Fault(const FileReport& fault) { result_.fault = fault; }

  // The destination folder of a pair, made and opened for the files written
  // into it. The folder opened is checked against the source tree's
  // folders: one may have been put in its path since the run began (a link
  // to a source folder), and the files written then go to what was opened.
  // Null, with the fault told, when it cannot be used.
  std::shared_ptr<OpenedFolder> OpenDestination(const FolderPair& folder) {
    const FolderCreation made = MakeFolderPath(folder.destination);
    if (!made.ok()) {
      return DestinationFailed(
          folder, FolderCreateFault(made.failed_folder, made.error));
    }
    auto opened =
        std::make_shared<OpenedFolder>(PathFromUtf8(folder.destination));
    const std::optional<FileIdentity> identity = opened->Identity();
    if (!identity) {
      return DestinationFailed(
          folder, PathFault(FaultKind::kFolderNotOpened, folder.destination));
    }
    if (source_folders_.contains(*identity)) {
      result_.destination_is_source = folder.destination;
      observer_.DestinationIsSource(folder.destination);
      return nullptr;
    }
    return opened;
  }

  std::nullptr_t DestinationFailed(const FolderPair& folder, FileFault fault) {
    const FileReport report = FaultReport(folder.source, std::move(fault));
    result_.fault = report;
    observer_.DestinationFailed(report);
    return nullptr;
  }

  // The listing of a source folder: the one made ahead, now that its turn
  // has come, or else one made now.
  SourceListing ListingOf(const std::string& source_folder) {
    if (ahead_.started()) {
      std::optional<SourceListing> ahead = ahead_.Take();
      // One made ahead but stopped (abandoned) before its end is made again.
      if (ahead && !ahead->listing.reading.stopped) return std::move(*ahead);
    }
    StopForwarder stop(observer_);
    return ListSource(source_folder, workspace_, stop);
  }

  // The work of another thread while this one converts a folder of
  // `file_count` files: making new files in its destination, two per file
  // (the wiring file and its comment), which can cost more than writing
  // them; then listing the next folder, when there is one. The listing
  // keeps no more than one budget's worth of bytes, as any listing does;
  // the files beyond it are read again in their turn.
  void StartWorkAhead(std::shared_ptr<OpenedFolder> destination, int file_count,
                      const FolderPair* next) {
    constexpr int kMaxFilesMadeAhead = 128;
    const int files_to_make = std::min(2 * file_count, kMaxFilesMadeAhead);
    std::optional<std::string> next_source;
    if (next != nullptr) next_source = next->source;
    ahead_.Start([this, destination = std::move(destination), files_to_make,
                  next_source](const std::atomic<bool>& abandoned) mutable {
      if (destination) {
        destination->MakeUnnamedFiles(files_to_make);
        destination.reset();
      }
      std::optional<SourceListing> ahead;
      if (!next_source) return ahead;
      AbandonCheck stop(abandoned);
      try {
        ahead = ListSource(*next_source, ahead_workspace_, stop);
        if (!ahead->folder_fault && ahead->listing.reading.complete()) {
          ReadComments(*ahead, abandoned);
        }
      } catch (const std::exception&) {
        // Listed again in turn, where the fault shows as it would have.
        ahead.reset();
      }
      return ahead;
    });
  }

  // The companion comments of a listing's files, kept for its conversion.
  static void ReadComments(SourceListing& source,
                           const std::atomic<bool>& abandoned) {
    CompanionReader companions;
    const WiringFileList& files = source.listing.files;
    for (int file_number = 1; file_number <= FileCount(files) && !abandoned;
         ++file_number) {
      source.kept.KeepComment(file_number,
                              companions.Read(FileNumber(files, file_number)));
    }
  }

  // Lists one source folder, reading with `workspace`.
  SourceListing ListSource(const std::string& source_folder,
                           WiringWorkspace& workspace,
                           ListingObserver& observer) const {
    SourceListing source{std::nullopt, EnumerateFolder(source_folder),
                         KeptSources(options_.kept_source_budget)};
    if (source.listing.outcome == ListingOutcome::kListed) {
      ReadSummaries(source.listing, source_side_, workspace, observer,
                    &source.kept);
    }
    switch (source.listing.outcome) {
      case ListingOutcome::kEnumerationFailed:
        source.folder_fault =
            FaultReport(source_folder, KindFault(FaultKind::kFolderUnreadable));
        break;
      // A folder of the analysis that has gone since would pass as empty,
      // and the run would report success with its files left out.
      case ListingOutcome::kNoSuchFolder:
        source.folder_fault =
            FaultReport(source_folder, KindFault(FaultKind::kFolderGone));
        break;
      case ListingOutcome::kEmpty:
      case ListingOutcome::kListed:
      case ListingOutcome::kReaderFailed:
        break;
    }
    return source;
  }

  RunObserver& observer_;
  const RunOptions& options_;
  WiringWorkspace& workspace_;
  const FolderConversion convert_folder_;
  const Side source_side_;
  RunResult result_;
  std::set<FileIdentity> source_folders_;
  // The next folder's listing, made on the thread that also verifies the
  // files written, with a workspace of its own. Last, so that the listing
  // has ended before anything it uses goes.
  WiringWorkspace ahead_workspace_;
  WorkAhead<std::optional<SourceListing>> ahead_;
};

}  // namespace

RunResult RunConversion(RunObserver& observer, const RunOptions& options,
                        WiringWorkspace& workspace) {
  try {
    return ConversionRun(observer, options, workspace).Run();
  } catch (const std::exception& e) {
    RunResult result;
    result.outcome = RunOutcome::kEndedEarly;
    result.unexpected_failure = e.what();
    return result;
  }
}

std::optional<RunRefusal> CheckModelName(std::string_view model_name) {
  const std::string_view trimmed = TrimSpaces(model_name);
  if (trimmed.empty()) return RunRefusal::kBlankModelName;
  if (HasControlCharacter(trimmed)) {
    return RunRefusal::kControlCharacterInModelName;
  }
  if (!IsCp932Representable(trimmed)) return RunRefusal::kModelNameNotShiftJis;
  return std::nullopt;
}

bool IsLimit(std::string_view text) {
  const std::optional<std::int32_t> limit = ReadLimit(text);
  return limit && *limit >= 0;
}

std::optional<RunRefusal> CheckLimits(std::string_view lower,
                                      std::string_view upper) {
  // Both texts are checked for being numbers before either sign is.
  const std::optional<std::int32_t> low = ReadLimit(lower);
  if (!low) return RunRefusal::kLowerLimit;
  const std::optional<std::int32_t> high = ReadLimit(upper);
  if (!high) return RunRefusal::kUpperLimit;
  if (*low < 0) return RunRefusal::kLowerLimit;
  if (*high < 0) return RunRefusal::kUpperLimit;
  if (*low >= *high) return RunRefusal::kLimitOrder;
  return std::nullopt;
}

}  // namespace cordshift
