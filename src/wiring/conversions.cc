#include "wiring/conversions.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/folder_scan.h"
#include "platform/ini_access.h"
#include "platform/ini_file.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "platform/utf8.h"
#include "wiring/check.h"
#include "wiring/companion.h"
#include "wiring/numeric.h"
#include "wiring/record_output.h"
#include "wiring/short_record_line.h"
#include "wiring/verification.h"
#include "wiring/wiring_file.h"
#include "wiring/written_names.h"

namespace cordshift {
namespace {

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(PathFromUtf8(path), error);
}

// The destination comment file as this run found it, and the file this run
// put there, so that a wiring file that then cannot be put in place leaves
// the comment as it was: put back only while the file is still the one this
// run wrote, never over one that another writer has put there since.
class CommentBackup {
 public:
  // Reads the comment file as it is now, unless the folder's look through
  // it found none. False when it cannot be read.
  bool Take(OpenedFolder& folder, const std::filesystem::path& name,
            const FolderLook& look) {
    folder_ = &folder;
    name_ = name;
    if (!look.MayHold(name)) return true;
    FileRead read = ReadFileUpTo(folder, name, kMaxIniFileSize);
    // A folder of that name is no comment: its write is refused.
    if (read.error == ReadError::kMissing ||
        read.error == ReadError::kNotAFile) {
      return true;
    }
    if (!read.ok()) return false;
    old_content_ = std::move(read.content);
    return true;
  }

  bool existed() const { return old_content_.has_value(); }
  // The file's content before this run wrote it; empty for a new file.
  std::string_view old_content() const {
    return old_content_ ? std::string_view(*old_content_) : std::string_view();
  }

  // Notes the file this run put in place.
  void Wrote(const std::optional<FileIdentity>& identity) {
    written_ = identity;
  }

  void Restore() const {
    if (!written_ || IdentityIn(*folder_, name_) != written_) return;
    if (old_content_) {
      WriteFileAtomically(*folder_, name_, *old_content_);
    } else {
      RemoveFileIn(*folder_, name_);
    }
  }

 private:
  OpenedFolder* folder_ = nullptr;
  std::filesystem::path name_;
  std::optional<std::string> old_content_;
  std::optional<FileIdentity> written_;
};

// What became of copying a comment.
enum class CommentCopy {
  kDone,    // copied, or there was none to copy
  kTaken,   // another writer made the comment file since this run looked
  kFailed,  // a fault, reported
};

// The steps every conversion takes per file; the two directions differ only
// in how a record is converted and how the highest terminal is shown.
class FolderConverter {
 public:
  FolderConverter(ConversionObserver& observer, const FolderJob& job,
                  const ConversionInputs& inputs, WiringWorkspace& workspace)
      : observer_(observer),
        source_(*job.source),
        destination_folder_(job.destination_folder),
        kept_(job.kept),
        destination_files_(job.destination_files),
        inputs_(inputs),
        workspace_(workspace) {}
  virtual ~FolderConverter() {
    if (!told_later_.empty()) workspace_.background.WaitForAll();
  }

  bool Run() {
    bool converted = false;
    try {
      converted = ConvertAll();
    } catch (const std::exception&) {
      converted = Abort();
    }
    // Every file written is told once its verification is done; a fault
    // found there ends the folder, whatever came after it.
    return SettleVerifications() && converted;
  }

 protected:
  // Converts every record line of `records` (the text after the header)
  // into `output` and tallies its terminals. Returns the line number of the
  // first malformed record, or 0 when every record is well formed;
  // `record_count` is then the number of records.
  virtual int ConvertRecords(std::string_view records, RecordOutput& output,
                             int& record_count) = 0;
  // Whether the highest terminal of a written file is in AB notation.
  virtual bool WritesAbNotation() const = 0;
  virtual Direction direction() const = 0;

  // The loop both directions share, with the record conversion of one
  // direction inlined. Short record lines (short_record_line.h) go through
  // `convert_short`, which advances `records` and the output pointer past
  // the line it converts; a batch of them shares one reservation of
  // `record_room` bytes per record, so that room is checked once per batch.
  // Any other line goes through the general reading and `convert_record`.
  template <typename ConvertShort, typename ConvertRecord>
  static int ConvertLines(std::string_view records, RecordOutput& output,
                          std::size_t record_room, int& record_count,
                          ConvertShort convert_short,
                          ConvertRecord convert_record) {
    constexpr int kHeaderLines = 4;
    constexpr int kBatchRecords = 64;
    int line_number = kHeaderLines;
    record_count = 0;
    while (!records.empty()) {
      char* out = output.Reserve(std::size_t{kBatchRecords} * record_room);
      int converted = 0;
      while (converted < kBatchRecords && convert_short(records, out)) {
        ++converted;
      }
      output.Advance(out);
      line_number += converted;
      record_count += converted;
      if (converted == kBatchRecords) continue;
      RecordLineReader lines(records);
      RecordLine line;
      if (!lines.Next(line)) break;
      ++line_number;
      if (!convert_record(line)) return line_number;
      ++record_count;
      records = lines.rest();
    }
    return 0;
  }

  // Output room for a terminal pair written by TerminalTables or
  // CopyShortTerminal, the hyphen included.
  static constexpr std::size_t kTerminalPairRoom =
      2 * TerminalTables::kWriteRoom + 1;

  // Writes the record tail at `out`, which has tail_room() bytes of room.
  // A short tail (the usual limits) is copied as one fixed-size block, which
  // the compiler turns into two moves instead of a library call.
  char* CopyTail(char* out) const {
    if (tail_.size() <= kPaddedTailSize) {
      std::memcpy(out, padded_tail_.data(), kPaddedTailSize);
    } else {
      std::memcpy(out, tail_.data(), tail_.size());
    }
    return out + tail_.size();
  }
  std::size_t tail_room() const {
    return std::max(tail_.size(), kPaddedTailSize);
  }

  WiringWorkspace& workspace() { return workspace_; }
  const TerminalTables& tables() const { return workspace_.tables; }
  const ConversionInputs& inputs() const { return inputs_; }
  void set_tail(std::string tail) {
    tail_ = std::move(tail) + "\r\n";
    padded_tail_.fill(0);
    tail_.copy(padded_tail_.data(), padded_tail_.size());
  }

 private:
  // A file whose verification is under way, with what its report, the
  // undoing of its writes and the verification itself need.
  struct PendingFile {
    int file_number = 0;
    std::string name;
    FileReport report;
    std::string source;                     // the bytes converted
    std::optional<ListedTerminals> listed;  // as the listing read them
    std::optional<std::string> comment;     // the comment copied
    // A file left in place unchanged: its bytes as read by its name just
    // before, which the verification reads rather than a second time.
    std::optional<std::string> found;
    std::optional<FileIdentity> written;  // as this run put it in place
    bool made = false;                    // new: undone by its removal
    CommentBackup comment_backup;
    std::optional<FileFault> fault;  // the verification's, once done
  };
  // What is told once the verifications before it are done, in order.
  struct Told {
    enum What { kVerified, kDone, kFolderAborted } what = kDone;
    int file_number = 0;
    FileReport report;                     // with kDone
    std::unique_ptr<PendingFile> pending;  // with kVerified
  };

  bool ConvertAll() {
    const std::optional<std::string> model_name =
        Utf8ToCp932(TrimSpaces(inputs_.model_name));
    if (!model_name) return Abort();
    model_name_ = *model_name;
    expectation_.direction = direction();
    expectation_.notation = inputs_.notation;
    expectation_.model_name = model_name_;
    expectation_.lower = TrimSpaces(inputs_.lower);
    expectation_.upper = TrimSpaces(inputs_.upper);
    // One folder is converted by one run at a time, so a temporary file of
    // a run that no longer exists can only be the leftover of a killed run.
    if (!inputs_.dry_run) {
      if (!destination_files_) {
        destination_files_ =
            std::make_shared<OpenedFolder>(PathFromUtf8(destination_folder_));
      }
      folder_look_ = destination_files_->RemoveStaleTempFiles();
    }
    written_names_.clear();
    const int count = FileCount(source_);
    for (int file_number = 1; file_number <= count; ++file_number) {
      if (observer_.StopRequested()) return false;
      if (!ConvertFile(file_number)) return false;
    }
    return true;
  }

  bool ConvertFile(int file_number) {
    observer_.FileStarted(file_number);
    const WiringFile& file = FileNumber(source_, file_number);
    FileRead read = SourceContent(file_number);
    if (!read.ok()) {
      return AbortFile(file_number, ReadFault(FaultKind::kUnreadable,
                                              read.error, read.size));
    }
    LineReader lines(read.content);
    std::string_view date_time;
    if (!CheckHeader(file_number, lines, date_time)) return false;

    const bool single_ended = file.summary.single_ended != 0;
    if (file.summary.circuits <= 0 || single_ended) {
      Report(file_number, single_ended ? FileOutcome::kSkippedSingleEnded
                                       : FileOutcome::kSkippedNoCircuits);
      return true;
    }
    const std::string& name = file.name;
    const std::string target = destination_folder_ + name + kWiringExtension;
    // Sources whose names differ only in the extension's case share one
    // destination: the first one written keeps it.
    // An existing file that is to be kept is found by the staged write
    // itself (kTargetExists), so only a dry run looks for it here.
    std::optional<FileOutcome> skip;
    if (written_names_.Contains(name) || IsWrittenUnderAnotherSpelling(name)) {
      skip = FileOutcome::kSkippedSameName;
    } else if (!overwrite_ && inputs_.dry_run && FileExists(target)) {
      skip = FileOutcome::kSkippedExists;
    }
    const bool writes = !skip && !inputs_.dry_run;

    // The records go straight into the staged file, after a header of the
    // size the summary's counts give; they differ only when the file
    // changed since it was listed, and then the file is converted again.
    // Every record is checked before the file is skipped or put in place,
    // so that a malformed one is reported whatever becomes of the file.
    std::size_t expected_header_size =
        HeaderText(date_time, file.summary.circuits, file.summary.terminals)
            .size();
    const std::filesystem::path file_name =
        PathFromUtf8(name + kWiringExtension);
    // With overwriting, a file that already holds what the conversion makes
    // is left as it is, its date included: the output is compared with it
    // rather than written, and written (converted again) only when it
    // differs.
    std::optional<std::string> existing;
    if (writes && overwrite_ && folder_look_.MayHold(file_name)) {
      FileRead found =
          ReadFileUpTo(*destination_files_, file_name, kMaxWiringFileSize);
      if (found.ok()) existing = std::move(found.content);
    }
    std::optional<CompanionComment> source_comment;
    for (;;) {
      std::optional<StagedWrite> staged;
      if (writes && !existing) {
        staged.emplace(
            *destination_files_, file_name,
            overwrite_ ? ExistingTarget::kReplace : ExistingTarget::kKeep,
            folder_look_.MayHold(file_name)
                ? TargetKnowledge::kUnknown
                : TargetKnowledge::kAbsentWhenLooked);
        // Verification removes a file that does not say what its source
        // says only while it is the one this run wrote.
        if (inputs_.verify) staged->NoteIdentity();
      }
      RecordOutput& output = workspace_.output;
      if (existing) {
        output.StartComparing(*existing, expected_header_size);
      } else {
        output.Start(
            staged && staged->error() == WriteError::kNone ? &*staged : nullptr,
            expected_header_size);
      }
      TerminalTally& tally = workspace_.tally;
      tally.ResetTerminalTally();
      tally.SetHighestTerminal(0);
      int record_count = 0;
      const int bad_line = ConvertRecords(lines.rest(), output, record_count);
      if (bad_line != 0) {
        return AbortFile(file_number,
                         LineFault(FaultKind::kMalformedRecord, bad_line));
      }
      if (skip) {
        Report(file_number, *skip, target);
        return true;
      }
      const int terminals = tally.SummarizeTerminals();
      const std::string header = HeaderText(date_time, record_count, terminals);
      if (!output.Finish(header)) {
        expected_header_size = header.size();
        continue;
      }
      if (existing) {
        if (!source_comment) source_comment = SourceComment(file_number);
        if (!output.same_as_existing() ||
            !CommentInPlace(name, *source_comment)) {
          existing.reset();
          continue;
        }
      }
      std::optional<std::string> comment;
      CommentBackup backup;
      if (staged) {
        if (!source_comment) source_comment = SourceComment(file_number);
        bool lost_race = false;
        if (!WriteFiles(file_number, name, target, *staged, *source_comment,
                        backup, lost_race, comment))
          return false;
        if (lost_race) {
          Report(file_number, FileOutcome::kSkippedExists, target);
          return true;
        }
      } else if (existing && source_comment->value) {
        comment = source_comment->value;
      }
      written_names_.Add(name);
      FileReport report =
          ReportOf(file_number, FileOutcome::kConverted, target);
      report.unchanged = existing.has_value();
      report.written.circuits = record_count;
      report.written.terminals = terminals;
      report.written.highest_terminal = tally.HighestTerminal();
      report.written.highest_in_ab = WritesAbNotation();
      if ((staged || existing) && inputs_.verify) {
        auto pending = std::make_unique<PendingFile>();
        pending->file_number = file_number;
        pending->name = name;
        pending->report = std::move(report);
        pending->source = std::move(read.content);
        if (kept_ != nullptr)
          pending->listed = kept_->TakeTerminals(file_number);
        pending->comment = std::move(comment);
        pending->found = std::move(existing);
        if (staged) {
          pending->written = staged->identity();
          pending->made = !staged->replaces_file();
          pending->comment_backup = std::move(backup);
        }
        return QueueVerification(std::move(pending));
      }
      TellDone(file_number, std::move(report));
      return true;
    }
  }

  // Sources whose names differ only in letter case (W1, w1) share one
  // destination file where the destination folder ignores case, as FAT,
  // exFAT, SMB shares and Windows do: the first one written keeps it. The
  // file system decides which names it takes for one, so the other
  // spelling counts when it names a file now (in a dry run, when the names
  // fold alike).
  bool IsWrittenUnderAnotherSpelling(const std::string& name) {
    if (!written_names_.HasOtherSpelling(name)) return false;
    if (inputs_.dry_run) return NamesIgnoreCaseOnThisSystem();
    return destination_files_->IgnoresCase() &&
           IdentityIn(*destination_files_,
                      PathFromUtf8(name + kWiringExtension))
               .has_value();
  }

  // The bytes the listing kept of file `file_number`, else the file as it is
  // now. Once converted, a file's bytes go with the returned value.
  FileRead SourceContent(int file_number) {
    if (std::optional<std::string> kept =
            kept_ != nullptr ? kept_->Take(file_number) : std::nullopt) {
      FileRead read;
      read.size = kept->size();
      read.content = std::move(*kept);
      return read;
    }
    return ReadWiringFile(FileNumber(source_, file_number).WiringPath());
  }

  std::string HeaderText(std::string_view date_time, std::int64_t circuits,
                         std::int64_t terminals) const {
    std::string header;
    AppendWiringHeader(header, model_name_, date_time, circuits, terminals);
    return header;
  }

  // Writes the wiring file and its comment. Everything about the wiring
  // file that can fail is settled before the comment is touched: its
  // content waits complete in a temporary file. The comment goes first: a
  // run stopped between the two then leaves no wiring file, so the next run
  // writes both, whereas a wiring file without its comment would be passed
  // over as existing. `lost_race` tells that another run put a file of that
  // name in place meanwhile (overwriting off), or the comment file since
  // this run looked; it keeps its files.
  // `comment` is then the comment copied, if any, and `backup` what undoes
  // it. A file that replaces another cannot be undone, so it waits until
  // every file before it has passed its verification.
  bool WriteFiles(int file_number, const std::string& name,
                  const std::string& target, StagedWrite& wiring,
                  CompanionComment& source_comment, CommentBackup& backup,
                  bool& lost_race, std::optional<std::string>& comment) {
    if (wiring.error() == WriteError::kTargetExists) {
      lost_race = true;
      return true;
    }
    if (wiring.error() != WriteError::kNone) {
      return AbortFile(file_number, WriteFault(target, wiring.error()));
    }
    if (wiring.replaces_file() && !SettleVerifications()) return false;
    switch (CopyComment(file_number, name, source_comment, backup, comment)) {
      case CommentCopy::kFailed:
        return false;
      case CommentCopy::kTaken:
        lost_race = true;
        return true;
      case CommentCopy::kDone:
        break;
    }
    if (inputs_.comment_written) inputs_.comment_written(name);
    const WriteError committed = wiring.Commit();
    // A file that appeared meanwhile is kept, and its comment file with it.
    if (committed == WriteError::kTargetExists) {
      backup.Restore();
      lost_race = true;
      return true;
    }
    if (committed != WriteError::kNone) {
      backup.Restore();
      return AbortFile(file_number, WriteFault(target, committed));
    }
    return true;
  }

  // The four header lines, each fault with its message; `date_time` is then
  // line 2 exactly as read.
  bool CheckHeader(int file_number, LineReader& lines,
                   std::string_view& date_time) {
    const std::optional<WiringHeader> header = ReadWiringHeader(lines);
    if (!header)
      return AbortFile(file_number, KindFault(FaultKind::kShortHeader));
    const int bad_line = RefusedHeaderLine(*header);
    if (bad_line != 0) {
      return AbortFile(file_number,
                       LineFault(FaultKind::kHeaderLine, bad_line));
    }
    date_time = header->date_time;
    return true;
  }

  // The companion comment goes along when the source has one. A comment
  // file that cannot be read or written is a fault of the wiring file, as
  // its own write would be: a later run would pass the file over as
  // existing, and the comment would never arrive. A listing made ahead may
  // have read it already.
  //
  // Without overwriting, a comment file that was not there when this run
  // looked is not replaced: another run converting the same file made it,
  // and the file is left to that run as its wiring file would be.
  CommentCopy CopyComment(int file_number, const std::string& name,
                          CompanionComment& source_comment,
                          CommentBackup& backup,
                          std::optional<std::string>& copied) {
    CompanionComment* comment = &source_comment;
    if (!comment->file) return CommentCopy::kDone;
    if (comment->error != ReadError::kNone) {
      AbortFile(file_number,
                ReadFault(FaultKind::kCommentUnreadable, comment->error, 0,
                          PathToUtf8(*comment->file)));
      return CommentCopy::kFailed;
    }
    if (!comment->value) return CommentCopy::kDone;
    const std::string written =
        destination_folder_ + name + kCompanionExtension;
    const std::filesystem::path written_name =
        PathFromUtf8(name + kCompanionExtension);
    if (!backup.Take(*destination_files_, written_name, folder_look_)) {
      AbortFile(file_number,
                PathFault(FaultKind::kDestinationCommentUnreadable, written));
      return CommentCopy::kFailed;
    }
    StagedWrite staged(*destination_files_, written_name,
                       overwrite_ || backup.existed() ? ExistingTarget::kReplace
                                                      : ExistingTarget::kKeep,
                       folder_look_.MayHold(written_name)
                           ? TargetKnowledge::kUnknown
                           : TargetKnowledge::kAbsentWhenLooked);
    if (staged.error() == WriteError::kTargetExists) return CommentCopy::kTaken;
    staged.NoteIdentity();
    const WriteError committed =
        staged.WriteAt(0, SetIniValue(backup.old_content(), kCommentSection,
                                      kCommentKey, *comment->value))
            ? staged.Commit()
            : staged.error();
    if (committed == WriteError::kTargetExists) return CommentCopy::kTaken;
    if (committed != WriteError::kNone) {
      AbortFile(file_number, PathFault(FaultKind::kCommentNotWritten, written));
      return CommentCopy::kFailed;
    }
    backup.Wrote(staged.identity());
    copied = std::move(comment->value);
    return CommentCopy::kDone;
  }

  // The comment of a source file: read ahead with its listing, or now.
  CompanionComment SourceComment(int file_number) {
    std::optional<CompanionComment> comment =
        kept_ != nullptr ? kept_->TakeComment(file_number) : std::nullopt;
    return comment ? std::move(*comment)
                   : companions_.Read(FileNumber(source_, file_number));
  }

  // True when the destination's comment file holds what copying `comment`
  // would leave there, or there is nothing to copy. A comment that cannot
  // be read is left to the copy, which reports it.
  bool CommentInPlace(const std::string& name,
                      const CompanionComment& comment) {
    if (!comment.file) return true;
    if (comment.error != ReadError::kNone) return false;
    if (!comment.value) return true;
    const FileRead read =
        ReadFileUpTo(*destination_files_,
                     PathFromUtf8(name + kCompanionExtension), kMaxIniFileSize);
    return read.ok() && SetIniValue(read.content, kCommentSection, kCommentKey,
                                    *comment.value) == read.content;
  }

  // Verifies a file put in place (or left in place unchanged) on the
  // workspace's second thread while the next files are converted: reads it
  // back by its name, with its comment file, and compares them with the
  // source and the comment copied. What became of it is told once that is
  // done, and so is everything told of the files after it.
  bool QueueVerification(std::unique_ptr<PendingFile> pending) {
    PendingFile* file = pending.get();
    told_later_.push_back({Told::kVerified, 0, {}, std::move(pending)});
    ++verifications_;
    workspace_.background.Push([this, file] {
      try {
        file->fault = WrittenFileFault(*file);
      } catch (const std::exception&) {
        file->fault =
            ReadFault(FaultKind::kWrittenFileUnreadable, ReadError::kTooLarge,
                      0, destination_folder_ + file->name + kWiringExtension);
      }
    });
    // The bytes waiting for their verification stay few.
    constexpr int kMaxVerificationsWaiting = 64;
    return verifications_ < kMaxVerificationsWaiting || SettleVerifications();
  }

  // Waits for the verifications under way and tells, in order, what waited
  // for them. A file that does not say what its source says is a fault of
  // its own: it is removed while it is still the one this run put there
  // (left in place, a later run would pass it over as existing), the files
  // this run made after it are undone, and nothing after it is told, as
  // when a run ends at a file's fault. False at such a fault.
  bool SettleVerifications() {
    if (told_later_.empty()) return true;
    workspace_.background.WaitForAll();
    std::vector<Told> told = std::exchange(told_later_, {});
    verifications_ = 0;
    for (std::size_t index = 0; index < told.size(); ++index) {
      Told& next = told[index];
      switch (next.what) {
        case Told::kVerified: {
          PendingFile& file = *next.pending;
          if (file.fault) {
            for (std::size_t later = index + 1; later < told.size(); ++later) {
              if (told[later].pending && told[later].pending->made) {
                Undo(*told[later].pending);
              }
            }
            // Left in place, a later run would pass it over as existing.
            Undo(file);
            observer_.FileDone(
                file.file_number,
                FaultReport(std::move(file.report.source), *file.fault));
            observer_.FolderAborted();
            return false;
          }
          file.report.verified = true;
          observer_.FileDone(file.file_number, file.report);
          break;
        }
        case Told::kDone:
          observer_.FileDone(next.file_number, next.report);
          break;
        case Told::kFolderAborted:
          observer_.FolderAborted();
          break;
      }
    }
    return true;
  }

  // Takes back a file this run put in place and the comment it copied,
  // each only while it is still the one this run wrote: a file that failed
  // its verification, and the files made after it.
  void Undo(const PendingFile& file) {
    const std::filesystem::path file_name =
        PathFromUtf8(file.name + kWiringExtension);
    if (file.written &&
        IdentityIn(*destination_files_, file_name) == file.written) {
      RemoveFileIn(*destination_files_, file_name);
    }
    file.comment_backup.Restore();
  }

  // The fault of the file put in place (or left in place) as read back by
  // its name, if any.
  std::optional<FileFault> WrittenFileFault(const PendingFile& file) const {
    const std::string& name = file.name;
    if (inputs_.file_written) inputs_.file_written(name);
    const std::string target = destination_folder_ + name + kWiringExtension;
    FileRead read;
    if (!file.found) {
      read = ReadFileUpTo(*destination_files_,
                          PathFromUtf8(name + kWiringExtension),
                          kMaxWiringFileSize);
      if (!read.ok()) {
        return ReadFault(FaultKind::kWrittenFileUnreadable, read.error,
                         read.size, target);
      }
    }
    const std::string_view written = file.found ? *file.found : read.content;
    if (const std::optional<Mismatch> mismatch =
            CompareConvertedFile(file.source, written, expectation_,
                                 file.listed ? &*file.listed : nullptr)) {
      FileFault fault =
          LineFault(FaultKind::kWrittenFileDiffers,
                    mismatch->destination_line != 0 ? mismatch->destination_line
                                                    : mismatch->source_line);
      fault.path = target;
      return fault;
    }
    if (file.comment) return CommentFault(name, *file.comment);
    return std::nullopt;
  }

  // The comment file of `name` read back, unless its comment is `comment`.
  std::optional<FileFault> CommentFault(const std::string& name,
                                        const std::string& comment) const {
    const std::string path = destination_folder_ + name + kCompanionExtension;
    const FileRead read =
        ReadFileUpTo(*destination_files_,
                     PathFromUtf8(name + kCompanionExtension), kMaxIniFileSize);
    if (!read.ok()) {
      return ReadFault(FaultKind::kWrittenFileUnreadable, read.error, read.size,
                       path);
    }
    if (FindProfileValue(read.content, kCommentSection, kCommentKey) ==
        comment) {
      return std::nullopt;
    }
    return PathFault(FaultKind::kWrittenCommentDiffers, path);
  }

  FileReport ReportOf(int file_number, FileOutcome outcome,
                      std::string destination = {}) const {
    FileReport report;
    report.source = FileNumber(source_, file_number).WiringPath();
    report.outcome = outcome;
    report.destination = std::move(destination);
    return report;
  }

  void Report(int file_number, FileOutcome outcome,
              std::string destination = {}) {
    TellDone(file_number,
             ReportOf(file_number, outcome, std::move(destination)));
  }

  bool AbortFile(int file_number, FileFault fault) {
    TellDone(file_number,
             FaultReport(FileNumber(source_, file_number).WiringPath(),
                         std::move(fault)));
    return Abort();
  }

  bool Abort() {
    if (told_later_.empty()) {
      observer_.FolderAborted();
    } else {
      told_later_.push_back({Told::kFolderAborted, 0, {}, nullptr});
    }
    return false;
  }

  // What became of a file waits while a file before it is verified; that
  // a file is taken up is told at once.
  void TellDone(int file_number, FileReport report) {
    if (told_later_.empty()) {
      observer_.FileDone(file_number, report);
    } else {
      told_later_.push_back(
          {Told::kDone, file_number, std::move(report), nullptr});
    }
  }

  ConversionObserver& observer_;
  const WiringFileList& source_;
  const std::string& destination_folder_;
  KeptSources* kept_;
  // The destination folder, opened once for the files written into it, and
  // what the look through it at the start found.
  std::shared_ptr<OpenedFolder> destination_files_;
  FolderLook folder_look_;
  const ConversionInputs& inputs_;
  WiringWorkspace& workspace_;
  std::string model_name_;  // Shift-JIS
  // What every file written must say beyond its source's circuits.
  ConversionExpectation expectation_;
  std::vector<Told> told_later_;
  int verifications_ = 0;  // kVerified among them
  // The part of every record line after its terminal pair, line end
  // included (Shift-JIS), and its first bytes in a block of fixed size.
  static constexpr std::size_t kPaddedTailSize = 32;
  std::string tail_;
  std::array<char, kPaddedTailSize> padded_tail_{};
  const bool overwrite_ = inputs_.overwrite;
  // The names written into the destination folder by this run.
  WrittenNames written_names_;
  CompanionReader companions_;
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
  int ConvertRecords(std::string_view records, RecordOutput& output,
                     int& record_count) override {
    const TerminalTables& terminal_tables = tables();
    TerminalTally& tally = workspace().tally;
    return ConvertLines(
        records, output, kTerminalPairRoom + tail_room(), record_count,
        [&](std::string_view& rest, char*& out) {
          return ConvertShortRecord(rest, out, terminal_tables, tally);
        },
        [&](const RecordLine& line) { return ConvertRecord(line, output); });
  }

  bool WritesAbNotation() const override { return false; }
  Direction direction() const override { return Direction::kContinuityToHipot; }

 private:
  // A short record line whose terminals are both AB terminals of the usual
  // form or both one to four plain digits; any other line is left to
  // ConvertRecord. The reading rules give these forms the same result.
  bool ConvertShortRecord(std::string_view& rest, char*& out,
                          const TerminalTables& terminal_tables,
                          TerminalTally& tally) const {
    ShortRecordLine line;
    if (!ReadShortRecordLine<kContinuityFieldCount>(rest, line)) return false;
    int from_number = 0;
    int to_number = 0;
    if (ShortAbPairToSequence(line.from, line.to, from_number, to_number)) {
      out = terminal_tables.WriteDecimal(out, from_number);
      *out++ = '-';
      out = terminal_tables.WriteDecimal(out, to_number);
      tally.TallyTableNumber(from_number);
      tally.TallyTableNumber(to_number);
    } else {
      int from_value = 0;
      int to_value = 0;
      if (!ShortDigitsValues(line.from, line.to, from_value, to_value)) {
        return false;
      }
      out = CopyShortTerminal(out, line.from);
      *out++ = '-';
      out = CopyShortTerminal(out, line.to);
      tally.TallyTerminalNumber(from_value);
      tally.TallyTerminalNumber(to_value);
    }
    out = CopyTail(out);
    rest.remove_prefix(line.next);
    return true;
  }

  // Copies a sequential terminal of at most four digits as written (digits
  // need no upper-casing) as one eight-byte block, which the short line
  // guarantees readable.
  static char* CopyShortTerminal(char* out, std::string_view terminal) {
    std::memcpy(out, terminal.data(), TerminalTables::kWriteRoom);
    return out + terminal.size();
  }

  bool ConvertRecord(const RecordLine& line, RecordOutput& output) {
    const std::optional<ContinuityRecord> record = ReadContinuityRecord(line);
    if (!record) return false;
    TerminalTally& tally = workspace().tally;
    char* out = nullptr;
    if (record->ab_notation) {
      out = output.Reserve(2 * TerminalTables::kWriteRoom + tail_room());
      out = tables().WriteDecimal(out, record->from_number);
      *out++ = '-';
      out = tables().WriteDecimal(out, record->to_number);
      tally.TallyTerminalNumber(record->from_number);
      tally.TallyTerminalNumber(record->to_number);
    } else {
      // Sequential terminals are copied as written (upper-cased), leading
      // zeros included.
      const TerminalPair& pair = record->pair;
      out = output.Reserve(pair.from.size() + 1 + pair.to.size() + tail_room());
      out = CopySjisUpper(out, pair.from);
      *out++ = '-';
      out = CopySjisUpper(out, pair.to);
      tally.TallyTerminal(pair.from);
      tally.TallyTerminal(pair.to);
    }
    output.Advance(CopyTail(out));
    return true;
  }
};

// Hipot records into continuity records, terminals zero-padded to four digits
// or written as AB numbers.
class ToContinuityConverter : public FolderConverter {
 public:
  template <typename... Args>
  explicit ToContinuityConverter(Args&&... args)
      : FolderConverter(std::forward<Args>(args)...),
        ab_notation_(inputs().notation == Notation::kAb) {
    set_tail(ContinuityRecordTail(TrimSpaces(inputs().lower),
                                  TrimSpaces(inputs().upper)));
  }

 protected:
  int ConvertRecords(std::string_view records, RecordOutput& output,
                     int& record_count) override {
    return ab_notation_
               ? ConvertInNotation<true>(records, output, record_count)
               : ConvertInNotation<false>(records, output, record_count);
  }

  bool WritesAbNotation() const override { return ab_notation_; }
  Direction direction() const override { return Direction::kHipotToContinuity; }

 private:
  template <bool kAbNotation>
  int ConvertInNotation(std::string_view records, RecordOutput& output,
                        int& record_count) {
    const TerminalTables& terminal_tables = tables();
    TerminalTally& tally = workspace().tally;
    return ConvertLines(
        records, output, kTerminalPairRoom + tail_room(), record_count,
        [&](std::string_view& rest, char*& out) {
          return ConvertShortRecord<kAbNotation>(rest, out, terminal_tables,
                                                 tally);
        },
        [&](const RecordLine& line) {
          return ConvertRecord<kAbNotation>(line, output);
        });
  }

  static bool IsTableNumber(int number) {
    return static_cast<unsigned>(number - 1) <
           static_cast<unsigned>(TableCapacity);
  }

  // A short record line whose terminals are one to four plain digits naming
  // 1..TableCapacity; any other line is left to ConvertRecord, which reads
  // these the same way.
  template <bool kAbNotation>
  bool ConvertShortRecord(std::string_view& rest, char*& out,
                          const TerminalTables& terminal_tables,
                          TerminalTally& tally) const {
    ShortRecordLine line;
    if (!ReadShortRecordLine<kHipotFieldCount>(rest, line)) return false;
    int from = 0;
    int to = 0;
    if (!ShortDigitsValues(line.from, line.to, from, to)) return false;
    const bool from_in_table = IsTableNumber(from);
    const bool to_in_table = IsTableNumber(to);
    if (!(from_in_table & to_in_table)) return false;
    tally.TallyTableNumber(from);
    tally.TallyTableNumber(to);
    out = WriteTerminal<kAbNotation>(out, from, terminal_tables);
    *out++ = '-';
    out = WriteTerminal<kAbNotation>(out, to, terminal_tables);
    out = CopyTail(out);
    rest.remove_prefix(line.next);
    return true;
  }

  // The terminal number of a text, 0 when it is none. The four bytes from
  // the text's start are readable: a terminal of a six-field record is
  // followed by at least five commas.
  static int TerminalNumber(std::string_view text) {
    int number = ShortDigitsValue(text);
    if (number < 0) {
      const WholeNumber whole = ParseWholeNumber(text);
      number = whole.ok() ? whole.value : 0;
    }
    return number >= 1 && number <= TableCapacity ? number : 0;
  }

  template <bool kAbNotation>
  bool ConvertRecord(const RecordLine& line, RecordOutput& output) {
    const std::optional<TerminalPair> pair =
        SplitRecord(line, kHipotFieldCount);
    // A single-ended record cannot be written on the continuity side.
    if (!pair || pair->to.empty()) return false;
    const int from = TerminalNumber(pair->from);
    const int to = TerminalNumber(pair->to);
    if (from == 0 || to == 0) return false;
    TerminalTally& tally = workspace().tally;
    tally.TallyTerminalNumber(from);
    tally.TallyTerminalNumber(to);
    char* out = output.Reserve(kTerminalPairRoom + tail_room());
    out = WriteTerminal<kAbNotation>(out, from, tables());
    *out++ = '-';
    out = WriteTerminal<kAbNotation>(out, to, tables());
    output.Advance(CopyTail(out));
    return true;
  }

  template <bool kAbNotation>
  static char* WriteTerminal(char* out, int number,
                             const TerminalTables& terminal_tables) {
    return kAbNotation ? terminal_tables.WriteAbNumber(out, number)
                       : terminal_tables.WriteFourDigits(out, number);
  }

  bool ab_notation_;
};

}  // namespace

bool ConvertFolderToHipot(ConversionObserver& observer, const FolderJob& job,
                          const ConversionInputs& inputs,
                          WiringWorkspace& workspace) {
  ToHipotConverter converter(observer, job, inputs, workspace);
  return converter.Run();
}

bool ConvertFolderToContinuity(ConversionObserver& observer,
                               const FolderJob& job,
                               const ConversionInputs& inputs,
                               WiringWorkspace& workspace) {
  ToContinuityConverter converter(observer, job, inputs, workspace);
  return converter.Run();
}

}  // namespace cordshift
