#ifndef CORDSHIFT_PLATFORM_TEXT_FILE_H_
#define CORDSHIFT_PLATFORM_TEXT_FILE_H_

// Whole-file reading, line splitting by the wiring files' rule, and atomic
// replacement of a file. Paths are UTF-8 texts.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/folder_scan.h"

namespace cordshift {

// The path for a UTF-8 path text (the file-system boundary).
std::filesystem::path PathFromUtf8(std::string_view utf8);
// The UTF-8 text of a path.
std::string PathToUtf8(const std::filesystem::path& path);

// Why a file could not be read whole.
enum class ReadError {
  kNone,
  kMissing,     // no file of that name
  kNotAFile,    // a folder, device or pipe has that name
  kCannotRead,  // opening or reading failed
  kTooLarge,    // larger than the caller's limit, or than memory allows
};

struct FileRead {
  std::string content;
  ReadError error = ReadError::kNone;
  std::uint64_t size = 0;  // the size found, also when it was too large

  bool ok() const { return error == ReadError::kNone; }
};

// The whole content of a regular file of at most `max_size` bytes. Pipes and
// devices are not read: they would block or never end.
FileRead ReadFileUpTo(const std::filesystem::path& path,
                      std::uint64_t max_size);

struct FileSpot;

// A folder that many files are read from and written into, opened once so
// that each file is named within it rather than by its whole path, which
// the system would walk again for every call. Where the folder cannot be
// opened, and on Windows, files are named by their whole paths.
//
// Where the system has files without a name (Linux), another thread can
// make some ahead in the folder (MakeUnnamedFiles), for staged writes of new
// files there to take: making a file can cost more than writing it. A file
// made ahead and never taken leaves nothing behind.
class OpenedFolder {
 public:
  explicit OpenedFolder(const std::filesystem::path& folder);
  ~OpenedFolder();
  OpenedFolder(const OpenedFolder&) = delete;
  OpenedFolder& operator=(const OpenedFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // The identity of the folder as opened, which later changes to the path
  // (a link put in its place) do not affect: the folder that files named
  // within it go to. On Windows the folder is held open from construction
  // on, so that it cannot be renamed or removed meanwhile. No value when it
  // could not be opened.
  std::optional<FileIdentity> Identity() const;

  // Makes up to `count` unnamed files for later writes, fewer when making
  // one fails or StopMakingUnnamedFiles is called meanwhile. Safe to call
  // while another thread writes files in the folder.
  void MakeUnnamedFiles(int count);
  void StopMakingUnnamedFiles() { stop_making_ = true; }

  // As the free function RemoveStaleTempFiles, for this folder. The same
  // look through the folder notes the names it holds (POSIX, where names
  // are exact bytes): a write that keeps an existing file then need not
  // look for its target first when the name was not among them, since the
  // link that names the staged file refuses a file made since. Called from
  // the thread that writes the files.
  int RemoveStaleTempFiles();

  // True when the folder's file system takes names that differ only in
  // letter case for one name (FAT, exFAT, SMB shares; always on Windows).
  // Found out once, by making a temporary file of this program's own there
  // and looking it up under its name in capitals.
  bool IgnoresCase();
  // Takes the folder for one that ignores letter case without asking it:
  // for tests, which stand in such a folder with a second name for a file
  // (a hard link).
  void TreatAsIgnoringCase() { ignores_case_ = true; }

  // False when `name` was not among the names noted by
  // RemoveStaleTempFiles: it did not exist when the folder was looked
  // through. True when it was, or none were noted.
  bool MayHold(const std::filesystem::path& name) const {
    return !held_names_ || held_names_->contains(name.native());
  }

 private:
  friend class StagedWrite;
  friend struct FileSpot;

  // An unnamed file made ahead, or -1 when none is left.
  std::intptr_t TakeUnnamedFile();

  std::filesystem::path path_;
  int handle_;  // the open folder (POSIX), else the current folder's marker
  std::intptr_t pin_ = -1;  // the folder held open (Windows)
  std::optional<bool> ignores_case_;
  // Set once the kernel has refused to name an unnamed file by its
  // descriptor, so that the rest of the folder's files go the other way.
  bool empty_path_refused_ = false;
  std::optional<std::unordered_set<std::filesystem::path::string_type>>
      held_names_;
  std::atomic<bool> stop_making_{false};
  std::mutex made_mutex_;
  std::vector<std::intptr_t> made_files_;  // guarded by made_mutex_
};

// Where a file is: its path relative to an opened folder (POSIX; the whole
// path relative to the current folder where none is opened), and its whole
// path, by which Windows names it (empty for a file of a folder opened on
// POSIX, which is never named so).
struct FileSpot {
  int folder = -1;
  std::filesystem::path relative;
  std::filesystem::path whole;
  OpenedFolder* opened = nullptr;  // the opened folder it is in, if any

  // A file named by its whole path.
  static FileSpot At(const std::filesystem::path& whole);
  // File `name` of an opened folder.
  static FileSpot In(OpenedFolder& folder, const std::filesystem::path& name);
};

// As ReadFileUpTo, for file `name` of an opened folder.
FileRead ReadFileUpTo(OpenedFolder& folder, const std::filesystem::path& name,
                      std::uint64_t max_size);

// The identity of file `name` of an opened folder, links followed; no value
// when there is none.
std::optional<FileIdentity> IdentityIn(OpenedFolder& folder,
                                       const std::filesystem::path& name);

// Removes file `name` of an opened folder, if it can.
void RemoveFileIn(OpenedFolder& folder, const std::filesystem::path& name);

// The whole content of a regular file; no value when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Walks the lines of a text: CR LF or a lone CR ends a line, a lone LF stays
// inside the line. A last line without a line end counts; a text that ends
// with a line end has no empty line after it. Yields views into the text,
// without allocating.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}

  // The next line, or no value at the end of the text.
  std::optional<std::string_view> Next();
  bool AtEnd() const { return rest_.empty(); }
  // The text from the next line on.
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

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

// A short English reason for a failed write, for reports.
const char* WriteErrorText(WriteError error);

// Prefix of the temporary files that atomic writes create beside their
// target; a file with this prefix is never a user's file.
inline constexpr std::string_view kTempFilePrefix = ".cordshift-tmp-";

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
  StagedWrite(OpenedFolder& folder, const std::filesystem::path& name,
              ExistingTarget existing);
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

// The writer named in a temporary file of an atomic write.
struct TempFileOwnerId {
  std::string host;  // the writer's host name, as kept in the name
  unsigned long pid = 0;

  bool operator==(const TempFileOwnerId&) const = default;
};

// This machine's host name as temporary file names hold it: letters, digits
// and "-" only, at most 32 of them ("host" when the name is unknown).
const std::string& ThisHostName();

// The writer of a temporary file of an atomic write, from its name:
// kTempFilePrefix, the target's name (cut to 64 bytes), ".", the writer's
// host name, ".", its process id, ".", the attempt number. No value for any
// other name.
std::optional<TempFileOwnerId> TempFileOwner(std::string_view file_name);

// How old another machine's temporary file must be before it counts as
// left over: its writer cannot be asked whether it still runs.
inline constexpr std::chrono::hours kForeignTempFileAge{24};

// Removes the temporary files that atomic writes of processes no longer
// running have left in `folder` (a run killed between creating a temporary
// file and putting it in place). Only regular files whose whole name is a
// temporary file's name are looked at. Those of this machine go when their
// process no longer runs; those of another machine (a shared network
// folder) only when unchanged for kForeignTempFileAge. Returns how many were
// removed; failures are passed over.
int RemoveStaleTempFiles(const std::filesystem::path& folder);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_TEXT_FILE_H_
