#ifndef CORDSHIFT_BATCH_RUN_OBSERVER_H_
#define CORDSHIFT_BATCH_RUN_OBSERVER_H_

// What a conversion run tells while it works, step by step, as values. A
// front end turns these into what it shows (the presentation layer does so
// for the window and the command line).

#include <optional>
#include <string>

#include "batch/folder_listing.h"
#include "wiring/conversion_observer.h"
#include "wiring/file_report.h"

namespace cordshift {

// Why a run refused to start, in the order the checks are made.
enum class RunRefusal {
  kBlankModelName,
  kControlCharacterInModelName,  // CR, LF, tab or another control character
  kModelNameNotShiftJis,         // a character Shift-JIS cannot hold
  kLowerLimit,                   // not a number of 0 or more
  kUpperLimit,                   // not a number of 0 or more
  kLimitOrder,                   // the lower limit is not below the upper
  kSameFolder,                   // the source is the destination
  kOverlappingFolders,  // a destination folder is a folder of the source
};

class RunObserver : public ConversionObserver {
 public:
  virtual void Refused(RunRefusal refusal) = 0;
  // The inputs passed their checks: nothing is converted yet.
  virtual void InputsAccepted() = 0;
  virtual void AnalysisStarted() = 0;
  // The source tree could not be listed at `folder` (which may not exist);
  // the run ends.
  virtual void AnalysisFailed(const std::string& folder, bool exists) = 0;
  virtual void RunStarted(int folder_count) = 0;
  // A source folder of the tree could not be listed (`fault` names it);
  // the run ends.
  virtual void SourceListingFailed(const FileReport& fault) = 0;
  // A source folder with wiring files, listed in its turn. A listing that
  // stopped at a fault (listing.reading.fault) ends the run.
  virtual void SourceListed(const std::string& folder,
                            const FolderListing& listing) = 0;
  // The listed folder's files are about to be converted.
  virtual void FolderConversionStarted(const std::string& source_folder) = 0;
  // The destination folder could not be made or opened; the run ends.
  virtual void DestinationFailed(const FileReport& fault) = 0;
  // The destination folder, as opened, is a folder of the source tree
  // (a link put in its place since the run began); the run ends.
  virtual void DestinationIsSource(const std::string& destination_folder) = 0;
  // A folder's listing or conversion failed, at `fault` when one was
  // reported; the run ends.
  virtual void ConversionFailed(const std::optional<FileReport>& fault) = 0;
  // Every file of the folder was converted or skipped.
  virtual void FolderConverted(const std::string& source_folder) = 0;
  // The run has come this far: after each folder, converted or not.
  virtual void FolderDone(int folders_done, int folder_count) = 0;
  // The run has ended, however: completed, stopped or at a fault.
  virtual void RunEnded(bool completed) = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_RUN_OBSERVER_H_
