#include "platform/text_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <ios>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

#ifdef _WIN32

using FileHandle = HANDLE;
const FileHandle kNoFile = INVALID_HANDLE_VALUE;

unsigned long ProcessId() { return GetCurrentProcessId(); }

// Returns kNoFile when the file cannot be created; `name_taken` tells whether
// that was because the name exists already.
FileHandle CreateExclusively(const fs::path& path, bool& name_taken) {
  const FileHandle file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD error = GetLastError();
  name_taken = file == kNoFile &&
               (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS);
  return file;
}

bool WriteAll(FileHandle file, std::string_view data) {
  while (!data.empty()) {
    const DWORD chunk =
        static_cast<DWORD>(std::min(data.size(), kMaxWriteChunk));
    DWORD written = 0;
    if (!WriteFile(file, data.data(), chunk, &written, nullptr) ||
        written == 0) {
      return false;
    }
    data.remove_prefix(written);
  }
  return true;
}

bool FlushToDisk(FileHandle file) { return FlushFileBuffers(file) != 0; }

bool CloseFile(FileHandle file) { return CloseHandle(file) != 0; }

bool RenameOver(const fs::path& from, const fs::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const fs::path& path) { DeleteFileW(path.c_str()); }

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

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

FileHandle CreateExclusively(const fs::path& path, bool& name_taken) {
  // Mode 0666 lets the umask decide, as for any newly created file.
  const FileHandle file =
      open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  name_taken = file == kNoFile && errno == EEXIST;
  return file;
}

bool WriteAll(FileHandle file, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written =
        write(file, data.data(), std::min(data.size(), kMaxWriteChunk));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
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

bool RenameOver(const fs::path& from, const fs::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void RemoveFile(const fs::path& path) { unlink(path.c_str()); }

// Signal 0 only asks whether the process exists; EPERM means it does but
// belongs to another user. Ids beyond pid_t would name process groups.
bool IsProcessRunning(unsigned long pid) {
  if (pid == 0 || pid > static_cast<unsigned long>(INT_MAX)) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Reads until the end of the file; `expected` is the size it had when it was
// opened, so that a file that grows meanwhile is still read whole.
std::optional<std::string> ReadToEnd(int file, std::size_t expected) {
  std::string content(expected + 1, '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == content.size()) content.resize(content.size() * 2);
    const ssize_t got =
        read(file, content.data() + filled, content.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  content.resize(filled);
  return content;
}

#endif  // _WIN32

fs::path FolderOf(const fs::path& target) {
  const fs::path folder = target.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

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

fs::path TempFileName(const fs::path& target, int attempt) {
  fs::path name{std::string(kTempFilePrefix)};
  name += target.filename().native().substr(0, kMaxTargetNameInTempName);
  name += "." + std::to_string(ProcessId()) + "." + std::to_string(attempt);
  return name;
}

// A temporary file beside the target. Until it has been renamed over the
// target, destroying it closes and removes it, so every failure path leaves
// nothing behind.
class TempFile {
 public:
  explicit TempFile(const fs::path& target) : target_(target) {
    const fs::path folder = FolderOf(target);
    for (int attempt = 0; attempt < kMaxTempNameAttempts; ++attempt) {
      path_ = folder / TempFileName(target, attempt);
      bool name_taken = false;
      file_ = CreateExclusively(path_, name_taken);
      if (file_ != kNoFile || !name_taken) break;
    }
    created_ = file_ != kNoFile;
  }
  ~TempFile() {
    if (file_ != kNoFile) CloseFile(file_);
    if (created_ && !renamed_) RemoveFile(path_);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool IsCreated() const { return created_; }

  // Takes over the permission bits of the file it replaces. Best effort:
  // shares that do not keep permissions must still be writable. Windows
  // keeps no permission bits, and a read-only file is never replaced.
  void CopyPermissions([[maybe_unused]] fs::perms permissions) {
#ifndef _WIN32
    std::error_code error;
    fs::permissions(path_, permissions, fs::perm_options::replace, error);
#endif
  }

  // Writes the whole content and closes the file. The content is flushed to
  // the disk first when it is to replace an existing file, so that a power
  // failure cannot cost the old content; a new file has nothing to lose, and
  // flushing every file would make a tree conversion many times slower.
  bool WriteAndClose(std::string_view content, bool flush) {
    const bool written =
        WriteAll(file_, content) && (!flush || FlushToDisk(file_));
    const bool closed = CloseFile(file_);
    file_ = kNoFile;
    return written && closed;
  }

  bool RenameOverTarget() {
    renamed_ = RenameOver(path_, target_);
    return renamed_;
  }

 private:
  fs::path target_;
  fs::path path_;
  FileHandle file_ = kNoFile;
  bool created_ = false;
  bool renamed_ = false;
};

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

// Whether the target can be written, from one look at the target (and, for
// a new file, one at its folder); `status` is what the target is now.
WriteError CheckTarget(const fs::path& target, fs::file_status& status) {
  if (!target.has_filename()) return WriteError::kNoFolder;
  std::error_code error;
  status = fs::status(target, error);
  if (fs::is_directory(status)) return WriteError::kTargetIsFolder;
  if (fs::exists(status)) {
    return IsMarkedReadOnly(target, status) ? WriteError::kReadOnlyTarget
                                            : WriteError::kNone;
  }
  if (!fs::is_directory(FolderOf(target), error)) return WriteError::kNoFolder;
  return WriteError::kNone;
}

// A file whose name only looks like a temporary file's is left alone:
// nothing but a regular file of the exact form is ever removed.
bool IsStaleTempFile(const fs::directory_entry& entry) {
  const std::optional<unsigned long> owner =
      TempFileOwner(PathToUtf8(entry.path().filename()));
  std::error_code error;
  return owner && !entry.is_symlink(error) && entry.is_regular_file(error) &&
         !IsProcessRunning(*owner);
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
// One open, one fstat and the reads: a tree conversion reads every file
// twice, so the system calls per file count. O_NONBLOCK keeps the open of a
// named pipe from waiting for a writer; it changes nothing for a regular
// file.
std::optional<std::string> ReadWholeFile(const fs::path& path) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::string> content;
  if (fstat(file, &info) == 0 && S_ISREG(info.st_mode)) {
    content = ReadToEnd(file, static_cast<std::size_t>(info.st_size));
  }
  close(file);
  return content;
}
#else
std::optional<std::string> ReadWholeFile(const fs::path& path) {
  // A folder opens for reading on some systems and reports a bogus size; a
  // device or pipe would block or never end.
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  in.seekg(0, std::ios::beg);
  std::string content(static_cast<std::size_t>(size), '\0');
  if (size > 0 && !in.read(content.data(), size)) return std::nullopt;
  return content;
}
#endif

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

// A read-only target is refused although renaming over it would succeed: the
// tester packages treat such a file as not to be changed.
WriteError WriteFileAtomically(const fs::path& target,
                               std::string_view content) {
  fs::file_status status;
  if (const WriteError error = CheckTarget(target, status);
      error != WriteError::kNone) {
    return error;
  }
  TempFile temp(target);
  if (!temp.IsCreated()) return WriteError::kCreateFailed;
  const bool replacing = fs::exists(status);
  if (replacing) temp.CopyPermissions(status.permissions());
  if (!temp.WriteAndClose(content, replacing)) return WriteError::kWriteFailed;
  if (!temp.RenameOverTarget()) return WriteError::kReplaceFailed;
  return WriteError::kNone;
}

std::optional<unsigned long> TempFileOwner(std::string_view file_name) {
  // Process ids have at most 10 digits on every supported system; attempts
  // stay below kMaxTempNameAttempts.
  constexpr std::size_t kMaxPidDigits = 10;
  constexpr std::size_t kMaxAttemptDigits = 2;
  if (file_name.substr(0, kTempFilePrefix.size()) != kTempFilePrefix) {
    return std::nullopt;
  }
  std::string_view rest = file_name.substr(kTempFilePrefix.size());
  const std::size_t attempt_dot = rest.rfind('.');
  if (attempt_dot == std::string_view::npos ||
      !DigitsValue(rest.substr(attempt_dot + 1), kMaxAttemptDigits)) {
    return std::nullopt;
  }
  rest = rest.substr(0, attempt_dot);
  const std::size_t pid_dot = rest.rfind('.');
  // The target's name between prefix and process id is never empty.
  if (pid_dot == std::string_view::npos || pid_dot == 0) return std::nullopt;
  const std::optional<std::uint64_t> pid =
      DigitsValue(rest.substr(pid_dot + 1), kMaxPidDigits);
  if (!pid || *pid > std::numeric_limits<unsigned long>::max()) {
    return std::nullopt;
  }
  return static_cast<unsigned long>(*pid);
}

int RemoveStaleTempFiles(const fs::path& folder) {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error) return 0;
  // Collected first: removing entries while iterating leaves the iteration
  // unspecified.
  std::vector<fs::path> stale;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (IsStaleTempFile(*it)) stale.push_back(it->path());
  }
  int removed = 0;
  for (const fs::path& path : stale) {
    if (fs::remove(path, error)) ++removed;
  }
  return removed;
}

}  // namespace cordshift
