#include "platform/staged_write.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#endif

#include "platform/file_system_calls.h"
#include "platform/temp_files_internal.h"

namespace cordshift {
namespace fs = std::filesystem;

using platform_internal::CloseFile;
using platform_internal::CopyPermissions;
using platform_internal::CreateTempFile;
using platform_internal::CreateUnnamedFile;
using platform_internal::FileHandle;
using platform_internal::FlushToDisk;
using platform_internal::FolderSpotOf;
using platform_internal::HandleToInt;
using platform_internal::IdentityOfHandle;
using platform_internal::IntToHandle;
using platform_internal::kMaxTempNameAttempts;
using platform_internal::kNoFile;
using platform_internal::LinkUnnamedFile;
using platform_internal::RemoveFile;
using platform_internal::RenameOver;
using platform_internal::SiblingOf;
using platform_internal::StatusOf;
using platform_internal::TargetState;
using platform_internal::TargetStatus;
using platform_internal::TempFileName;
using platform_internal::WriteAllAt;
#ifndef _WIN32
using platform_internal::Exists;
#endif

namespace {

#ifdef _WIN32
// Without MOVEFILE_REPLACE_EXISTING the move fails on an existing target,
// in one step.
WriteError MoveKeepingTarget(const FileSpot& from, const FileSpot& to) {
  if (MoveFileExW(from.whole.c_str(), to.whole.c_str(),
                  MOVEFILE_WRITE_THROUGH) != 0) {
    return WriteError::kNone;
  }
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
             ? WriteError::kTargetExists
             : WriteError::kReplaceFailed;
}
#else
// renameat2 refuses an existing target in one step; where the file system
// lacks it, a hard link does the same. Only where neither works is the test
// and the rename two steps.
WriteError MoveKeepingTarget(const FileSpot& from, const FileSpot& to) {
#ifdef RENAME_NOREPLACE
  if (renameat2(from.folder, from.relative.c_str(), to.folder,
                to.relative.c_str(), RENAME_NOREPLACE) == 0) {
    return WriteError::kNone;
  }
  if (errno == EEXIST) return WriteError::kTargetExists;
#endif
  if (linkat(from.folder, from.relative.c_str(), to.folder, to.relative.c_str(),
             0) == 0) {
    RemoveFile(from);
    return WriteError::kNone;
  }
  if (errno == EEXIST || Exists(to)) return WriteError::kTargetExists;
  return RenameOver(from, to) ? WriteError::kNone : WriteError::kReplaceFailed;
}
#endif

#ifdef _WIN32
bool IsMarkedReadOnly(const fs::path& path, const fs::file_status&) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}
#else
bool IsMarkedReadOnly(const fs::path&, const fs::file_status& status) {
  constexpr fs::perms kWriteBits =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (status.permissions() & kWriteBits) == fs::perms::none;
}
#endif

// Whether the target can be written, from one look at it.
WriteError CheckTarget(const TargetStatus& status) {
  switch (status.state) {
    case TargetState::kFolder:
      return WriteError::kTargetIsFolder;
    case TargetState::kReadOnly:
      return WriteError::kReadOnlyTarget;
    case TargetState::kNoFolder:
      return WriteError::kNoFolder;
    case TargetState::kMissing:
    case TargetState::kWritable:
      break;
  }
  return WriteError::kNone;
}

// Why no file could be created beside a target, just after the attempt.
WriteError CreateFailure() {
#ifdef _WIN32
  return WriteError::kCreateFailed;
#else
  return errno == ENOENT || errno == ENOTDIR ? WriteError::kNoFolder
                                             : WriteError::kCreateFailed;
#endif
}

}  // namespace

bool IsReadOnlyFile(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  return !error && fs::exists(status) && IsMarkedReadOnly(path, status);
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
    case WriteError::kTargetExists:
      return "the file exists";
  }
  return "unknown error";
}

// A read-only target is refused although renaming over it would succeed: the
// tester packages treat such a file as not to be changed.
StagedWrite::StagedWrite(const fs::path& target, ExistingTarget existing)
    : target_(FileSpot::At(target)), existing_(existing) {
  Open();
}

StagedWrite::StagedWrite(const fs::path& target, std::string_view content,
                         ExistingTarget existing)
    : target_(FileSpot::At(target)), existing_(existing) {
  Open();
  if (WriteAt(0, content)) Seal();
}

StagedWrite::StagedWrite(OpenedFolder& folder, const fs::path& name,
                         ExistingTarget existing, TargetKnowledge knowledge)
    : target_(FileSpot::In(folder, name)),
      existing_(existing),
      knowledge_(knowledge) {
  Open();
}

StagedWrite::StagedWrite(OpenedFolder& folder, const fs::path& name,
                         std::string_view content, ExistingTarget existing)
    : target_(FileSpot::In(folder, name)), existing_(existing) {
  Open();
  if (WriteAt(0, content)) Seal();
}

StagedWrite::~StagedWrite() {
  if (!committed_) Discard();
}

void StagedWrite::Open() {
  if (!target_.relative.has_filename()) {
    error_ = WriteError::kNoFolder;
    return;
  }
  // A file to be kept that its folder did not hold when looked through is
  // not looked for: if one has been made since, the link refuses it.
  const bool look = existing_ == ExistingTarget::kReplace ||
                    knowledge_ == TargetKnowledge::kUnknown;
  const TargetStatus status = look ? StatusOf(target_) : TargetStatus{};
  error_ = CheckTarget(status);
  replacing_ = status.state == TargetState::kWritable ||
               status.state == TargetState::kReadOnly;
  if (error_ == WriteError::kNone && replacing_ &&
      existing_ == ExistingTarget::kKeep) {
    error_ = WriteError::kTargetExists;
  }
  if (error_ != WriteError::kNone) return;
  // A file that replaces another goes through a name of its own and a
  // rename, the one step that swaps the old content for the new.
  FileHandle file = replacing_ ? kNoFile : IntToHandle(UnnamedFileFor(target_));
  if (file == kNoFile) {
    file = CreateTempFile(target_, temp_);
    if (file == kNoFile) {
      // The target's folder is only looked at now that nothing could be
      // created in it.
      error_ = CreateFailure();
      temp_ = {};
      return;
    }
    if (replacing_) CopyPermissions(file, status.permissions);
  }
  file_ = HandleToInt(file);
}

// An unnamed file in the target's folder: one made ahead there, else a new
// one.
std::intptr_t StagedWrite::UnnamedFileFor(const FileSpot& target) {
  if (target.opened != nullptr) {
    const std::intptr_t made = target.opened->TakeUnnamedFile();
    if (made != -1) return made;
  }
  return HandleToInt(CreateUnnamedFile(FolderSpotOf(target)));
}

bool StagedWrite::WriteAt(std::uint64_t offset, std::string_view data) {
  if (error_ != WriteError::kNone || sealed_) return false;
  if (!WriteAllAt(IntToHandle(file_), offset, data)) {
    error_ = WriteError::kWriteFailed;
    Discard();
    return false;
  }
  return true;
}

// Flushed first when it is to replace a file, so that a power failure
// cannot cost the old content; a new file has nothing to lose, and flushing
// every file would make a tree conversion many times slower. A named file
// is closed here, before it is renamed; an unnamed one stays open until it
// is linked.
bool StagedWrite::Seal() {
  if (error_ != WriteError::kNone || sealed_)
    return error_ == WriteError::kNone;
  sealed_ = true;
  const FileHandle file = IntToHandle(file_);
  if (note_identity_) identity_ = IdentityOfHandle(file);
  bool ok = !replacing_ || FlushToDisk(file);
  if (!temp_.relative.empty()) {
    ok = CloseFile(file) && ok;
    file_ = -1;
  }
  if (!ok) {
    error_ = WriteError::kWriteFailed;
    Discard();
  }
  return ok;
}

WriteError StagedWrite::Commit() {
  if (committed_ || !Seal()) return error_;
  error_ = PutInPlace();
  committed_ = error_ == WriteError::kNone;
  if (committed_ && file_ != -1) {
    CloseFile(IntToHandle(file_));
    file_ = -1;
  }
  if (!committed_) Discard();
  return error_;
}

WriteError StagedWrite::PutInPlace() {
  if (temp_.relative.empty()) return LinkUnnamed();
  if (existing_ == ExistingTarget::kKeep) {
    return MoveKeepingTarget(temp_, target_);
  }
  return RenameOver(temp_, target_) ? WriteError::kNone
                                    : WriteError::kReplaceFailed;
}

// The link fails on an existing name, in one step. A target that appeared
// since the write was staged is refused when it is to be kept and replaced
// otherwise, through a name of the file's own and a rename.
WriteError StagedWrite::LinkUnnamed() {
  const FileHandle file = IntToHandle(file_);
  bool refused_here = false;
  bool& empty_path_refused = target_.opened != nullptr
                                 ? target_.opened->empty_path_refused_
                                 : refused_here;
  if (LinkUnnamedFile(file, target_, empty_path_refused)) {
    return WriteError::kNone;
  }
  if (errno != EEXIST) return WriteError::kReplaceFailed;
  if (existing_ == ExistingTarget::kKeep) return WriteError::kTargetExists;
  for (int attempt = 0; attempt < kMaxTempNameAttempts; ++attempt) {
    const FileSpot spot =
        SiblingOf(target_, TempFileName(target_.relative, attempt));
    if (LinkUnnamedFile(file, spot, empty_path_refused)) {
      temp_ = spot;
      return RenameOver(spot, target_) ? WriteError::kNone
                                       : WriteError::kReplaceFailed;
    }
    if (errno != EEXIST) break;
  }
  return WriteError::kReplaceFailed;
}

void StagedWrite::Discard() {
  if (file_ != -1) CloseFile(IntToHandle(file_));
  file_ = -1;
  if (!temp_.relative.empty()) RemoveFile(temp_);
  temp_ = {};
}

WriteError WriteFileAtomically(const fs::path& target, std::string_view content,
                               ExistingTarget existing) {
  StagedWrite write(target, content, existing);
  return write.Commit();
}

WriteError WriteFileAtomically(OpenedFolder& folder, const fs::path& name,
                               std::string_view content,
                               ExistingTarget existing) {
  StagedWrite write(folder, name, content, existing);
  return write.Commit();
}

}  // namespace cordshift
