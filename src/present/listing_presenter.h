#ifndef CORDSHIFT_PRESENT_LISTING_PRESENTER_H_
#define CORDSHIFT_PRESENT_LISTING_PRESENTER_H_

// A folder's listing into one of the window's lists, as the window shows
// it: the guidance texts while it reads and when it is done, the rows, and
// a message when the folder cannot be read.

#include <string>

#include "batch/folder_listing.h"
#include "present/display.h"
#include "wiring/direction.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

// Lists `folder` into `list` as `side`'s files, shown on `display`.
ListingOutcome ShowFolderListing(Display& display, ListId list, Side side,
                                 const std::string& folder,
                                 WiringWorkspace& workspace);

// The side whose files a list shows in a direction.
Side SideOfList(ListId list, Direction direction);

}  // namespace cordshift

#endif  // CORDSHIFT_PRESENT_LISTING_PRESENTER_H_
