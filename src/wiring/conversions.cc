#include "wiring/conversions.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/folder_scan.h"
#include "platform/ini_access.h"
#include "platform/ini_file.h"
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

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(PathFromUtf8(path), error);
}

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// File names are UTF-8, whose multi-byte characters have no ASCII bytes, so
// folding ASCII letters leaves every other character as it is.
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiUpper(x) == AsciiUpper(y);
         });
}

// A destination comment file as it was before this run wrote it, so that a
// wiring file that then cannot be put in place does not leave a new comment
// beside the old file.
class CommentBackup {
 public:
  // False when the file exists but cannot be read.
  bool Take(const std::filesystem::path& path) {
    path_ = path;
    std::error_code error;
    if (!std::filesystem::exists(
            std::filesystem::symlink_status(path, error))) {
      return true;
    }
    FileRead read = ReadFileUpTo(path, kMaxIniFileSize);
    if (!read.ok()) return false;
    old_content_ = std::move(read.content);
    return true;
  }

  // The file's content before this run wrote it; empty for a new file.
  std::string_view old_content() const {
    return old_content_ ? std::string_view(*old_content_) : std::string_view();
  }

  void Restore() const {
    if (path_.empty()) return;
    if (old_content_) {
      WriteFileAtomically(path_, *old_content_);
    } else {
      std::error_code error;
      std::filesystem::remove(path_, error);
    }
  }

 private:
  std::filesystem::path path_;
  std::optional<std::string> old_content_;
};

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
    destination_.clear();
    written_names_.clear();
    const int count = FileCount(source_);
    for (int l = 1; l <= count; ++l) {
      if (view_.StopRequested()) return false;
      if (!ConvertFile(l, converted_in_run)) return false;
    }
    view_.SetConvertedCount(std::to_string(converted_in_run));
    return true;
  }

  bool ConvertFile(int l, int& converted_in_run) {
    view_.ShowGuide(std::to_string(l) + "件目変換中...");
    const WiringFile& file = FileNumber(source_, l);
    const FileRead read = ReadWiringFile(file.WiringPath());
    if (!read.ok()) return AbortFile(l, ReadFailureDetail(read));
    LineReader lines(read.content);
    std::string_view date_time;
    if (!CheckHeader(l, lines, date_time)) return false;

    TerminalTally& tally = workspace_.tally;
    tally.ResetTerminalTally();
    tally.SetHighestTerminal(0);
    workspace_.records.clear();
    const bool has_circuits = file.summary.circuits > 0;
    const bool single_ended = file.summary.single_ended != 0;
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

    const std::string& name = file.name;
    const std::string target = destination_folder_ + name + kWiringExtension;
    if (!has_circuits || single_ended) {
      Report(l, single_ended ? FileOutcome::kSkippedSingleEnded
                             : FileOutcome::kSkippedNoCircuits);
      return true;
    }
    // Sources whose names differ only in the extension's case share one
    // destination: the first one written keeps it.
    if (written_names_.contains(name)) {
      Report(l, FileOutcome::kSkippedSameName, target);
      return true;
    }
    if (!overwrite_ && FileExists(target)) {
      Report(l, FileOutcome::kSkippedExists, target);
      return true;
    }

    const int terminals = tally.SummarizeTerminals();
    BuildOutput(date_time, record_count, terminals);
    if (!inputs_.dry_run) {
      bool lost_race = false;
      if (!WriteFiles(l, name, target, lost_race)) return false;
      if (lost_race) {
        Report(l, FileOutcome::kSkippedExists, target);
        return true;
      }
    }
    written_names_.insert(name);
    destination_.push_back(
        {name, destination_folder_, kWiringExtension,
         FileSummary{record_count, terminals, 0,
                     HighestTerminalText(tally.HighestTerminal())}});
    AddRow(FileCount(destination_), destination_.back());
    // The count follows every file written, so that a run that stops later
    // still counts what it left on the disk.
    ++converted_in_run;
    view_.SetConvertedCount(std::to_string(converted_in_run));
    Report(l, FileOutcome::kConverted, target);
    return true;
  }

  // Writes the wiring file and its comment. Everything about the wiring
  // file that can fail is settled before the comment is touched: its
  // content waits complete in a temporary file. The comment goes first: a
  // run stopped between the two then leaves no wiring file, so the next run
  // writes both, whereas a wiring file without its comment would be passed
  // over as existing. `lost_race` tells that another run put a file of that
  // name in place meanwhile (overwriting off); it keeps its file.
  bool WriteFiles(int l, const std::string& name, const std::string& target,
                  bool& lost_race) {
    StagedWrite wiring(
        PathFromUtf8(target), workspace_.output,
        overwrite_ ? ExistingTarget::kReplace : ExistingTarget::kKeep);
    if (wiring.error() == WriteError::kTargetExists) {
      lost_race = true;
      return true;
    }
    if (wiring.error() != WriteError::kNone) {
      return AbortFile(l, WriteFaultText(target, wiring.error()));
    }
    CommentBackup backup;
    if (!CopyComment(l, name, backup)) return false;
    const WriteError committed = wiring.Commit();
    if (committed == WriteError::kTargetExists) {
      lost_race = true;
      return true;
    }
    if (committed != WriteError::kNone) {
      backup.Restore();
      return AbortFile(l, WriteFaultText(target, committed));
    }
    return true;
  }

  static std::string WriteFaultText(const std::string& path, WriteError error) {
    return "cannot write " + path + ": " + WriteErrorText(error);
  }

  // The four header lines, each fault with its message; `date_time` is then
  // line 2 exactly as read.
  bool CheckHeader(int l, LineReader& lines, std::string_view& date_time) {
    const std::optional<WiringHeader> header = ReadWiringHeader(lines);
    if (!header) return AbortFile(l, "fewer than four lines");
    if (TrimSpaces(header->model_name).empty()) {
      return HeaderFault(l, "機器名", "line 1: the model name is blank");
    }
    if (!IsDateStamp(header->date_time)) {
      return HeaderFault(l, "年月日",
                         "line 2: the date is not a date stamp "
                         "(YYYYMMDDhhmmss)");
    }
    if (!IsCountLine(header->circuit_count)) {
      return HeaderFault(l, "回路数",
                         "line 3: the circuit count is not a number");
    }
    if (!IsCountLine(header->terminal_count)) {
      return HeaderFault(l, "端子数",
                         "line 4: the terminal count is not a number");
    }
    date_time = header->date_time;
    return true;
  }

  // The window's message numbers the file in the list; the report says
  // which header line is at fault, in words a script can show.
  bool HeaderFault(int l, std::string_view what, std::string detail) {
    view_.ShowMessage(HeaderFaultMessage(l, what), MessageIcon::kExclamation);
    return AbortFile(l, std::move(detail));
  }

  void BuildOutput(std::string_view date_time, int record_count,
                   int terminals) {
    std::string& output = workspace_.output;
    output.clear();
    output.reserve(workspace_.records.size() + model_name_.size() + 64);
    AppendWiringHeader(output, model_name_, date_time, record_count, terminals);
    output += workspace_.records;
  }

  // The companion comment goes along when the source has one. A comment
  // file that cannot be read or written is a fault of the wiring file, as
  // its own write would be: a later run would pass the file over as
  // existing, and the comment would never arrive.
  bool CopyComment(int l, const std::string& name, CommentBackup& backup) {
    const std::optional<std::filesystem::path> companion = CompanionOf(l);
    if (!companion) return true;
    const IniFileLookup comment =
        LookUpIniValue(*companion, kCommentSection, kCommentKey);
    if (comment.error != ReadError::kNone) {
      return AbortFile(
          l, "cannot read the comment file " + PathToUtf8(*companion) + ": " +
                 (comment.error == ReadError::kTooLarge ? "larger than 16 MiB"
                                                        : "not readable"));
    }
    if (!comment.value) return true;
    const std::string written =
        destination_folder_ + name + kCompanionExtension;
    const std::filesystem::path written_path = PathFromUtf8(written);
    if (!backup.Take(written_path)) {
      return AbortFile(l, "cannot read the comment file " + written);
    }
    // The file as taken for the backup is the one the key is set in, so it
    // is read once.
    if (WriteFileAtomically(written_path,
                            SetIniValue(backup.old_content(), kCommentSection,
                                        kCommentKey, *comment.value)) !=
        WriteError::kNone) {
      return AbortFile(l, "cannot write the comment file " + written);
    }
    return true;
  }

  // The companion comment file of source file l: "<name>.ini", or, where
  // names are case-sensitive and that does not exist, the first file of
  // the folder (in name order) whose name matches it without regard to
  // case, as trees copied from Windows media often spell it.
  std::optional<std::filesystem::path> CompanionOf(int l) {
    const WiringFile& file = FileNumber(source_, l);
    const std::filesystem::path exact = PathFromUtf8(file.CompanionPath());
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(exact, error);
    if (std::filesystem::exists(status)) {
      if (std::filesystem::is_regular_file(status)) return exact;
      return std::nullopt;  // a folder or device is no comment file
    }
    const std::string& name = file.name;
    const std::string& folder = file.folder;
    if (!companion_files_ || companion_folder_ != folder) {
      companion_folder_ = folder;
      companion_files_ = ListFilesWithExtension(folder.empty() ? "." : folder,
                                                kCompanionExtension);
    }
    if (!companion_files_) return std::nullopt;
    for (const FoundFile& found : *companion_files_) {
      if (SameNameIgnoringCase(found.name, name)) {
        return PathFromUtf8(folder + found.name + found.extension);
      }
    }
    return std::nullopt;
  }

  void AddRow(int row, const WiringFile& written) {
    constexpr ListId kList = ListId::kDestination;
    const FileSummary& summary = written.summary;
    view_.SetListCell(kList, row, 1, RightAlign(row, kRowNumberWidth));
    view_.SetListCell(kList, row, 2, written.name);
    view_.SetListCell(kList, row, 3,
                      RightAlign(summary.circuits, kRowCountWidth));
    view_.SetListCell(kList, row, 4,
                      RightAlign(summary.terminals, kRowCountWidth));
    view_.SetListCell(kList, row, 5,
                      RightAlign(summary.single_ended, kRowCountWidth));
    view_.SetListCell(kList, row, 6,
                      RightAlign(summary.max_terminal, kRowCountWidth));
  }

  void Report(int l, FileOutcome outcome, std::string destination = {},
              std::string detail = {}) {
    view_.ReportFile({FileNumber(source_, l).WiringPath(), outcome,
                      std::move(destination), std::move(detail)});
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
  const bool overwrite_ = inputs_.overwrite;
  // The names written into the destination folder by this run.
  std::unordered_set<std::string> written_names_;
  // The comment files of the source folder, listed when a companion is not
  // found under its exact name.
  std::string companion_folder_;
  std::optional<std::vector<FoundFile>> companion_files_;
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
        ab_notation_(inputs().notation == Notation::kAb) {
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
