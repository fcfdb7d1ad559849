#include "wiring/conversions.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/codepage.h"
#include "platform/ini_access.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "wiring/check.h"
#include "wiring/numeric.h"
#include "wiring/wiring_file.h"

namespace cordshift {
namespace {

constexpr char kAbortGuide[] = "異常を検出したため変換を終了します";
constexpr char kCommentSection[] = "Purpose";
constexpr char kCommentKey[] = "Comment";

// Column widths of the rows a conversion adds to the destination list.
constexpr std::size_t kRowNumberWidth = 4;
constexpr std::size_t kRowCountWidth = 5;

std::string HeaderFaultMessage(int l, std::string_view what) {
  return "変換元：" + std::to_string(l) + " 行目の" + std::string(what) +
         "が異常です";
}

const char* WriteErrorText(WriteError error) {
  switch (error) {
    case WriteError::kNone:
      return "no error";
    case WriteError::kReadOnlyTarget:
      return "the file is read-only";
    case WriteError::kTargetIsFolder:
      return "a folder has that name";
    case WriteError::kNoFolder:
      return "the folder does not exist";
    case WriteError::kCreateFailed:
      return "no file can be created in the folder";
    case WriteError::kWriteFailed:
      return "writing failed (is the disk full?)";
    case WriteError::kReplaceFailed:
      return "the file could not be replaced";
  }
  return "unknown error";
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(PathFromUtf8(path), error);
}

// The steps every conversion takes per file; the two directions differ only
// in how a record is converted and how the highest terminal is shown.
class FolderConverter {
 public:
  FolderConverter(ConversionView& view, const WiringFileList& source,
                  WiringFileList& destination,
                  const std::string& destination_folder,
                  const ConversionInputs& inputs, WiringWorkspace& workspace)
      : view_(view),
        source_(source),
        destination_(destination),
        destination_folder_(destination_folder),
        inputs_(inputs),
        workspace_(workspace) {}
  virtual ~FolderConverter() = default;

  bool Run(int& converted_in_run) {
    try {
      return ConvertAll(converted_in_run);
    } catch (const std::exception&) {
      return Abort();
    }
  }

 protected:
  // Appends the converted record line to workspace().records and tallies its
  // terminals; false for a malformed record.
  virtual bool ConvertRecord(std::string_view line) = 0;
  // The 最大端子 text of a written file; highest is 0 when no terminal was
  // counted.
  virtual std::string HighestTerminalText(int highest) const = 0;

  WiringWorkspace& workspace() { return workspace_; }
  const TerminalTables& tables() const { return workspace_.tables; }
  const ConversionInputs& inputs() const { return inputs_; }
  const std::string& tail() const { return tail_; }
  void set_tail(std::string tail) { tail_ = std::move(tail); }

 private:
  bool ConvertAll(int& converted_in_run) {
    const std::optional<std::string> model =
        Utf8ToCp932(TrimSpaces(inputs_.model_name));
    if (!model) return Abort();
    model_name_ = *model;
    // One folder is converted by one run at a time, so a temporary file of
    // a run that no longer exists can only be the leftover of a killed run.
    if (!inputs_.dry_run) {
      RemoveStaleTempFiles(PathFromUtf8(destination_folder_));
    }
    view_.ClearList(ListId::kDestination);
    destination_.Clear();
    int converted = 0;
    const int count = source_.Count;
    for (int l = 1; l <= count; ++l) {
      if (!ConvertFile(l, converted)) return false;
    }
    converted_in_run += converted;
    view_.SetConvertedCount(std::to_string(converted_in_run));
    return true;
  }

  bool ConvertFile(int l, int& converted) {
    view_.ShowGuide(std::to_string(l) + "件目変換中...");
    const std::optional<std::string> text =
        ReadWholeFile(PathFromUtf8(source_.WiringPath(l)));
    if (!text) return AbortFile(l, "cannot be read");
    LineReader lines(*text);
    std::string_view date_time;
    if (!CheckHeader(l, lines, date_time)) return false;

    TerminalTally& tally = workspace_.tally;
    tally.ResetTerminalTally();
    tally.SetHighestTerminal(0);
    workspace_.records.clear();
    const std::size_t i = WiringFileList::Index(l);
    const bool has_circuits = source_.Circuits[i] > 0;
    const bool single_ended = source_.SingleEnded[i] != 0;
    int record_count = 0;
    if (has_circuits && !single_ended) {
      int line_number = 4;
      while (const std::optional<std::string_view> line = lines.Next()) {
        ++line_number;
        if (!ConvertRecord(*line)) {
          return AbortFile(
              l, "malformed record at line " + std::to_string(line_number));
        }
        ++record_count;
      }
    }

    const std::string& name = source_.Names[i];
    const std::string target = destination_folder_ + name + kWiringExtension;
    if (!has_circuits || single_ended) {
      Report(l, single_ended ? FileOutcome::kSkippedSingleEnded
                             : FileOutcome::kSkippedNoCircuits);
      return true;
    }
    if (inputs_.over_write != "1" && FileExists(target)) {
      Report(l, FileOutcome::kSkippedExists, target);
      return true;
    }

    const int terminals = tally.SummarizeTerminals();
    BuildOutput(date_time, record_count, terminals);
    if (!inputs_.dry_run) {
      // The comment goes first: a run stopped between the two writes then
      // leaves no wiring file, so the next run writes both, whereas a
      // wiring file without its comment would be passed over as existing.
      CopyComment(l, name);
      const WriteError error =
          WriteFileAtomically(PathFromUtf8(target), workspace_.output);
      if (error != WriteError::kNone) {
        return AbortFile(
            l, "cannot write " + target + ": " + WriteErrorText(error));
      }
    }
    destination_.Add(name, inputs_.destination_root, kWiringExtension);
    AddRow(destination_.Count, name, record_count, terminals,
           HighestTerminalText(tally.HighestTerminal()));
    ++converted;
    Report(l, FileOutcome::kConverted, target);
    return true;
  }

  // The four header lines, each fault with its message; `date_time` is then
  // line 2 exactly as read.
  bool CheckHeader(int l, LineReader& lines, std::string_view& date_time) {
    const std::optional<WiringHeader> header = ReadWiringHeader(lines);
    if (!header) return AbortFile(l, "fewer than four lines");
    if (TrimSpaces(header->model_name).empty()) {
      return HeaderFault(l, "機器名");
    }
    if (!IsDateStamp(header->date_time)) return HeaderFault(l, "年月日");
    if (!IsCountLine(header->circuit_count)) return HeaderFault(l, "回路数");
    if (!IsCountLine(header->terminal_count)) return HeaderFault(l, "端子数");
    date_time = header->date_time;
    return true;
  }

  bool HeaderFault(int l, std::string_view what) {
    const std::string message = HeaderFaultMessage(l, what);
    view_.ShowMessage(message, MessageIcon::kExclamation);
    return AbortFile(l, message);
  }

  void BuildOutput(std::string_view date_time, int record_count,
                   int terminals) {
    std::string& output = workspace_.output;
    output.clear();
    output.reserve(workspace_.records.size() + model_name_.size() + 64);
    AppendWiringHeader(output, model_name_, date_time, record_count, terminals);
    output += workspace_.records;
  }

  // The companion comment goes along when the source has one; a failed copy
  // does not stop the conversion.
  void CopyComment(int l, const std::string& name) {
    const std::string companion = source_.CompanionPath(l);
    if (!FileExists(companion)) return;
    const std::optional<std::string> comment =
        ReadIniValueFrom(PathFromUtf8(companion), kCommentSection, kCommentKey);
    if (!comment) return;
    WriteIniValue(
        PathFromUtf8(destination_folder_ + name + kCompanionExtension),
        kCommentSection, kCommentKey, *comment);
  }

  void AddRow(int row, const std::string& name, int record_count, int terminals,
              const std::string& highest) {
    constexpr ListId kList = ListId::kDestination;
    view_.SetListCell(kList, row, 1, RightAlign(row, kRowNumberWidth));
    view_.SetListCell(kList, row, 2, name);
    view_.SetListCell(kList, row, 3, RightAlign(record_count, kRowCountWidth));
    view_.SetListCell(kList, row, 4, RightAlign(terminals, kRowCountWidth));
    view_.SetListCell(kList, row, 5, RightAlign(0, kRowCountWidth));
    view_.SetListCell(kList, row, 6, RightAlign(highest, kRowCountWidth));
  }

  void Report(int l, FileOutcome outcome, std::string destination = {},
              std::string detail = {}) {
    view_.ReportFile({source_.WiringPath(l), outcome, std::move(destination),
                      std::move(detail)});
  }

  bool AbortFile(int l, std::string detail) {
    Report(l, FileOutcome::kFault, {}, std::move(detail));
    return Abort();
  }

  bool Abort() {
    view_.ShowGuide(kAbortGuide);
    return false;
  }

  ConversionView& view_;
  const WiringFileList& source_;
  WiringFileList& destination_;
  const std::string& destination_folder_;
  const ConversionInputs& inputs_;
  WiringWorkspace& workspace_;
  std::string model_name_;  // Shift-JIS
  std::string tail_;
};

// Continuity records (AB or sequential notation) into hipot records with
// sequential numbers.
class ToHipotConverter : public FolderConverter {
 public:
  template <typename... Args>
  explicit ToHipotConverter(Args&&... args)
      : FolderConverter(std::forward<Args>(args)...) {
    set_tail(HipotRecordTail(TrimSpaces(inputs().lower),
                             TrimSpaces(inputs().upper)));
  }

 protected:
  bool ConvertRecord(std::string_view line) override {
    const std::optional<ContinuityRecord> record = ReadContinuityRecord(line);
    if (!record) return false;
    std::string& out = workspace().records;
    TerminalTally& tally = workspace().tally;
    if (record->ab_notation) {
      AppendDecimal(out, record->from_number);
      out.push_back('-');
      AppendDecimal(out, record->to_number);
      tally.TallyTerminalNumber(record->from_number);
      tally.TallyTerminalNumber(record->to_number);
    } else {
      // Sequential terminals are copied as written (upper-cased), leading
      // zeros included.
      AppendSjisUpper(out, record->pair.from);
      out.push_back('-');
      AppendSjisUpper(out, record->pair.to);
      tally.TallyTerminal(record->pair.from);
      tally.TallyTerminal(record->pair.to);
    }
    out += tail();
    out += "\r\n";
    return true;
  }

  std::string HighestTerminalText(int highest) const override {
    return highest == 0 ? "-" : std::to_string(highest);
  }
};

// Hipot records into continuity records, terminals zero-padded to four digits
// or written as AB numbers.
class ToLoomvantageConverter : public FolderConverter {
 public:
  template <typename... Args>
  explicit ToLoomvantageConverter(Args&&... args)
      : FolderConverter(std::forward<Args>(args)...),
        ab_notation_(inputs().ab_or_seq == "0") {
    set_tail(ContinuityRecordTail(TrimSpaces(inputs().lower),
                                  TrimSpaces(inputs().upper)));
  }

 protected:
  bool ConvertRecord(std::string_view line) override {
    const std::optional<TerminalPair> pair =
        SplitRecord(line, kHipotFieldCount);
    // A single-ended record cannot be written on the continuity side.
    if (!pair || pair->to.empty() || !IsTerminalPair(pair->from, pair->to)) {
      return false;
    }
    const int from = ParseWholeNumber(pair->from).value;
    const int to = ParseWholeNumber(pair->to).value;
    TerminalTally& tally = workspace().tally;
    tally.TallyTerminalNumber(from);
    tally.TallyTerminalNumber(to);
    std::string& out = workspace().records;
    AppendTerminal(out, from);
    out.push_back('-');
    AppendTerminal(out, to);
    out += tail();
    out += "\r\n";
    return true;
  }

  std::string HighestTerminalText(int highest) const override {
    if (highest == 0) return "-";
    return ab_notation_ ? std::string(tables().AbNumber(highest))
                        : std::to_string(highest);
  }

 private:
  void AppendTerminal(std::string& out, int number) {
    if (ab_notation_) {
      out += tables().AbNumber(number);
    } else {
      out += FormatTerminal4(number);
    }
  }

  bool ab_notation_;
};

}  // namespace

bool ConvertFolderToHipot(ConversionView& view, const WiringFileList& source,
                          WiringFileList& destination,
                          const std::string& destination_folder,
                          const ConversionInputs& inputs,
                          WiringWorkspace& workspace, int& converted_in_run) {
  ToHipotConverter converter(view, source, destination, destination_folder,
                             inputs, workspace);
  return converter.Run(converted_in_run);
}

bool ConvertFolderToLoomvantage(ConversionView& view,
                                const WiringFileList& source,
                                WiringFileList& destination,
                                const std::string& destination_folder,
                                const ConversionInputs& inputs,
                                WiringWorkspace& workspace,
                                int& converted_in_run) {
  ToLoomvantageConverter converter(view, source, destination,
                                   destination_folder, inputs, workspace);
  return converter.Run(converted_in_run);
}

}  // namespace cordshift
