#ifndef CORDSHIFT_BATCH_FOLDER_LISTING_H_
#define CORDSHIFT_BATCH_FOLDER_LISTING_H_

// The listing of one folder (that folder only, not its subfolders): its
// wiring files with their summaries, read as one side's files. The folder
// picker is the window's; this takes the chosen folder from the caller.

#include <string>

#include "wiring/direction.h"
#include "wiring/kept_sources.h"
#include "wiring/stop_check.h"
#include "wiring/summaries.h"
#include "wiring/wiring_file_list.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

enum class ListingOutcome {
  kListed,             // every file was read
  kEmpty,              // no wiring file in the folder
  kNoSuchFolder,       // the folder does not exist
  kReaderFailed,       // a file could not be read, or a stop was asked for
  kEnumerationFailed,  // the folder could not be read
};

struct FolderListing {
  ListingOutcome outcome = ListingOutcome::kEmpty;
  WiringFileList files;    // with the summaries read
  SummaryReading reading;  // how far the summaries came
};

// Told when the summaries start being read, so that a front end can say
// so; asked whether to stop between files.
class ListingObserver : public StopCheck {
 public:
  virtual void ReadingStarted() {}
};

// The summary reader of a side.
SummaryReader SummaryReaderOf(Side side);

// Lists `folder` as `side`'s files. With `keep`, the bytes read are kept
// for a conversion that follows.
FolderListing ListFolder(const std::string& folder, Side side,
                         WiringWorkspace& workspace, ListingObserver& observer,
                         KeptSources* keep = nullptr);

// The two steps of ListFolder. The files of the folder, without their
// summaries: kListed when there are files to read.
FolderListing EnumerateFolder(const std::string& folder);
// Reads the summaries of the files enumerated.
void ReadSummaries(FolderListing& listing, Side side,
                   WiringWorkspace& workspace, ListingObserver& observer,
                   KeptSources* keep);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_FOLDER_LISTING_H_
