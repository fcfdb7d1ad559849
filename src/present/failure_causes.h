#ifndef CORDSHIFT_PRESENT_FAILURE_CAUSES_H_
#define CORDSHIFT_PRESENT_FAILURE_CAUSES_H_

// The line the window's failure box adds below its text: the file or
// folder, and what went wrong with it, in the window's language. The same
// facts as the command line's English reason.

#include <string>

#include "wiring/file_report.h"

namespace cordshift {

// "書き込めません: C:\locked\out\", "5 行目が正しくありません: C:\src\W1.lvd".
std::string FailureCause(const FileReport& fault);

// A folder of the source tree that could not be listed.
std::string FolderListingCause(const std::string& folder, bool exists);

}  // namespace cordshift

#endif  // CORDSHIFT_PRESENT_FAILURE_CAUSES_H_
