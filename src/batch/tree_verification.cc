#include "batch/tree_verification.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "batch/folder_listing.h"
#include "batch/folder_tree.h"
#include "platform/codepage.h"
#include "platform/folder_path.h"
#include "platform/folder_scan.h"
#include "platform/ini_access.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "platform/utf8.h"
#include "wiring/companion.h"
#include "wiring/kept_sources.h"
#include "wiring/wiring_file.h"
#include "wiring/wiring_workspace.h"
#include "wiring/written_names.h"

namespace cordshift {
namespace {

class NeverStop : public ListingObserver {
 public:
  bool StopRequested() const override { return false; }
};

// Every file of a folder as its listing reads it: its summary, its bytes
// (read once, for the comparison too) or the fault that stops a listing
// there. A run's listing ends at the first faulty file; a comparison reads
// on past it.
struct FolderRead {
  std::vector<std::optional<FileFault>> faults;
  std::vector<std::optional<std::string>> contents;
  std::vector<std::optional<ListedTerminals>> terminals;
};

FolderRead ReadEveryFile(WiringFileList& files, Side side,
                         WiringWorkspace& workspace) {
  FolderRead read;
  read.faults.resize(files.size());
  read.contents.resize(files.size());
  read.terminals.resize(files.size());
  const SummaryReader summarize = SummaryReaderOf(side);
  const NeverStop never;
  std::size_t first = 0;
  while (first < files.size()) {
    WiringFileList rest(files.begin() + static_cast<std::ptrdiff_t>(first),
                        files.end());
    KeptSources kept;
    kept.StartFolder(FileCount(rest));
    const SummaryReading reading = summarize(rest, workspace, &kept, never);
    for (std::size_t index = 0; index < rest.size(); ++index) {
      files[first + index] = std::move(rest[index]);
      read.contents[first + index] = kept.Take(static_cast<int>(index) + 1);
      read.terminals[first + index] =
          kept.TakeTerminals(static_cast<int>(index) + 1);
    }
    if (!reading.fault) break;
    const std::size_t faulty =
        first + static_cast<std::size_t>(reading.files_read);
    read.faults[faulty] = reading.fault->fault;
    first = faulty + 1;
  }
  return read;
}

// How a destination path is told apart from others: as spelled, or where
// the system takes names without regard to letter case, folded as a run's
// written names are.
std::u32string PathKey(std::string_view path) {
  if (NamesIgnoreCaseOnThisSystem()) return FoldedNameKey(path);
  return std::u32string(path.begin(), path.end());  // byte by byte
}

class TreeComparison {
 public:
  explicit TreeComparison(const TreeVerificationOptions& options)
      : options_(options), source_side_(SourceSideOf(options.direction)) {}

  TreeVerification Run() {
    if (const std::optional<RunRefusal> refusal = CheckInputs()) {
      result_.refusal = refusal;
      return std::move(result_);
    }
    if (IsSameFolder(options_.source_root, options_.destination_root)) {
      result_.refusal = RunRefusal::kSameFolder;
      return std::move(result_);
    }
    const FolderAnalysis tree =
        AnalyzeFolderTree(options_.source_root, options_.destination_root);
    if (!tree.ok()) {
      result_.unreadable_folder = tree.unreadable_folder;
      result_.unreadable_folder_exists = FolderExists(tree.unreadable_folder);
      return std::move(result_);
    }
    CompareFolders(tree.folders);
    for (const VerifiedFile& file : result_.files) {
      mapped_.insert(PathKey(file.destination));
    }
    FindExtraFiles();
    return std::move(result_);
  }

 private:
  std::optional<RunRefusal> CheckInputs() {
    expectation_.direction = options_.direction;
    expectation_.notation = options_.notation;
    if (options_.model_name) {
      if (const std::optional<RunRefusal> refusal =
              CheckModelName(*options_.model_name)) {
        return refusal;
      }
      expectation_.model_name = Utf8ToCp932(TrimSpaces(*options_.model_name));
    }
    if (options_.lower && !IsLimit(*options_.lower)) {
      return RunRefusal::kLowerLimit;
    }
    if (options_.upper && !IsLimit(*options_.upper)) {
      return RunRefusal::kUpperLimit;
    }
    if (options_.lower && options_.upper) {
      if (const std::optional<RunRefusal> refusal =
              CheckLimits(*options_.lower, *options_.upper)) {
        return refusal;
      }
    }
    // The limits are written as Shift-JIS text; the checks above let only
    // numbers, which are the same bytes in both, through.
    if (options_.lower) expectation_.lower = TrimSpaces(*options_.lower);
    if (options_.upper) expectation_.upper = TrimSpaces(*options_.upper);
    return std::nullopt;
  }

  // Compares the folders on two threads, each taking the next folder not
  // yet taken: a comparison costs its reads, which a second core halves.
  // The files come out in the order of the folders.
  void CompareFolders(const std::vector<FolderPair>& folders) {
    std::vector<std::vector<VerifiedFile>> compared(folders.size());
    std::atomic<std::size_t> next{0};
    const auto compare = [&](WiringWorkspace& workspace) {
      for (std::size_t folder = next++; folder < folders.size();
           folder = next++) {
        CompareFolder(folders[folder], workspace, compared[folder]);
      }
    };
    std::exception_ptr second_failure;
    std::thread second;
    if (folders.size() > 1 && std::thread::hardware_concurrency() > 1) {
      second = std::thread([&] {
        try {
          WiringWorkspace workspace;
          compare(workspace);
        } catch (...) {
          second_failure = std::current_exception();
          next = folders.size();
        }
      });
    }
    try {
      compare(workspace_);
    } catch (...) {
      next = folders.size();
      if (second.joinable()) second.join();
      throw;
    }
    if (second.joinable()) second.join();
    if (second_failure) std::rethrow_exception(second_failure);
    for (std::vector<VerifiedFile>& files : compared) {
      std::move(files.begin(), files.end(), std::back_inserter(result_.files));
    }
  }

  void CompareFolder(const FolderPair& folder, WiringWorkspace& workspace,
                     std::vector<VerifiedFile>& files) const {
    FolderListing listing = EnumerateFolder(folder.source);
    if (listing.outcome == ListingOutcome::kEnumerationFailed ||
        listing.outcome == ListingOutcome::kNoSuchFolder) {
      VerifiedFile& fault = Add(files, folder.source, folder.destination);
      fault.outcome = VerifiedOutcome::kFault;
      fault.fault = KindFault(listing.outcome == ListingOutcome::kNoSuchFolder
                                  ? FaultKind::kFolderGone
                                  : FaultKind::kFolderUnreadable);
      return;
    }
    if (listing.outcome != ListingOutcome::kListed) return;
    FolderRead read = ReadEveryFile(listing.files, source_side_, workspace);
    WrittenNames names;
    CompanionReader companions;
    for (std::size_t index = 0; index < listing.files.size(); ++index) {
      const WiringFile& file = listing.files[index];
      VerifiedFile& verified =
          Add(files, file.WiringPath(),
              folder.destination + file.name + kWiringExtension);
      if (read.faults[index]) {
        Fault(verified, *read.faults[index]);
        continue;
      }
      std::optional<std::string>& content = read.contents[index];
      if (!content) {
        FileRead again = ReadWiringFile(file.WiringPath());
        if (!again.ok()) {
          Fault(verified,
                ReadFault(FaultKind::kUnreadable, again.error, again.size));
          continue;
        }
        content = std::move(again.content);
      }
      const std::optional<ListedTerminals>& terminals = read.terminals[index];
      CompareFile(file, *content, terminals ? &*terminals : nullptr, folder,
                  names, companions, verified);
    }
  }

  // One source file as a run would take it: its header checked, passed
  // over where a run passes it over, else compared with its destination
  // and its comment with the destination's.
  void CompareFile(const WiringFile& file, std::string_view content,
                   const ListedTerminals* listed, const FolderPair& folder,
                   WrittenNames& names, CompanionReader& companions,
                   VerifiedFile& verified) const {
    LineReader lines(content);
    const std::optional<WiringHeader> header = ReadWiringHeader(lines);
    if (!header) return Fault(verified, KindFault(FaultKind::kShortHeader));
    if (const int line = RefusedHeaderLine(*header)) {
      return Fault(verified, LineFault(FaultKind::kHeaderLine, line));
    }
    if (file.summary.single_ended != 0) {
      return Skip(verified, FileOutcome::kSkippedSingleEnded);
    }
    if (file.summary.circuits <= 0) {
      return Skip(verified, FileOutcome::kSkippedNoCircuits);
    }
    if (names.Contains(file.name) ||
        (NamesIgnoreCaseOnThisSystem() && names.HasOtherSpelling(file.name))) {
      return Skip(verified, FileOutcome::kSkippedSameName);
    }
    names.Add(file.name);

    const FileRead converted =
        ReadFileUpTo(PathFromUtf8(verified.destination), kMaxWiringFileSize);
    if (converted.error == ReadError::kMissing) {
      verified.outcome = VerifiedOutcome::kMissing;
      return;
    }
    if (!converted.ok()) {
      return Fault(verified,
                   ReadFault(FaultKind::kWrittenFileUnreadable, converted.error,
                             converted.size, verified.destination));
    }
    if (std::optional<Mismatch> mismatch = CompareConvertedFile(
            content, converted.content, expectation_, listed)) {
      if (mismatch->kind == MismatchKind::kSourceLine) {
        return Fault(verified, LineFault(FaultKind::kMalformedRecord,
                                         mismatch->source_line));
      }
      return Differs(verified, std::move(*mismatch));
    }
    const CompanionComment comment = companions.Read(file);
    if (comment.file && comment.error != ReadError::kNone) {
      return Fault(verified,
                   ReadFault(FaultKind::kCommentUnreadable, comment.error, 0,
                             PathToUtf8(*comment.file)));
    }
    if (!comment.value) return;
    const std::string companion =
        folder.destination + file.name + kCompanionExtension;
    const FileRead found =
        ReadFileUpTo(PathFromUtf8(companion), kMaxIniFileSize);
    const std::optional<std::string> found_comment =
        found.ok()
            ? FindProfileValue(found.content, kCommentSection, kCommentKey)
            : std::nullopt;
    if (found_comment != comment.value) {
      Mismatch mismatch;
      mismatch.kind = MismatchKind::kComment;
      mismatch.expected = *comment.value;
      mismatch.found = found_comment.value_or("");
      Differs(verified, std::move(mismatch));
    }
  }

  // The wiring files of the destination tree that no source file maps to.
  void FindExtraFiles() {
    const FolderAnalysis tree =
        AnalyzeFolderTree(options_.destination_root, options_.source_root);
    for (const FolderPair& folder : tree.folders) {
      const std::optional<WiringFileList> files =
          ListWiringFiles(folder.source, kWiringExtension);
      if (!files) continue;
      for (const WiringFile& file : *files) {
        const std::string path = file.WiringPath();
        if (mapped_.contains(PathKey(path))) continue;
        VerifiedFile& extra = Add(result_.files, {}, path);
        extra.outcome = VerifiedOutcome::kExtra;
      }
    }
  }

  static VerifiedFile& Add(std::vector<VerifiedFile>& files, std::string source,
                           std::string destination) {
    VerifiedFile& file = files.emplace_back();
    file.source = std::move(source);
    file.destination = std::move(destination);
    return file;
  }

  static void Fault(VerifiedFile& file, FileFault fault) {
    file.outcome = VerifiedOutcome::kFault;
    file.fault = std::move(fault);
  }
  static void Skip(VerifiedFile& file, FileOutcome why) {
    file.outcome = VerifiedOutcome::kSkipped;
    file.skip = why;
  }
  static void Differs(VerifiedFile& file, Mismatch mismatch) {
    file.outcome = VerifiedOutcome::kDiffers;
    file.mismatch = std::move(mismatch);
  }

  const TreeVerificationOptions& options_;
  const Side source_side_;
  ConversionExpectation expectation_;
  WiringWorkspace workspace_;
  std::set<std::u32string> mapped_;  // PathKey of every destination mapped to
  TreeVerification result_;
};

}  // namespace

TreeVerification VerifyTree(const TreeVerificationOptions& options) {
  return TreeComparison(options).Run();
}

}  // namespace cordshift
