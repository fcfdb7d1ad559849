#include "batch/folder_listing.h"

#include <exception>
#include <optional>
#include <utility>

#include "batch/folder_tree.h"
#include "platform/folder_scan.h"

namespace cordshift {

SummaryReader SummaryReaderOf(Side side) {
  return side == Side::kContinuity ? &SummarizeContinuityFiles
                                   : &SummarizeHipotFiles;
}

FolderListing EnumerateFolder(const std::string& folder) {
  FolderListing listing;
  std::optional<WiringFileList> found =
      ListWiringFiles(folder, kWiringExtension);
  if (!found) {
    listing.outcome = ListingOutcome::kEnumerationFailed;
  } else if (found->empty()) {
    listing.outcome = FolderExists(folder) ? ListingOutcome::kEmpty
                                           : ListingOutcome::kNoSuchFolder;
  } else {
    listing.outcome = ListingOutcome::kListed;
    listing.files = std::move(*found);
  }
  return listing;
}

void ReadSummaries(FolderListing& listing, Side side,
                   WiringWorkspace& workspace, ListingObserver& observer,
                   KeptSources* keep) {
  observer.ReadingStarted();
  if (keep != nullptr) keep->StartFolder(FileCount(listing.files));
  listing.reading =
      SummaryReaderOf(side)(listing.files, workspace, keep, observer);
  listing.outcome = listing.reading.complete() ? ListingOutcome::kListed
                                               : ListingOutcome::kReaderFailed;
}

FolderListing ListFolder(const std::string& folder, Side side,
                         WiringWorkspace& workspace, ListingObserver& observer,
                         KeptSources* keep) {
  try {
    FolderListing listing = EnumerateFolder(folder);
    if (listing.outcome == ListingOutcome::kListed) {
      ReadSummaries(listing, side, workspace, observer, keep);
    }
    return listing;
  } catch (const std::exception&) {
    FolderListing failed;
    failed.outcome = ListingOutcome::kReaderFailed;
    return failed;
  }
}

}  // namespace cordshift
