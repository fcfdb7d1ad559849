#ifndef CORDSHIFT_WIRING_FILE_REPORT_H_
#define CORDSHIFT_WIRING_FILE_REPORT_H_

// What became of one source wiring file (or, for a folder's fault, of its
// folder), as values: the outcome, the destination and its summary, and a
// fault's kind with the facts that name it. Front ends turn these into
// their own words.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/folder_scan.h"
#include "platform/text_file.h"
#include "wiring/wiring_file_list.h"

namespace cordshift {

enum class FileOutcome {
  kConverted,           // written (or, in a dry run, would be written)
  kSkippedExists,       // the destination exists and overwriting is off
  kSkippedSameName,     // this run wrote the destination from another source
                        // (names that differ only in letter case)
  kSkippedSingleEnded,  // the file has single-ended circuits
  kSkippedNoCircuits,   // the file has no circuits
  kFault,               // the fault that stopped the listing or conversion
};

enum class FaultKind {
  kUnreadable,         // the wiring file: read_error, size
  kInvalidHeader,      // the header as a listing checks it
  kShortHeader,        // fewer than four lines
  kHeaderLine,         // header line `line` (1 to 4) as a conversion checks it
  kMalformedRecord,    // record line `line`
  kCommentUnreadable,  // the source's comment file `path`: read_error
  kDestinationCommentUnreadable,  // the destination's comment file `path`
  kCommentNotWritten,             // the destination's comment file `path`
  kNotWritten,                    // the file `path`: write_error
  kFolderUnreadable,              // the source folder
  kFolderGone,                    // the source folder, gone since analysed
  kFolderNotCreated,              // the folder `path`: create_error
  kFolderNotOpened,               // the destination folder `path`
  // The file `path` as written, read back, does not say what its source
  // says from line `line` on (or misses that line).
  kWrittenFileDiffers,
  kWrittenCommentDiffers,  // the comment of the comment file `path`
  kWrittenFileUnreadable,  // the file `path` read back: read_error
};

struct FileFault {
  FaultKind kind = FaultKind::kUnreadable;
  int line = 0;
  ReadError read_error = ReadError::kNone;
  std::uint64_t size = 0;  // of a file too large
  WriteError write_error = WriteError::kNone;
  FolderCreateError create_error = FolderCreateError::kNone;
  std::string path;

  bool operator==(const FileFault&) const = default;
};

struct FileReport {
  std::string source;  // the source wiring file, or its folder
  FileOutcome outcome = FileOutcome::kConverted;
  std::string destination;  // the destination wiring file, when converted
  std::optional<FileFault> fault;  // with kFault
  FileSummary written;             // the destination's summary, when converted
  // Converted: read back and found to say what the source says.
  bool verified = false;
  // Converted: the destination held the very bytes (and comment) the
  // conversion makes, and was left as it was.
  bool unchanged = false;

  bool operator==(const FileReport&) const = default;
};

// Faults by what names them.
inline FileFault KindFault(FaultKind kind) {
  FileFault fault;
  fault.kind = kind;
  return fault;
}
inline FileFault LineFault(FaultKind kind, int line) {
  FileFault fault = KindFault(kind);
  fault.line = line;
  return fault;
}
inline FileFault PathFault(FaultKind kind, std::string path) {
  FileFault fault = KindFault(kind);
  fault.path = std::move(path);
  return fault;
}
inline FileFault ReadFault(FaultKind kind, ReadError error, std::uint64_t size,
                           std::string path = {}) {
  FileFault fault = PathFault(kind, std::move(path));
  fault.read_error = error;
  fault.size = size;
  return fault;
}
inline FileFault WriteFault(std::string path, WriteError error) {
  FileFault fault = PathFault(FaultKind::kNotWritten, std::move(path));
  fault.write_error = error;
  return fault;
}
inline FileFault FolderCreateFault(std::string folder,
                                   FolderCreateError error) {
  FileFault fault = PathFault(FaultKind::kFolderNotCreated, std::move(folder));
  fault.create_error = error;
  return fault;
}

// A fault of `source` as a report.
inline FileReport FaultReport(std::string source, FileFault fault) {
  FileReport report;
  report.source = std::move(source);
  report.outcome = FileOutcome::kFault;
  report.fault = std::move(fault);
  return report;
}

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_FILE_REPORT_H_
