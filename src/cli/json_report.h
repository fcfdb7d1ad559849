#ifndef CORDSHIFT_CLI_JSON_REPORT_H_
#define CORDSHIFT_CLI_JSON_REPORT_H_

// The machine-readable output of the command line: one JSON object per run
// with what the window would have shown, plus the outcome of every file.
// Texts are the system's own UTF-8 texts, non-ASCII kept raw.

#include <string>
#include <string_view>

#include "batch/conversion_run.h"
#include "batch/folder_listing.h"
#include "wiring/conversion_view.h"
#include "wiring/recording_view.h"

namespace cordshift {

// "completed" or "failed".
std::string_view RunResultWord(RunOutcome outcome);
// "listed", "empty" or "failed".
std::string_view ListingResultWord(ListingOutcome outcome);

// {"result", "guide", "messages", "source_rows", "destination_rows",
//  "converted", "files"}, on one line.
std::string ConvertReportJson(RunOutcome outcome, const RecordingView& view);

// {"result", "guide", "messages", "rows"} with the rows of lvSrc.
std::string ListReportJson(ListingOutcome outcome, const RecordingView& view);

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_JSON_REPORT_H_
