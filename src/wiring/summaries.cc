#include "wiring/summaries.h"

#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sjis.h"
#include "platform/text_file.h"
#include "wiring/numeric.h"
#include "wiring/wiring_file.h"

namespace cordshift {
namespace {

// The summaries accept a line of spaces as model name and any non-empty
// date line; only the counts must be numbers.
bool HeaderPassesSummary(const WiringHeader& header) {
  return !header.model_name.empty() && !header.date_time.empty() &&
         IsCountLine(header.circuit_count) &&
         IsCountLine(header.terminal_count);
}

// A summary, or the fault that stopped the file's reading.
struct FileReading {
  std::optional<FileSummary> summary;
  std::optional<FileFault> fault;
};

FileReading Fault(FileFault fault) { return {std::nullopt, std::move(fault)}; }

// Reads one file: the header, then every record through `read_record`,
// which tallies the record's terminals and returns false for a malformed
// one. The bytes read go to `keep` when there is one.
// Where a listing's files are read from: their folder, opened once, so
// that a file is named within it rather than by its whole path.
struct SourceFolder {
  OpenedFolder& opened;
  const std::string& path;  // as the files name it
};

FileRead ReadSourceFile(const WiringFile& file, const SourceFolder& folder) {
  if (file.folder != folder.path) return ReadWiringFile(file.WiringPath());
  return ReadFileUpTo(folder.opened, PathFromUtf8(file.name + file.extension),
                      kMaxWiringFileSize);
}

template <typename ReadRecord>
FileReading SummarizeFile(const WiringFile& file, int file_number,
                          const SourceFolder& folder, TerminalTally& tally,
                          KeptSources* keep, ReadRecord read_record) {
  FileRead read = ReadSourceFile(file, folder);
  if (!read.ok()) {
    return Fault(ReadFault(FaultKind::kUnreadable, read.error, read.size));
  }
  LineReader lines(read.content);
  const std::optional<WiringHeader> header = ReadWiringHeader(lines);
  if (!header || !HeaderPassesSummary(*header)) {
    return Fault(KindFault(FaultKind::kInvalidHeader));
  }
  tally.ResetTerminalTally();
  tally.SetHighestTerminal(0);
  FileSummary summary;
  int line_number = 4;
  RecordLineReader records(lines.rest());
  RecordLine line;
  while (records.Next(line)) {
    ++line_number;
    if (!read_record(line)) {
      return Fault(LineFault(FaultKind::kMalformedRecord, line_number));
    }
    ++summary.circuits;
  }
  summary.terminals = tally.SummarizeTerminals();
  summary.highest_terminal = tally.HighestTerminal();
  if (keep != nullptr) keep->Keep(file_number, std::move(read.content));
  return {summary, std::nullopt};
}

// The terminals of a file's records as read, kept for the verification of
// the file converted from it; a file with a terminal that names no number
// keeps none, and is verified against its bytes alone.
class TerminalList {
 public:
  explicit TerminalList(bool wanted) : wanted_(wanted) {}

  void Add(std::int32_t from, std::int32_t to) {
    if (!wanted_) return;
    terminals_.push_back(from);
    terminals_.push_back(to);
  }
  void Add(std::string_view from, std::string_view to) {
    if (!wanted_) return;
    const WholeNumber from_number = ParseWholeNumber(from);
    const WholeNumber to_number = ParseWholeNumber(to);
    if (from_number.ok() && to_number.ok()) {
      Add(from_number.value, to_number.value);
    } else {
      wanted_ = false;
    }
  }

  void KeepIn(KeptSources* keep, int file_number, const FileReading& reading) {
    if (wanted_ && reading.summary) {
      keep->KeepTerminals(file_number, std::move(terminals_));
    }
  }

 private:
  bool wanted_;
  ListedTerminals terminals_;
};

FileReading SummarizeContinuityFile(const WiringFile& file, int file_number,
                                    const SourceFolder& folder,
                                    TerminalTally& tally, KeptSources* keep) {
  char last_letter = 0;
  TerminalList terminals(keep != nullptr);
  FileReading reading = SummarizeFile(
      file, file_number, folder, tally, keep, [&](const RecordLine& line) {
        const std::optional<ContinuityRecord> record =
            ReadContinuityRecord(line);
        if (!record) return false;
        last_letter = SjisFirstCharUpper(record->pair.from);
        if (record->ab_notation) {
          tally.TallyTerminalNumber(record->from_number);
          tally.TallyTerminalNumber(record->to_number);
          terminals.Add(record->from_number, record->to_number);
        } else {
          tally.TallyTerminal(record->pair.from);
          tally.TallyTerminal(record->pair.to);
          terminals.Add(record->pair.from, record->pair.to);
        }
        return true;
      });
  // The highest terminal is shown in the notation of the file's last record.
  if (reading.summary) {
    reading.summary->highest_in_ab = last_letter == 'A' || last_letter == 'B';
  }
  terminals.KeepIn(keep, file_number, reading);
  return reading;
}

FileReading SummarizeHipotFile(const WiringFile& file, int file_number,
                               const SourceFolder& folder, TerminalTally& tally,
                               KeptSources* keep) {
  std::int32_t single_ended = 0;
  TerminalList terminals(keep != nullptr);
  FileReading reading = SummarizeFile(file, file_number, folder, tally, keep,
                                      [&](const RecordLine& line) {
                                        const std::optional<TerminalPair> pair =
                                            SplitRecord(line, kHipotFieldCount);
                                        if (!pair) return false;
                                        if (pair->to.empty()) ++single_ended;
                                        tally.TallyTerminal(pair->from);
                                        tally.TallyTerminal(pair->to);
                                        terminals.Add(pair->from, pair->to);
                                        return true;
                                      });
  if (reading.summary) reading.summary->single_ended = single_ended;
  terminals.KeepIn(keep, file_number, reading);
  return reading;
}

// One file's reading, or the fault that stopped it; an exception (out of
// memory, most likely) is a file that cannot be read.
template <typename Summarize>
FileReading ReadOneFile(Summarize summarize, const WiringFile& file,
                        int file_number, const SourceFolder& folder,
                        TerminalTally& tally, KeptSources* keep) {
  try {
    return summarize(file, file_number, folder, tally, keep);
  } catch (const std::exception&) {
    return Fault(KindFault(FaultKind::kUnreadable));
  }
}

// Folders of this many files and more are read by two threads when the
// bytes need not be kept: a listing of a large folder costs its opens and
// reads, which a second core halves.
constexpr std::size_t kFilesForTwoThreads = 1024;

// Reads files [begin, end) into `readings`, stopping at a fault or a stop;
// files not reached keep no value.
template <typename Summarize>
void ReadRange(const WiringFileList& files, std::size_t begin, std::size_t end,
               const SourceFolder& folder, const StopCheck& stop,
               Summarize summarize,
               std::vector<std::optional<FileReading>>& readings) {
  TerminalTally tally;
  for (std::size_t index = begin; index < end; ++index) {
    if (stop.StopRequested()) return;
    readings[index] =
        ReadOneFile(summarize, files[index], static_cast<int>(index) + 1,
                    folder, tally, nullptr);
    if (readings[index]->fault) return;
  }
}

// Reads every file with `summarize` until the first fault or stop;
// `stores` tells which summaries are stored. The result is that of reading
// the files one after the other, however many threads read them.
template <typename Summarize, typename Stores>
SummaryReading SummarizeFiles(WiringFileList& files, WiringWorkspace& workspace,
                              KeptSources* keep, const StopCheck& stop,
                              Summarize summarize, Stores stores) {
  std::vector<std::optional<FileReading>> readings(files.size());
  const std::string folder_path =
      files.empty() ? std::string() : files.front().folder;
  OpenedFolder opened(PathFromUtf8(folder_path));
  const SourceFolder folder{opened, folder_path};
  if (keep == nullptr && files.size() >= kFilesForTwoThreads &&
      std::thread::hardware_concurrency() > 1) {
    const std::size_t half = files.size() / 2;
    std::thread second([&] {
      ReadRange(files, half, files.size(), folder, stop, summarize, readings);
    });
    ReadRange(files, 0, half, folder, stop, summarize, readings);
    second.join();
  } else {
    for (std::size_t index = 0; index < files.size(); ++index) {
      if (stop.StopRequested()) break;
      readings[index] =
          ReadOneFile(summarize, files[index], static_cast<int>(index) + 1,
                      folder, workspace.tally, keep);
      if (readings[index]->fault) break;
    }
  }
  SummaryReading reading;
  for (std::size_t index = 0; index < files.size(); ++index) {
    std::optional<FileReading>& read = readings[index];
    if (!read) {
      reading.stopped = true;
      return reading;
    }
    WiringFile& file = files[index];
    if (read->fault) {
      reading.fault = FaultReport(file.WiringPath(), std::move(*read->fault));
      return reading;
    }
    ++reading.files_read;
    if (stores(*read->summary)) {
      file.summary = *read->summary;
      file.summarised = true;
    }
  }
  return reading;
}

}  // namespace

SummaryReading SummarizeContinuityFiles(WiringFileList& files,
                                        WiringWorkspace& workspace,
                                        KeptSources* keep,
                                        const StopCheck& stop) {
  return SummarizeFiles(
      files, workspace, keep, stop, &SummarizeContinuityFile,
      [](const FileSummary& summary) { return summary.terminals > 0; });
}

SummaryReading SummarizeHipotFiles(WiringFileList& files,
                                   WiringWorkspace& workspace,
                                   KeptSources* keep, const StopCheck& stop) {
  return SummarizeFiles(files, workspace, keep, stop, &SummarizeHipotFile,
                        [](const FileSummary&) { return true; });
}

}  // namespace cordshift
