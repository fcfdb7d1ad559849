#ifndef CORDSHIFT_BATCH_FOLDER_LISTING_H_
#define CORDSHIFT_BATCH_FOLDER_LISTING_H_

// The listings of the source and destination folders (that folder only, not
// its subfolders) into lvSrc and lvDst, read the way the direction reads
// them. The folder picker is the window's; these take the chosen folder from
// the caller.

#include <string>

#include "batch/batch_state.h"
#include "wiring/conversion_view.h"
#include "wiring/direction.h"

namespace cordshift {

enum class ListingOutcome {
  kListed,             // every file was read
  kEmpty,              // no wiring file in the folder
  kNoSuchFolder,       // the folder does not exist (shown as empty)
  kReaderFailed,       // a file could not be read; earlier rows stay
  kEnumerationFailed,  // the folder could not be read; the list is unchanged
};

// Lists the source folder into lvSrc, read as the side the direction
// reads.
ListingOutcome ListSourceFolder(ConversionView& view, Direction direction,
                                const std::string& folder, BatchState& state);

// Lists the destination folder into lvDst, read as the side the direction
// writes.
ListingOutcome ListDestinationFolder(ConversionView& view, Direction direction,
                                     const std::string& folder,
                                     BatchState& state);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_FOLDER_LISTING_H_
