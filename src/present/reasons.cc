#include "present/reasons.h"

#include <string>

#include "platform/folder_path.h"
#include "wiring/wiring_file.h"

namespace cordshift {
namespace {

std::string HeaderLineDetail(int line) {
  switch (line) {
    case 1:
      return "line 1: the model name is blank";
    case 2:
      return "line 2: the date is not a date stamp (YYYYMMDDhhmmss)";
    case 3:
      return "line 3: the circuit count is not a number";
    default:
      break;
  }
  return "line 4: the terminal count is not a number";
}

std::string UnreadableDetail(const FileFault& fault) {
  if (fault.read_error != ReadError::kTooLarge) return "cannot be read";
  return "too large to process (" + std::to_string(fault.size) +
         " bytes; the limit is " + std::to_string(kMaxWiringFileSize) +
         " bytes)";
}

const char* RefusalReason(RunRefusal refusal) {
  switch (refusal) {
    case RunRefusal::kBlankModelName:
      return "refused: the model name is blank";
    case RunRefusal::kControlCharacterInModelName:
      return "refused: the model name contains a control character";
    case RunRefusal::kModelNameNotShiftJis:
      return "refused: the model name has a character that Shift-JIS cannot "
             "hold";
    case RunRefusal::kLowerLimit:
      return "refused: the lower limit is not a number of 0 or more";
    case RunRefusal::kUpperLimit:
      return "refused: the upper limit is not a number of 0 or more";
    case RunRefusal::kLimitOrder:
      return "refused: the lower limit is not below the upper limit";
    case RunRefusal::kSameFolder:
      return "refused: the source and destination are the same folder";
    case RunRefusal::kOverlappingFolders:
      break;
  }
  return "refused: a destination folder is a folder of the source tree, "
         "whose files would be replaced";
}

// A path below the source root is named from there, as the user sees the
// tree; any other path whole.
std::string PathInTree(const std::string& path, const std::string& root) {
  const std::string prefix = WithTrailingSeparator(root);
  return path.starts_with(prefix) && path.size() > prefix.size()
             ? path.substr(prefix.size())
             : path;
}

// The folder as the user typed it, without the separator the run adds.
std::string FolderFault(const std::string& folder, bool exists) {
  std::string shown = folder;
  if (shown.size() > 1 && EndsWithSeparator(shown)) shown.pop_back();
  return shown + (exists ? ": the folder cannot be read" : ": no such folder");
}

// A destination folder's fault says everything itself.
bool NamesItsFolder(FaultKind kind) {
  return kind == FaultKind::kFolderNotCreated ||
         kind == FaultKind::kFolderNotOpened;
}

}  // namespace

std::string FaultDetail(const FileFault& fault) {
  switch (fault.kind) {
    case FaultKind::kUnreadable:
      return UnreadableDetail(fault);
    case FaultKind::kInvalidHeader:
      return "invalid header";
    case FaultKind::kShortHeader:
      return "fewer than four lines";
    case FaultKind::kHeaderLine:
      return HeaderLineDetail(fault.line);
    case FaultKind::kMalformedRecord:
      return "malformed record at line " + std::to_string(fault.line);
    case FaultKind::kCommentUnreadable:
      return "cannot read the comment file " + fault.path + ": " +
             (fault.read_error == ReadError::kTooLarge ? "larger than 16 MiB"
                                                       : "not readable");
    case FaultKind::kDestinationCommentUnreadable:
      return "cannot read the comment file " + fault.path;
    case FaultKind::kCommentNotWritten:
      return "cannot write the comment file " + fault.path;
    case FaultKind::kNotWritten:
      return "cannot write " + fault.path + ": " +
             WriteErrorText(fault.write_error);
    case FaultKind::kFolderUnreadable:
      return "the folder cannot be read";
    case FaultKind::kFolderGone:
      return "the folder no longer exists";
    case FaultKind::kFolderNotCreated:
      return "cannot create the folder " + fault.path + ": " +
             FolderCreateErrorText(fault.create_error);
    case FaultKind::kWrittenFileDiffers:
      return "line " + std::to_string(fault.line) +
             " of the written file does not match its source";
    case FaultKind::kWrittenCommentDiffers:
      return "the comment of the written file does not match its source";
    case FaultKind::kWrittenFileUnreadable:
      return "cannot read back the written file " + fault.path;
    case FaultKind::kFolderNotOpened:
      break;
  }
  return "cannot open the destination folder " + fault.path;
}

std::string RunEndReason(const RunResult& result,
                         const std::string& source_root) {
  if (result.outcome != RunOutcome::kEndedEarly) return {};
  if (result.refusal) return RefusalReason(*result.refusal);
  if (result.unreadable_folder) {
    return FolderFault(*result.unreadable_folder,
                       result.unreadable_folder_exists);
  }
  if (result.destination_is_source) {
    return "the destination folder " + *result.destination_is_source +
           " is a folder of the source tree, whose files would be replaced; "
           "nothing was written there";
  }
  if (result.unexpected_failure) {
    return "unexpected failure: " + *result.unexpected_failure;
  }
  if (result.fault && result.fault->fault) {
    const std::string detail = FaultDetail(*result.fault->fault);
    if (NamesItsFolder(result.fault->fault->kind)) return detail;
    return PathInTree(result.fault->source, source_root) + ": " + detail;
  }
  return "the conversion ended early";
}

}  // namespace cordshift
