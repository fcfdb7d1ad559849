#ifndef CORDSHIFT_CLI_VERIFY_REPORT_H_
#define CORDSHIFT_CLI_VERIFY_REPORT_H_

// What `cordshift-cli verify` prints of a tree comparison: a table of the
// files in the style of `list` with a summary line, or one JSON object.

#include <string>
#include <string_view>

#include "batch/tree_verification.h"

namespace cordshift {

// "match", "missing", "differs", "skipped", "fault" or "extra".
std::string_view VerifiedOutcomeWord(VerifiedOutcome outcome);

// True when every file matched or was passed over as a run would pass it
// over.
bool EveryFileMatches(const TreeVerification& verification);

// The table (File, Result, Detail; files named from their root), an empty
// line and the summary line: "12 files: 10 match, 1 differs, ...".
std::string VerifyReportText(const TreeVerification& verification,
                             const TreeVerificationOptions& options);

// {"result": "match" | "differs" | "failed", "reason" (when failed),
//  "files", "counts"}, on one line.
std::string VerifyReportJson(const TreeVerification& verification,
                             std::string_view reason);

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_VERIFY_REPORT_H_
