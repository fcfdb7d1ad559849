#include "present/reasons.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/folder_path.h"

namespace cordshift {
namespace {

// Every fault in the words of the command line's reports.
TEST(FaultDetailTest, NamesEveryKindOfFault) {
  const struct {
    FileFault fault;
    std::string detail;
  } kCases[] = {
      {ReadFault(FaultKind::kUnreadable, ReadError::kCannotRead, 0),
       "cannot be read"},
      {ReadFault(FaultKind::kUnreadable, ReadError::kTooLarge, 5000000000),
       "too large to process (5000000000 bytes; the limit is 4294967296 "
       "bytes)"},
      {KindFault(FaultKind::kInvalidHeader), "invalid header"},
      {KindFault(FaultKind::kShortHeader), "fewer than four lines"},
      {LineFault(FaultKind::kHeaderLine, 1), "line 1: the model name is blank"},
      {LineFault(FaultKind::kHeaderLine, 2),
       "line 2: the date is not a date stamp (YYYYMMDDhhmmss)"},
      {LineFault(FaultKind::kHeaderLine, 3),
       "line 3: the circuit count is not a number"},
      {LineFault(FaultKind::kHeaderLine, 4),
       "line 4: the terminal count is not a number"},
      {LineFault(FaultKind::kMalformedRecord, 7), "malformed record at line 7"},
      {ReadFault(FaultKind::kCommentUnreadable, ReadError::kTooLarge, 0,
                 "/s/W.ini"),
       "cannot read the comment file /s/W.ini: larger than 16 MiB"},
      {ReadFault(FaultKind::kCommentUnreadable, ReadError::kCannotRead, 0,
                 "/s/W.ini"),
       "cannot read the comment file /s/W.ini: not readable"},
      {PathFault(FaultKind::kDestinationCommentUnreadable, "/d/W.ini"),
       "cannot read the comment file /d/W.ini"},
      {PathFault(FaultKind::kCommentNotWritten, "/d/W.ini"),
       "cannot write the comment file /d/W.ini"},
      {WriteFault("/d/W.lvd", WriteError::kReadOnlyTarget),
       "cannot write /d/W.lvd: the file is read-only"},
      {KindFault(FaultKind::kFolderUnreadable), "the folder cannot be read"},
      {KindFault(FaultKind::kFolderGone), "the folder no longer exists"},
      {FolderCreateFault("/d/x", FolderCreateError::kReadOnlyFileSystem),
       "cannot create the folder /d/x: the file system is read-only"},
      {PathFault(FaultKind::kFolderNotOpened, "/d/x/"),
       "cannot open the destination folder /d/x/"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FaultDetail(c.fault), c.detail);
  }
}

RunResult EndedEarly() {
  RunResult result;
  result.outcome = RunOutcome::kEndedEarly;
  return result;
}

// Why a run ended, one cause at a time; a file is named from the source
// root, a folder of the destination by itself.
TEST(RunEndReasonTest, NamesTheCauseOfTheEnd) {
  const std::string root = WithTrailingSeparator("/data/src");
  const std::string file = root + "B" + kFolderSeparator + "W.lvd";
  RunResult refused = EndedEarly();
  refused.refusal = RunRefusal::kLimitOrder;
  RunResult unreadable = EndedEarly();
  unreadable.unreadable_folder = root;
  RunResult missing = unreadable;
  missing.unreadable_folder_exists = false;
  unreadable.unreadable_folder_exists = true;
  RunResult file_fault = EndedEarly();
  file_fault.fault =
      FaultReport(file, LineFault(FaultKind::kMalformedRecord, 5));
  RunResult folder_fault = EndedEarly();
  folder_fault.fault = FaultReport(
      root, FolderCreateFault("/d/B", FolderCreateError::kPermissionDenied));
  RunResult source_as_destination = EndedEarly();
  source_as_destination.destination_is_source = "/d/B/";
  RunResult unexpected = EndedEarly();
  unexpected.unexpected_failure = "std::bad_alloc";
  RunResult completed;
  RunResult stopped;
  stopped.outcome = RunOutcome::kStopped;

  const struct {
    const char* what;
    RunResult result;
    std::string reason;
  } kCases[] = {
      {"refused", refused,
       "refused: the lower limit is not below the upper limit"},
      {"unreadable root", unreadable, "/data/src: the folder cannot be read"},
      {"missing root", missing, "/data/src: no such folder"},
      {"file fault", file_fault,
       std::string("B") + kFolderSeparator +
           "W.lvd: malformed record at line 5"},
      {"destination folder", folder_fault,
       "cannot create the folder /d/B: permission denied"},
      {"destination is a source folder", source_as_destination,
       "the destination folder /d/B/ is a folder of the source tree, whose "
       "files would be replaced; nothing was written there"},
      {"unexpected", unexpected, "unexpected failure: std::bad_alloc"},
      {"no cause", EndedEarly(), "the conversion ended early"},
      {"completed", completed, ""},
      {"stopped", stopped, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(RunEndReason(c.result, root), c.reason) << c.what;
  }
}

}  // namespace
}  // namespace cordshift
