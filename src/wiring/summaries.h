#ifndef CORDSHIFT_WIRING_SUMMARIES_H_
#define CORDSHIFT_WIRING_SUMMARIES_H_

// Per-file summaries of one folder's wiring files: circuits, distinct
// terminals, single-ended circuits and the highest terminal, stored in the
// folder's WiringFileList and shown one row per file in a list.

#include "wiring/conversion_view.h"
#include "wiring/wiring_file_list.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

// The shape of both summary readers, for callers that pick one by side.
using SummaryReader = bool (*)(ConversionView& view, ListId list,
                               WiringFileList& files,
                               WiringWorkspace& workspace);

// Summarises continuity files. A file without any counted terminal gets no
// row and no stored values. Stops at the first fault (no message) and
// returns false; rows and values of earlier files stay.
bool ListLoomvantageFiles(ConversionView& view, ListId list,
                          WiringFileList& files, WiringWorkspace& workspace);

// Summarises hipot files, one row per file. Stops at the first fault (no
// message) and returns false; rows and values of earlier files stay.
bool ListHipotFiles(ConversionView& view, ListId list, WiringFileList& files,
                    WiringWorkspace& workspace);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_SUMMARIES_H_
