#include "wiring/summaries.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "platform/sjis.h"
#include "platform/text_file.h"
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
template <typename ReadRecord>
FileReading SummarizeFile(const WiringFile& file, int file_number,
                          WiringWorkspace& workspace, KeptSources* keep,
                          ReadRecord read_record) {
  FileRead read = ReadWiringFile(file.WiringPath());
  if (!read.ok()) {
    return Fault(ReadFault(FaultKind::kUnreadable, read.error, read.size));
  }
  LineReader lines(read.content);
  const std::optional<WiringHeader> header = ReadWiringHeader(lines);
  if (!header || !HeaderPassesSummary(*header)) {
    return Fault(KindFault(FaultKind::kInvalidHeader));
  }
  TerminalTally& tally = workspace.tally;
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

FileReading SummarizeContinuityFile(const WiringFile& file, int file_number,
                                    WiringWorkspace& workspace,
                                    KeptSources* keep) {
  TerminalTally& tally = workspace.tally;
  char last_letter = 0;
  FileReading reading = SummarizeFile(
      file, file_number, workspace, keep, [&](const RecordLine& line) {
        const std::optional<ContinuityRecord> record =
            ReadContinuityRecord(line);
        if (!record) return false;
        last_letter = SjisFirstCharUpper(record->pair.from);
        if (record->ab_notation) {
          tally.TallyTerminalNumber(record->from_number);
          tally.TallyTerminalNumber(record->to_number);
        } else {
          tally.TallyTerminal(record->pair.from);
          tally.TallyTerminal(record->pair.to);
        }
        return true;
      });
  // The highest terminal is shown in the notation of the file's last record.
  if (reading.summary) {
    reading.summary->highest_in_ab = last_letter == 'A' || last_letter == 'B';
  }
  return reading;
}

FileReading SummarizeHipotFile(const WiringFile& file, int file_number,
                               WiringWorkspace& workspace, KeptSources* keep) {
  TerminalTally& tally = workspace.tally;
  std::int32_t single_ended = 0;
  FileReading reading = SummarizeFile(
      file, file_number, workspace, keep, [&](const RecordLine& line) {
        const std::optional<TerminalPair> pair =
            SplitRecord(line, kHipotFieldCount);
        if (!pair) return false;
        if (pair->to.empty()) ++single_ended;
        tally.TallyTerminal(pair->from);
        tally.TallyTerminal(pair->to);
        return true;
      });
  if (reading.summary) reading.summary->single_ended = single_ended;
  return reading;
}

// Reads every file with `summarize` until the first fault or stop;
// `stores` tells which summaries are stored.
template <typename Summarize, typename Stores>
SummaryReading SummarizeFiles(WiringFileList& files, WiringWorkspace& workspace,
                              KeptSources* keep, const StopCheck& stop,
                              Summarize summarize, Stores stores) {
  SummaryReading reading;
  for (WiringFile& file : files) {
    if (stop.StopRequested()) {
      reading.stopped = true;
      return reading;
    }
    const int file_number = reading.files_read + 1;
    FileReading read;
    try {
      read = summarize(file, file_number, workspace, keep);
    } catch (const std::exception&) {
      // Out of memory, most likely: the file cannot be read.
      read = Fault(KindFault(FaultKind::kUnreadable));
    }
    if (read.fault) {
      reading.fault = FaultReport(file.WiringPath(), std::move(*read.fault));
      return reading;
    }
    ++reading.files_read;
    if (stores(*read.summary)) {
      file.summary = *read.summary;
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
