#ifndef CORDSHIFT_PRESENT_REASONS_H_
#define CORDSHIFT_PRESENT_REASONS_H_

// Faults and the ends of runs in plain English, for scripts and for readers
// of other languages than the window's, whose own texts say less.

#include <string>

#include "batch/conversion_run.h"
#include "wiring/file_report.h"

namespace cordshift {

// What a file's (or a folder's) fault was: "malformed record at line 7".
std::string FaultDetail(const FileFault& fault);

// Why a run ended early, as one line; a file's fault names the file from
// the source root. Empty when the run completed or was stopped.
std::string RunEndReason(const RunResult& result,
                         const std::string& source_root);

}  // namespace cordshift

#endif  // CORDSHIFT_PRESENT_REASONS_H_
