#include "wiring/summaries.h"

#include <exception>
#include <optional>
#include <string>

#include "platform/sjis.h"
#include "platform/text_file.h"
#include "wiring/wiring_file.h"

namespace cordshift {
namespace {

// Column widths of the summary rows.
constexpr std::size_t kNumberWidth = 5;
constexpr std::size_t kCountWidth = 4;
constexpr std::size_t kMaxTerminalWidth = 5;

void AddSummaryRow(ConversionView& view, ListId list, int row, int number,
                   const std::string& name, const FileSummary& summary) {
  view.SetListCell(list, row, 1, RightAlign(number, kNumberWidth));
  view.SetListCell(list, row, 2, name);
  view.SetListCell(list, row, 3, RightAlign(summary.circuits, kCountWidth));
  view.SetListCell(list, row, 4, RightAlign(summary.terminals, kCountWidth));
  view.SetListCell(list, row, 5, RightAlign(summary.single_ended, kCountWidth));
  view.SetListCell(list, row, 6,
                   RightAlign(summary.max_terminal, kMaxTerminalWidth));
}

void ReportFault(ConversionView& view, const WiringFileList& files, int l,
                 std::string detail) {
  view.ReportFile({FileNumber(files, l).WiringPath(), FileOutcome::kFault, "",
                   std::move(detail)});
}

// The summaries accept a line of spaces as model name and any non-empty
// date line; only the counts must be numbers.
bool HeaderPassesSummary(const WiringHeader& header) {
  return !header.model_name.empty() && !header.date_time.empty() &&
         IsCountLine(header.circuit_count) &&
         IsCountLine(header.terminal_count);
}

std::optional<std::string> ReadFileForSummary(ConversionView& view,
                                              const WiringFileList& files,
                                              int l) {
  FileRead read = ReadWiringFile(FileNumber(files, l).WiringPath());
  if (!read.ok()) {
    ReportFault(view, files, l, ReadFailureDetail(read));
    return std::nullopt;
  }
  return std::move(read.content);
}

// Reads the header; `lines` is then at the first record.
bool PassSummaryHeader(ConversionView& view, const WiringFileList& files, int l,
                       LineReader& lines) {
  const std::optional<WiringHeader> header = ReadWiringHeader(lines);
  if (header && HeaderPassesSummary(*header)) return true;
  ReportFault(view, files, l, "invalid header");
  return false;
}

// Reads one file: the header, then every record through `read_record`,
// which tallies the record's terminals and returns false for a malformed
// one. No value (and a fault report) on any fault. The bytes of a file
// summarised are offered to the workspace's kept sources, which hold them
// only for a run's conversion of the folder.
template <typename ReadRecord>
std::optional<FileSummary> SummarizeFile(ConversionView& view,
                                         const WiringFileList& files, int l,
                                         WiringWorkspace& workspace,
                                         ReadRecord read_record) {
  std::optional<std::string> text = ReadFileForSummary(view, files, l);
  if (!text) return std::nullopt;
  LineReader lines(*text);
  if (!PassSummaryHeader(view, files, l, lines)) return std::nullopt;
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
      ReportFault(view, files, l,
                  "malformed record at line " + std::to_string(line_number));
      return std::nullopt;
    }
    ++summary.circuits;
  }
  summary.terminals = tally.SummarizeTerminals();
  workspace.kept.Keep(l, std::move(*text));
  return summary;
}

std::optional<FileSummary> SummarizeLoomvantageFile(
    ConversionView& view, const WiringFileList& files, int l,
    WiringWorkspace& workspace) {
  TerminalTally& tally = workspace.tally;
  char last_letter = 0;
  std::optional<FileSummary> summary =
      SummarizeFile(view, files, l, workspace, [&](const RecordLine& line) {
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
  if (!summary) return std::nullopt;
  // The highest terminal is shown in the notation of the file's last record.
  const int highest = tally.HighestTerminal();
  summary->max_terminal = (last_letter == 'A' || last_letter == 'B')
                              ? std::string(workspace.tables.AbNumber(highest))
                              : std::to_string(highest);
  return summary;
}

std::optional<FileSummary> SummarizeHipotFile(ConversionView& view,
                                              const WiringFileList& files,
                                              int l,
                                              WiringWorkspace& workspace) {
  TerminalTally& tally = workspace.tally;
  std::int32_t single_ended = 0;
  std::optional<FileSummary> summary =
      SummarizeFile(view, files, l, workspace, [&](const RecordLine& line) {
        const std::optional<TerminalPair> pair =
            SplitRecord(line, kHipotFieldCount);
        if (!pair) return false;
        if (pair->to.empty()) ++single_ended;
        tally.TallyTerminal(pair->from);
        tally.TallyTerminal(pair->to);
        return true;
      });
  if (!summary) return std::nullopt;
  summary->single_ended = single_ended;
  summary->max_terminal = std::to_string(tally.HighestTerminal());
  return summary;
}

}  // namespace

bool ListLoomvantageFiles(ConversionView& view, ListId list,
                          WiringFileList& files, WiringWorkspace& workspace) {
  try {
    view.ClearList(list);
    const int count = FileCount(files);
    int row = 0;
    for (int l = 1; l <= count; ++l) {
      if (view.StopRequested()) return false;
      std::optional<FileSummary> summary =
          SummarizeLoomvantageFile(view, files, l, workspace);
      if (!summary) return false;
      if (summary->terminals <= 0) continue;  // nothing to show or convert
      ++row;
      WiringFile& file = FileNumber(files, l);
      AddSummaryRow(view, list, row, l, file.name, *summary);
      file.summary = std::move(*summary);
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ListHipotFiles(ConversionView& view, ListId list, WiringFileList& files,
                    WiringWorkspace& workspace) {
  try {
    view.ClearList(list);
    const int count = FileCount(files);
    for (int i = 1; i <= count; ++i) {
      if (view.StopRequested()) return false;
      std::optional<FileSummary> summary =
          SummarizeHipotFile(view, files, i, workspace);
      if (!summary) return false;
      WiringFile& file = FileNumber(files, i);
      AddSummaryRow(view, list, i, i, file.name, *summary);
      file.summary = std::move(*summary);
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace cordshift
