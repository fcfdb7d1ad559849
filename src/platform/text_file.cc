#include "platform/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <ios>
#include <limits>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <csignal>
#include <cstdio>
#endif

namespace cordshift {
namespace fs = std::filesystem;

namespace {

// The largest piece handed to one write call; the loop writes the rest.
constexpr std::size_t kMaxWriteChunk = std::size_t{1} << 30;
// How many names a temporary file tries before giving up: another name is
// only needed when a file of an earlier attempt is still there.
constexpr int kMaxTempNameAttempts = 100;
// The part of the target's name kept in a temporary file's name, so that the
// longer name still fits the file system's limit.
constexpr std::size_t kMaxTargetNameInTempName = 64;

// The spot of another file in the same folder.
FileSpot SiblingOf(const FileSpot& spot, const fs::path& name) {
  return {spot.folder, spot.relative.parent_path() / name,
          spot.whole.empty() ? fs::path() : spot.whole.parent_path() / name,
          spot.opened};
}

fs::path FolderOf(const fs::path& target) {
  const fs::path folder = target.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// The spot of the folder that a file is in.
FileSpot FolderSpotOf(const FileSpot& spot) {
  return {spot.folder, FolderOf(spot.relative),
          spot.whole.empty() ? fs::path() : FolderOf(spot.whole), spot.opened};
}

// What is at a target's place.
enum class TargetState {
  kMissing,   // nothing, in a folder that may exist
  kNoFolder,  // nothing, and the folder is no folder
  kFolder,
  kReadOnly,
  kWritable,
};

struct TargetStatus {
  TargetState state = TargetState::kMissing;
  unsigned permissions = 0;  // POSIX permission bits of an existing file
};

#ifdef _WIN32

using FileHandle = HANDLE;
const FileHandle kNoFile = INVALID_HANDLE_VALUE;
// Windows names every file by its whole path.
constexpr int kCurrentFolder = -1;

// INVALID_HANDLE_VALUE is -1 as an integer, as the class keeps "no file".
std::intptr_t HandleToInt(FileHandle file) {
  return reinterpret_cast<std::intptr_t>(file);
}
FileHandle IntToHandle(std::intptr_t file) {
  return reinterpret_cast<FileHandle>(file);
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

// Returns kNoFile when the file cannot be created; `name_taken` tells whether
// that was because the name exists already.
FileHandle CreateExclusively(const FileSpot& spot, bool& name_taken) {
  const FileHandle file =
      CreateFileW(spot.whole.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD error = GetLastError();
  name_taken = file == kNoFile &&
               (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS);
  return file;
}

bool WriteAllAt(FileHandle file, std::uint64_t offset, std::string_view data) {
  while (!data.empty()) {
    const DWORD chunk =
        static_cast<DWORD>(std::min(data.size(), kMaxWriteChunk));
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    if (!WriteFile(file, data.data(), chunk, &written, &position) ||
        written == 0) {
      return false;
    }
    data.remove_prefix(written);
    offset += written;
  }
  return true;
}

// Windows has no file without a name that could be given one later.
FileHandle CreateUnnamedFile(const FileSpot&) { return kNoFile; }
bool LinkUnnamedFile(FileHandle, const FileSpot&, bool&) { return false; }

bool FlushToDisk(FileHandle file) { return FlushFileBuffers(file) != 0; }

bool CloseFile(FileHandle file) { return CloseHandle(file) != 0; }

std::optional<FileIdentity> IdentityOfHandle(FileHandle file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
  return FileIdentity{
      info.dwVolumeSerialNumber,
      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<FileIdentity> IdentityAt(const FileSpot& spot) {
  return IdentityOf(PathToUtf8(spot.whole));
}

bool RenameOver(const FileSpot& from, const FileSpot& to) {
  return MoveFileExW(from.whole.c_str(), to.whole.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

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

void RemoveFile(const FileSpot& spot) { DeleteFileW(spot.whole.c_str()); }

// What is at the spot now, links followed.
TargetStatus StatusOf(const FileSpot& spot) {
  std::error_code error;
  const fs::file_status status = fs::status(spot.whole, error);
  if (fs::is_directory(status)) return {TargetState::kFolder};
  if (!fs::exists(status)) {
    return {fs::is_directory(FolderOf(spot.whole), error)
                ? TargetState::kMissing
                : TargetState::kNoFolder};
  }
  const DWORD attributes = GetFileAttributesW(spot.whole.c_str());
  const bool read_only = attributes != INVALID_FILE_ATTRIBUTES &&
                         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return {read_only ? TargetState::kReadOnly : TargetState::kWritable};
}

// Windows keeps no permission bits, and a read-only file is never replaced.
void CopyPermissions(FileHandle, unsigned) {}

std::string RawHostName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof(name);
  return GetComputerNameA(name, &size) ? std::string(name, size)
                                       : std::string();
}

// A process that cannot be opened for lack of rights still runs.
bool IsProcessRunning(unsigned long pid) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const DWORD state = WaitForSingleObject(process, 0);
  CloseHandle(process);
  return state == WAIT_TIMEOUT;
}

#else  // !_WIN32

using FileHandle = int;
constexpr FileHandle kNoFile = -1;
constexpr int kCurrentFolder = AT_FDCWD;

std::intptr_t HandleToInt(FileHandle file) { return file; }
FileHandle IntToHandle(std::intptr_t file) {
  return static_cast<FileHandle>(file);
}

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

FileHandle CreateExclusively(const FileSpot& spot, bool& name_taken) {
  // Mode 0666 lets the umask decide, as for any newly created file.
  const FileHandle file = openat(spot.folder, spot.relative.c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  name_taken = file == kNoFile && errno == EEXIST;
  return file;
}

bool WriteAllAt(FileHandle file, std::uint64_t offset, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written =
        pwrite(file, data.data(), std::min(data.size(), kMaxWriteChunk),
               static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(written));
    offset += static_cast<std::uint64_t>(written);
  }
  return true;
}

bool HasCapability(int capability) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> data{};
  const auto index = static_cast<std::size_t>(CAP_TO_INDEX(capability));
  return syscall(SYS_capget, &header, data.data()) == 0 &&
         (data[index].effective & CAP_TO_MASK(capability)) != 0;
}

bool HasProcFileEntries() { return access("/proc/self/fd", X_OK) == 0; }

// An unnamed file is given its name by AT_EMPTY_PATH, which kernels before
// 6.10 allow only with CAP_DAC_READ_SEARCH, or else through its /proc entry,
// which needs no privilege. Where neither works, files are staged under a
// name.
bool CanLinkUnnamedFiles() {
  static const bool kCan =
      HasProcFileEntries() || HasCapability(CAP_DAC_READ_SEARCH);
  return kCan;
}

// kNoFile where the file system (or the kernel) has no O_TMPFILE, and for
// any other failure: the named scheme then finds and reports the fault.
FileHandle CreateUnnamedFile(const FileSpot& folder) {
  if (!CanLinkUnnamedFiles()) return kNoFile;
  // O_RDWR: the kernel refuses O_TMPFILE with O_RDONLY. Mode 0666 lets the
  // umask decide, as for any newly created file.
  return openat(folder.folder, folder.relative.c_str(),
                O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
}

// Fails with EEXIST when the name is taken. AT_EMPTY_PATH is one step; a
// kernel that refuses it says ENOENT, and the /proc entry is used instead,
// from then on (`empty_path_refused`) for the rest of the folder's files.
bool LinkUnnamedFile(FileHandle file, const FileSpot& target,
                     bool& empty_path_refused) {
  if (!empty_path_refused) {
    if (linkat(file, "", target.folder, target.relative.c_str(),
               AT_EMPTY_PATH) == 0) {
      return true;
    }
    if (errno != ENOENT || !HasProcFileEntries()) return false;
    empty_path_refused = true;
  }
  const std::string proc_entry = "/proc/self/fd/" + std::to_string(file);
  return linkat(AT_FDCWD, proc_entry.c_str(), target.folder,
                target.relative.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool FlushToDisk(FileHandle file) {
  int result = 0;
  do {
    result = fsync(file);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

// On Linux the descriptor is released even when close reports EINTR, and the
// data has already been flushed, so EINTR is no failure.
bool CloseFile(FileHandle file) { return close(file) == 0 || errno == EINTR; }

std::optional<FileIdentity> IdentityFrom(const struct stat& info) {
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<FileIdentity> IdentityOfHandle(FileHandle file) {
  struct stat info {};
  if (fstat(file, &info) != 0) return std::nullopt;
  return IdentityFrom(info);
}

std::optional<FileIdentity> IdentityAt(const FileSpot& spot) {
  struct stat info {};
  if (fstatat(spot.folder, spot.relative.c_str(), &info, 0) != 0) {
    return std::nullopt;
  }
  return IdentityFrom(info);
}

bool RenameOver(const FileSpot& from, const FileSpot& to) {
  return renameat(from.folder, from.relative.c_str(), to.folder,
                  to.relative.c_str()) == 0;
}

void RemoveFile(const FileSpot& spot) {
  unlinkat(spot.folder, spot.relative.c_str(), 0);
}

bool Exists(const FileSpot& spot) {
  struct stat info {};
  return fstatat(spot.folder, spot.relative.c_str(), &info,
                 AT_SYMLINK_NOFOLLOW) == 0;
}

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

// What is at the spot now, links followed, from one look at it. A missing
// file's folder is not looked at: creating the staged file there tells.
TargetStatus StatusOf(const FileSpot& spot) {
  struct stat info {};
  if (fstatat(spot.folder, spot.relative.c_str(), &info, 0) != 0) {
    return {errno == ENOTDIR ? TargetState::kNoFolder : TargetState::kMissing};
  }
  if (S_ISDIR(info.st_mode)) return {TargetState::kFolder};
  const auto permissions = static_cast<unsigned>(info.st_mode & 07777);
  // No write bit for anyone: checked by the program itself, so that it holds
  // even for a superuser.
  return {(permissions & 0222) == 0 ? TargetState::kReadOnly
                                    : TargetState::kWritable,
          permissions};
}

// Takes over the permission bits of the file it replaces. Best effort:
// shares that do not keep permissions must still be writable.
void CopyPermissions(FileHandle file, unsigned permissions) {
  fchmod(file, static_cast<mode_t>(permissions));
}

std::string RawHostName() {
  char name[256] = {};
  if (gethostname(name, sizeof(name) - 1) != 0) return std::string();
  return std::string(name);
}

// Signal 0 only asks whether the process exists; EPERM means it does but
// belongs to another user. Ids beyond pid_t would name process groups.
bool IsProcessRunning(unsigned long pid) {
  if (pid == 0 || pid > static_cast<unsigned long>(INT_MAX)) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Reads until the end of the file; `expected` is the size it had when it was
// opened, so that a file that grows meanwhile is still read whole, up to
// `max_size` bytes. A read that asked for a byte more than the file's size
// and stopped at that size has met the end: no further read is needed to
// hear it.
ReadError ReadToEnd(int file, std::size_t expected, std::uint64_t max_size,
                    std::string& content) {
  content.assign(expected + 1, '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == content.size()) content.resize(content.size() * 2);
    const std::size_t asked = content.size() - filled;
    const ssize_t got = read(file, content.data() + filled, asked);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ReadError::kCannotRead;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
    if (filled > max_size) return ReadError::kTooLarge;
    if (filled == expected && static_cast<std::size_t>(got) < asked) break;
  }
  content.resize(filled);
  return ReadError::kNone;
}

#endif  // _WIN32

// Digits only, at most `max_digits` (up to 19) of them.
std::optional<std::uint64_t> DigitsValue(std::string_view text,
                                         std::size_t max_digits) {
  if (text.empty() || text.size() > max_digits) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

// Host names longer than this are cut in temporary file names.
constexpr std::size_t kMaxHostNameInTempName = 32;

bool IsHostNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '-';
}

fs::path TempFileName(const fs::path& target, int attempt) {
  fs::path name{std::string(kTempFilePrefix)};
  name += target.filename().native().substr(0, kMaxTargetNameInTempName);
  name += "." + ThisHostName() + "." + std::to_string(ProcessId()) + "." +
          std::to_string(attempt);
  return name;
}

// Creates the temporary file beside the target under the first free name;
// `spot` is its place then.
FileHandle CreateTempFile(const FileSpot& target, FileSpot& spot) {
  FileHandle file = kNoFile;
  for (int attempt = 0; attempt < kMaxTempNameAttempts; ++attempt) {
    spot = SiblingOf(target, TempFileName(target.relative, attempt));
    bool name_taken = false;
    file = CreateExclusively(spot, name_taken);
    if (file != kNoFile || !name_taken) break;
  }
  return file;
}

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

// A file whose name only looks like a temporary file's is left alone:
// nothing but a regular file of the exact form is ever removed.
bool IsStaleTempFile(const fs::directory_entry& entry) {
  const std::optional<TempFileOwnerId> owner =
      TempFileOwner(PathToUtf8(entry.path().filename()));
  std::error_code error;
  if (!owner || entry.is_symlink(error) || !entry.is_regular_file(error)) {
    return false;
  }
  if (owner->host == ThisHostName()) return !IsProcessRunning(owner->pid);
  const fs::file_time_type changed = entry.last_write_time(error);
  return !error && fs::file_time_type::clock::now() - changed >
                       std::chrono::duration_cast<fs::file_time_type::duration>(
                           kForeignTempFileAge);
}

// The last part of `rest` after its last ".", taken off `rest`; no value
// when there is no "." or nothing before it.
std::optional<std::string_view> TakeLastPart(std::string_view& rest) {
  const std::size_t dot = rest.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  const std::string_view part = rest.substr(dot + 1);
  rest = rest.substr(0, dot);
  return part;
}

bool IsHostNamePart(std::string_view part) {
  return !part.empty() && part.size() <= kMaxHostNameInTempName &&
         std::all_of(part.begin(), part.end(), IsHostNameChar);
}

}  // namespace

fs::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
  return fs::path(std::u8string_view(
      reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
#else
  return fs::path(std::string(utf8));
#endif
}

std::string PathToUtf8(const fs::path& path) {
#ifdef _WIN32
  const std::u8string utf8 = path.u8string();
  return std::string(reinterpret_cast<const char*>(utf8.data()), utf8.size());
#else
  return path.native();
#endif
}

#ifndef _WIN32
// One open, one fstat and the reads: a tree conversion reads thousands of
// files, so the system calls per file count. O_NONBLOCK keeps the open of a
// named pipe from waiting for a writer; it changes nothing for a regular
// file.
FileRead ReadFileAt(const FileSpot& spot, std::uint64_t max_size) {
  FileRead result;
  result.error = ReadError::kCannotRead;
  const int file = openat(spot.folder, spot.relative.c_str(),
                          O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) {
    if (errno == ENOENT || errno == ENOTDIR) result.error = ReadError::kMissing;
    return result;
  }
  struct stat info {};
  if (fstat(file, &info) != 0) {
    // Nothing to add: the read cannot be done.
  } else if (!S_ISREG(info.st_mode)) {
    result.error = ReadError::kNotAFile;
  } else {
    result.size = static_cast<std::uint64_t>(info.st_size);
    if (result.size > max_size ||
        result.size >= std::numeric_limits<std::size_t>::max() / 2) {
      result.error = ReadError::kTooLarge;
    } else {
      try {
        result.error = ReadToEnd(file, static_cast<std::size_t>(result.size),
                                 max_size, result.content);
      } catch (const std::bad_alloc&) {
        result.error = ReadError::kTooLarge;
      }
    }
  }
  close(file);
  if (!result.ok()) result.content = std::string();
  return result;
}
#else
FileRead ReadFileAt(const FileSpot& spot, std::uint64_t max_size) {
  const fs::path& path = spot.whole;
  FileRead result;
  result.error = ReadError::kCannotRead;
  // A folder opens for reading on some systems and reports a bogus size; a
  // device or pipe would block or never end.
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) {
    result.error = ReadError::kMissing;
    return result;
  }
  if (!fs::is_regular_file(status)) {
    result.error = ReadError::kNotAFile;
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return result;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return result;
  result.size = static_cast<std::uint64_t>(size);
  if (result.size > max_size) {
    result.error = ReadError::kTooLarge;
    return result;
  }
  in.seekg(0, std::ios::beg);
  try {
    result.content.assign(static_cast<std::size_t>(size), '\0');
  } catch (const std::bad_alloc&) {
    result.error = ReadError::kTooLarge;
    return result;
  }
  if (size > 0 && !in.read(result.content.data(), size)) {
    result.content = std::string();
    return result;
  }
  result.error = ReadError::kNone;
  return result;
}
#endif

FileRead ReadFileUpTo(const fs::path& path, std::uint64_t max_size) {
  return ReadFileAt(FileSpot::At(path), max_size);
}

FileRead ReadFileUpTo(OpenedFolder& folder, const fs::path& name,
                      std::uint64_t max_size) {
  return ReadFileAt(FileSpot::In(folder, name), max_size);
}

std::optional<FileIdentity> IdentityIn(OpenedFolder& folder,
                                       const fs::path& name) {
  return IdentityAt(FileSpot::In(folder, name));
}

void RemoveFileIn(OpenedFolder& folder, const fs::path& name) {
  RemoveFile(FileSpot::In(folder, name));
}

#ifdef _WIN32
// Without FILE_SHARE_DELETE, so that the folder cannot be renamed or removed
// (and a junction put in its place) while it is open; listing access, since
// a handle that may only read attributes takes no part in sharing.
OpenedFolder::OpenedFolder(const fs::path& folder)
    : path_(folder),
      handle_(kCurrentFolder),
      pin_(HandleToInt(CreateFileW(folder.empty() ? L"." : folder.c_str(),
                                   FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                   nullptr))) {}

OpenedFolder::~OpenedFolder() {
  if (pin_ != -1) CloseHandle(IntToHandle(pin_));
}

std::optional<FileIdentity> OpenedFolder::Identity() const {
  if (pin_ == -1) return std::nullopt;
  return IdentityOfHandle(IntToHandle(pin_));
}

bool OpenedFolder::IgnoresCase() { return true; }

// Windows has no file without a name.
void OpenedFolder::MakeUnnamedFiles(int) {}
#else
// O_PATH: the descriptor only names the folder, which needs no permission
// to read it.
OpenedFolder::OpenedFolder(const fs::path& folder)
    : path_(folder),
      handle_(open(folder.empty() ? "." : folder.c_str(),
                   O_PATH | O_DIRECTORY | O_CLOEXEC)) {
  if (handle_ < 0) handle_ = kCurrentFolder;
}

OpenedFolder::~OpenedFolder() {
  for (const std::intptr_t file : made_files_) CloseFile(IntToHandle(file));
  if (handle_ != kCurrentFolder) close(handle_);
}

std::optional<FileIdentity> OpenedFolder::Identity() const {
  if (handle_ == kCurrentFolder) return std::nullopt;
  return IdentityOfHandle(handle_);
}

bool OpenedFolder::IgnoresCase() {
  if (ignores_case_) return *ignores_case_;
  ignores_case_ = false;
  if (handle_ == kCurrentFolder) return false;
  FileSpot probe;
  const FileHandle file = CreateTempFile(FileSpot::In(*this, "case"), probe);
  if (file == kNoFile) return false;
  CloseFile(file);
  std::string capitals = probe.relative.native();
  std::transform(capitals.begin(), capitals.end(), capitals.begin(),
                 [](char c) {
                   return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A')
                                               : c;
                 });
  struct stat info {};
  ignores_case_ = fstatat(handle_, capitals.c_str(), &info,
                          AT_SYMLINK_NOFOLLOW) == 0;
  RemoveFile(probe);
  return *ignores_case_;
}

void OpenedFolder::MakeUnnamedFiles(int count) {
  if (handle_ == kCurrentFolder) return;
  const FileSpot here{handle_, ".", path_, this};
  for (int made = 0; made < count && !stop_making_; ++made) {
    const FileHandle file = CreateUnnamedFile(here);
    if (file == kNoFile) return;
    const std::lock_guard<std::mutex> lock(made_mutex_);
    made_files_.push_back(HandleToInt(file));
  }
}
#endif

std::intptr_t OpenedFolder::TakeUnnamedFile() {
  const std::lock_guard<std::mutex> lock(made_mutex_);
  if (made_files_.empty()) return -1;
  const std::intptr_t file = made_files_.back();
  made_files_.pop_back();
  return file;
}

FileSpot FileSpot::At(const fs::path& whole) {
  return {kCurrentFolder, whole, whole};
}

// A file of an opened folder is named by the system within the folder, so
// its whole path is not made: that would cost an allocation per file.
FileSpot FileSpot::In(OpenedFolder& folder, const fs::path& name) {
  if (folder.handle_ == kCurrentFolder) return At(folder.path_ / name);
  return {folder.handle_, name, fs::path(), &folder};
}

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  FileRead read = ReadFileUpTo(path, std::numeric_limits<std::uint64_t>::max());
  if (!read.ok()) return std::nullopt;
  return std::move(read.content);
}

std::optional<std::string_view> LineReader::Next() {
  if (rest_.empty()) return std::nullopt;
  const std::size_t cr = rest_.find('\r');
  if (cr == std::string_view::npos) {
    const std::string_view line = rest_;
    rest_ = {};
    return line;
  }
  const std::string_view line = rest_.substr(0, cr);
  const bool has_lf = cr + 1 < rest_.size() && rest_[cr + 1] == '\n';
  rest_.remove_prefix(cr + (has_lf ? 2 : 1));
  return line;
}

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
                         ExistingTarget existing)
    : target_(FileSpot::In(folder, name)), existing_(existing) {
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
                    target_.opened == nullptr ||
                    target_.opened->MayHold(target_.relative);
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

const std::string& ThisHostName() {
  static const std::string kName = [] {
    std::string name;
    for (const char c : RawHostName()) {
      if (c == '.') break;  // the domain adds nothing within one site
      if (IsHostNameChar(c)) name.push_back(c);
    }
    name.resize(std::min(name.size(), kMaxHostNameInTempName));
    return name.empty() ? std::string("host") : name;
  }();
  return kName;
}

std::optional<TempFileOwnerId> TempFileOwner(std::string_view file_name) {
  // Process ids have at most 10 digits on every supported system; attempts
  // stay below kMaxTempNameAttempts.
  constexpr std::size_t kMaxPidDigits = 10;
  constexpr std::size_t kMaxAttemptDigits = 2;
  if (file_name.substr(0, kTempFilePrefix.size()) != kTempFilePrefix) {
    return std::nullopt;
  }
  std::string_view rest = file_name.substr(kTempFilePrefix.size());
  const std::optional<std::string_view> attempt = TakeLastPart(rest);
  if (!attempt || !DigitsValue(*attempt, kMaxAttemptDigits)) {
    return std::nullopt;
  }
  const std::optional<std::string_view> pid_text = TakeLastPart(rest);
  if (!pid_text) return std::nullopt;
  const std::optional<std::uint64_t> pid =
      DigitsValue(*pid_text, kMaxPidDigits);
  if (!pid || *pid > std::numeric_limits<unsigned long>::max()) {
    return std::nullopt;
  }
  // The target's name before the host name is never empty.
  const std::optional<std::string_view> host = TakeLastPart(rest);
  if (!host || !IsHostNamePart(*host)) return std::nullopt;
  return TempFileOwnerId{std::string(*host), static_cast<unsigned long>(*pid)};
}

namespace {

struct TempFileSweep {
  int removed = 0;
  // The name of every entry; none when the folder could not be looked
  // through to its end.
  std::optional<std::vector<fs::path::string_type>> names;
};

TempFileSweep SweepStaleTempFiles(const fs::path& folder) {
  TempFileSweep sweep;
  std::error_code error;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
  if (error) return sweep;
  // Collected first: removing entries while iterating leaves the iteration
  // unspecified.
  std::vector<fs::path> stale;
  std::vector<fs::path::string_type> names;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    names.push_back(it->path().filename().native());
    if (IsStaleTempFile(*it)) stale.push_back(it->path());
  }
  if (!error) sweep.names = std::move(names);
  for (const fs::path& path : stale) {
    if (fs::remove(path, error)) ++sweep.removed;
  }
  return sweep;
}

}  // namespace

int RemoveStaleTempFiles(const fs::path& folder) {
  return SweepStaleTempFiles(folder).removed;
}

// Windows compares names without regard to case, so none are noted there.
int OpenedFolder::RemoveStaleTempFiles() {
  TempFileSweep sweep = SweepStaleTempFiles(path_);
  held_names_.reset();
#ifndef _WIN32
  if (sweep.names && handle_ != kCurrentFolder) {
    held_names_.emplace(std::make_move_iterator(sweep.names->begin()),
                        std::make_move_iterator(sweep.names->end()));
  }
#endif
  return sweep.removed;
}

}  // namespace cordshift
