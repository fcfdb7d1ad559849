#ifndef CORDSHIFT_PLATFORM_STAGED_WRITE_H_
#define CORDSHIFT_PLATFORM_STAGED_WRITE_H_

// Files written whole beside their target and put in place in one step, so
// that a reader never sees half a file and a failure leaves the old one.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/folder_scan.h"
#include "platform/opened_folder.h"

namespace cordshift {

// True when the file exists and is marked read-only (no write permission bit
// for anyone on POSIX, the read-only attribute on Windows). Checked by the
// program itself, so that it holds even for a superuser.
bool IsReadOnlyFile(const std::filesystem::path& path);

// Why an atomic write failed; kNone on success.
enum class WriteError {
  kNone,
  kReadOnlyTarget,  // the target exists and is read-only
  kTargetIsFolder,  // the target is a folder
  kNoFolder,        // the folder of the target does not exist
  kCreateFailed,    // the temporary file could not be created
  kWriteFailed,     // writing or flushing the temporary file failed
  kReplaceFailed,   // renaming the temporary file over the target failed
  kTargetExists,    // the target exists and is to be kept
};

// What a write does to a target that exists when the file is put in place.
enum class ExistingTarget {
  kReplace,  // the new file takes its place
  kKeep,     // the write is refused (kTargetExists), atomically: of two
             // writers racing for one name, only one succeeds
};

// What a writer knows of its target before the write looks at it.
enum class TargetKnowledge {
  kUnknown,
  kAbsentWhenLooked,  // a look through its folder did not find it
};

// A short English reason for a failed write, for reports.
const char* WriteErrorText(WriteError error);

// A file staged beside its target, to be put in place by Commit. Where the
// system allows it (Linux, a file system with O_TMPFILE, a target that does
// not exist yet), the staged file has no name until Commit links it under the
// target's, so that a process killed before then leaves nothing behind;
// elsewhere it is a temporary file renamed into place. Everything that can be
// checked before the target changes is checked on construction: the target
// is no folder and not read-only, and its folder exists. Destroying an
// uncommitted write removes the staged file.
class StagedWrite {
 public:
  // Stages the whole content: once constructed, the content waits complete
  // (and, when it is to replace a file, flushed to the disk).
  StagedWrite(const std::filesystem::path& target, std::string_view content,
              ExistingTarget existing = ExistingTarget::kReplace);
  // Stages an empty file that the caller fills with WriteAt, for content
  // too large to be held in memory whole.
  StagedWrite(const std::filesystem::path& target, ExistingTarget existing);
  // As above, for file `name` of an opened folder.
  StagedWrite(OpenedFolder& folder, const std::filesystem::path& name,
              std::string_view content,
              ExistingTarget existing = ExistingTarget::kReplace);
  // With kAbsentWhenLooked, a target to be kept is not looked for: the
  // caller's look through the folder did not find it, and the link that
  // names the staged file refuses one made since.
  StagedWrite(OpenedFolder& folder, const std::filesystem::path& name,
              ExistingTarget existing,
              TargetKnowledge knowledge = TargetKnowledge::kUnknown);
  ~StagedWrite();
  StagedWrite(const StagedWrite&) = delete;
  StagedWrite& operator=(const StagedWrite&) = delete;

  // kNone while the write can still be committed.
  WriteError error() const { return error_; }
  // True when the target existed as a file when the write was staged.
  bool replaces_file() const { return replacing_; }

  // Asks for the identity of the staged file to be noted when its content
  // is complete; once committed, it is the identity of the file under the
  // target's name, by which a caller can later tell its own file from one
  // another writer put there since.
  void NoteIdentity() { note_identity_ = true; }
  const std::optional<FileIdentity>& identity() const { return identity_; }

  // Writes `data` at byte `offset` of the staged file. False, with error()
  // kWriteFailed from then on, when that fails.
  bool WriteAt(std::uint64_t offset, std::string_view data);

  // Puts the file in place under the target's name. On failure the target
  // is untouched and the staged file removed.
  WriteError Commit();

 private:
  void Open();
  bool Seal();
  WriteError PutInPlace();
  WriteError LinkUnnamed();
  static std::intptr_t UnnamedFileFor(const FileSpot& target);
  void Discard();

  FileSpot target_;
  FileSpot temp_;  // an empty path for an unnamed file
  // The open staged file: a descriptor on POSIX, a handle on Windows; -1
  // when none is open.
  std::intptr_t file_ = -1;
  ExistingTarget existing_;
  TargetKnowledge knowledge_ = TargetKnowledge::kUnknown;
  WriteError error_ = WriteError::kNone;
  bool replacing_ = false;
  bool sealed_ = false;
  bool committed_ = false;
  bool note_identity_ = false;
  std::optional<FileIdentity> identity_;
};

// Writes `content` to a temporary file in the target's folder and puts it in
// place once it is complete (flushed first when it replaces a file). On
// failure no temporary file remains and an existing target is untouched.
WriteError WriteFileAtomically(
    const std::filesystem::path& target, std::string_view content,
    ExistingTarget existing = ExistingTarget::kReplace);
// As above, for file `name` of an opened folder.
WriteError WriteFileAtomically(
    OpenedFolder& folder, const std::filesystem::path& name,
    std::string_view content,
    ExistingTarget existing = ExistingTarget::kReplace);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_STAGED_WRITE_H_
