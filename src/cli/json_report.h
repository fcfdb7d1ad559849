#ifndef CORDSHIFT_CLI_JSON_REPORT_H_
#define CORDSHIFT_CLI_JSON_REPORT_H_

// The machine-readable output of the command line: one JSON object per run
// with what the window would have shown, plus the outcome of every file.
// Texts are the system's own UTF-8 texts, non-ASCII kept raw.

#include <string>
#include <string_view>

#include "batch/conversion_run.h"
#include "batch/folder_listing.h"
#include "present/recording_display.h"
#include "wiring/file_report.h"

namespace cordshift {

// "completed", "stopped" or "failed".
std::string_view RunResultWord(RunOutcome outcome);
// "listed", "empty" or "failed".
std::string_view ListingResultWord(ListingOutcome outcome);
// Why a file was skipped: "exists", "same-name", "single-ended" or
// "no-circuits" (the last for any outcome that is no skip).
std::string_view SkipReasonWord(FileOutcome outcome);

// {"result", "reason", "guide", "messages", "source_rows",
//  "destination_rows", "converted", "verified", "files"}, on one line;
// "reason" only when the run did not complete.
std::string ConvertReportJson(const RunResult& result, std::string_view reason,
                              const RecordingDisplay& view);

// {"result", "reason", "guide", "messages", "rows"} with the rows of the source
// list; "reason" only when it is not empty.
std::string ListReportJson(ListingOutcome outcome, std::string_view reason,
                           const RecordingDisplay& view);

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_JSON_REPORT_H_
