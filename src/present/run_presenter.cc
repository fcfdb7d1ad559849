#include "present/run_presenter.h"

#include <iterator>
#include <memory>
#include <utility>

#include "present/failure_causes.h"
#include "present/texts.h"

namespace cordshift {
namespace {

// The name of a wiring file (without its folder and its four-character
// extension, however it is spelled), as the lists show it.
std::string WiringFileName(const std::string& path) {
  constexpr std::size_t kExtensionLength = std::size(kWiringExtension) - 1;
  const std::size_t start = path.find_last_of("/\\") + 1;
  const std::size_t length = path.size() - start;
  return path.substr(
      start, length >= kExtensionLength ? length - kExtensionLength : length);
}

bool IsWrittenFileFault(FaultKind kind) {
  return kind == FaultKind::kWrittenFileDiffers ||
         kind == FaultKind::kWrittenCommentDiffers ||
         kind == FaultKind::kWrittenFileUnreadable;
}

}  // namespace

void RunPresenter::Warn(const std::string& text) {
  display_.ShowMessage(text, MessageIcon::kExclamation);
}

void RunPresenter::ShowCount() {
  display_.SetConvertedCount(std::to_string(converted_));
}

void RunPresenter::Refused(RunRefusal refusal) {
  Warn(RefusalMessage(refusal, direction_));
}

void RunPresenter::InputsAccepted() {
  converted_ = 0;
  ShowCount();
}

void RunPresenter::AnalysisStarted() { display_.ShowGuide(kAnalysingGuide); }

void RunPresenter::AnalysisFailed(const std::string& folder, bool exists) {
  display_.ShowGuide(kAnalysisFailedGuide);
  display_.ShowAnalysisFailure(kAnalysisFailedGuide,
                               FolderListingCause(folder, exists));
}

void RunPresenter::RunStarted(int folder_count) {
  display_.ShowGuide(RunTextsOf(direction_).start_text);
  display_.ShowRunProgress(0, folder_count);
}

void RunPresenter::SourceListingFailed(const FileReport& fault) {
  display_.ReportFile(fault);
  display_.ShowGuide(kEnumerationFailedGuide);
}

void RunPresenter::SourceListed(const std::string& /*folder*/,
                                const FolderListing& listing) {
  const SummaryReading& reading = listing.reading;
  display_.ShowList(
      ListId::kSource,
      std::make_shared<const ListRows>(
          RowStyle::kListing, ListingRows(listing.files, reading.files_read)));
  if (reading.fault) display_.ReportFile(*reading.fault);
  if (reading.stopped) return;
  const ListingTexts& texts =
      ListingTextsOf(ListId::kSource, SourceSideOf(direction_));
  if (reading.fault) {
    // Converting a folder whose listing failed would pass over the failing
    // file and every file after it while reporting success.
    display_.ShowGuide(texts.failed_text);
    display_.ShowFailure(ConversionFailedMessage(direction_),
                         FailureCause(*reading.fault));
    return;
  }
  display_.ShowGuide(texts.listed_text);
}

void RunPresenter::FolderConversionStarted(const std::string& source_folder) {
  display_.ShowGuide(ConvertingFolderGuide(source_folder));
  destination_list_pending_ = true;
}

void RunPresenter::StartDestinationList() {
  if (!destination_list_pending_) return;
  destination_list_pending_ = false;
  written_.clear();
  destination_list_changed_ = true;
}

void RunPresenter::ShowDestinationList() {
  StartDestinationList();
  if (!destination_list_changed_) return;
  destination_list_changed_ = false;
  display_.ShowList(ListId::kDestination, std::make_shared<const ListRows>(
                                              RowStyle::kConverted, written_));
}

void RunPresenter::DestinationFailed(const FileReport& fault) {
  destination_list_pending_ = false;
  display_.ReportFile(fault);
  display_.ShowGuide(kRunAbortedGuide);
  display_.ShowFailure(ConversionFailedMessage(direction_),
                       FailureCause(fault));
}

void RunPresenter::DestinationIsSource(
    const std::string& /*destination_folder*/) {
  destination_list_pending_ = false;
  Warn(RefusalMessage(RunRefusal::kOverlappingFolders, direction_));
  display_.ShowGuide(kRunAbortedGuide);
}

void RunPresenter::ConversionFailed(const std::optional<FileReport>& fault) {
  if (fault) {
    display_.ShowFailure(ConversionFailedMessage(direction_),
                         FailureCause(*fault));
  } else {
    Warn(ConversionFailedMessage(direction_));
  }
}

void RunPresenter::FolderConverted(const std::string& source_folder) {
  ShowDestinationList();
  ShowCount();
  display_.ShowGuide(FolderConvertedGuide(source_folder));
}

void RunPresenter::FolderDone(int folders_done, int folder_count) {
  display_.ShowRunProgress(folders_done, folder_count);
}

void RunPresenter::RunEnded(bool completed) {
  ShowDestinationList();
  if (completed) display_.ShowGuide(RunTextsOf(direction_).finish_text);
}

void RunPresenter::FileStarted(int file_number) {
  StartDestinationList();
  display_.ShowGuide(ConvertingFileGuide(file_number));
}

void RunPresenter::FileDone(int file_number, const FileReport& report) {
  StartDestinationList();
  switch (report.outcome) {
    case FileOutcome::kConverted: {
      written_.push_back({static_cast<int>(written_.size()) + 1,
                          WiringFileName(report.source), report.written});
      destination_list_changed_ = true;
      ++converted_;
      // The count follows every file written, so that a run that stops
      // later still counts what it left on the disk.
      ShowCount();
      break;
    }
    case FileOutcome::kFault:
      if (report.fault && report.fault->kind == FaultKind::kHeaderLine) {
        Warn(HeaderFaultMessage(file_number, report.fault->line));
      }
      if (report.fault && IsWrittenFileFault(report.fault->kind)) {
        Warn(WrittenFileFaultMessage(file_number));
      }
      break;
    case FileOutcome::kSkippedExists:
    case FileOutcome::kSkippedSameName:
    case FileOutcome::kSkippedSingleEnded:
    case FileOutcome::kSkippedNoCircuits:
      break;
  }
  display_.ReportFile(report);
}

void RunPresenter::FolderAborted() {
  ShowDestinationList();
  display_.ShowGuide(kRunAbortedGuide);
}

}  // namespace cordshift
