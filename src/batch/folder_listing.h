#ifndef CORDSHIFT_BATCH_FOLDER_LISTING_H_
#define CORDSHIFT_BATCH_FOLDER_LISTING_H_

// The listings of the source and destination folders (that folder only, not
// its subfolders) into lvSrc and lvDst, read the way the direction reads
// them. The folder picker is the window's; these take the chosen folder from
// the settings.

#include "batch/batch_state.h"
#include "settings/settings.h"
#include "wiring/conversion_view.h"

namespace cordshift {

enum class ListingOutcome {
  kListed,             // every file was read
  kEmpty,              // no wiring file in the folder (or no such folder)
  kReaderFailed,       // a file could not be read; earlier rows stay
  kEnumerationFailed,  // the folder could not be read; the list is unchanged
};

// A side's file list filled from the tree's last enumeration, with empty
// summaries.
void FillFromFoundFiles(const FolderTree& tree, WiringFileList& files);

// Lists settings.SrcDir into lvSrc: continuity files for Direction "0",
// hipot files otherwise.
ListingOutcome ListSourceFolder(ConversionView& view, const Settings& settings,
                                BatchState& state);

// Lists settings.DstDir into lvDst: hipot files for Direction "0",
// continuity files otherwise.
ListingOutcome ListDestinationFolder(ConversionView& view,
                                     const Settings& settings,
                                     BatchState& state);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_FOLDER_LISTING_H_
