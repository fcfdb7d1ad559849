#include "platform/temp_files.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#endif

#include "platform/file_path.h"
#include "platform/file_system_calls.h"
#include "platform/temp_files_internal.h"

namespace cordshift {
namespace fs = std::filesystem;

using platform_internal::SweepStaleTempFiles;

namespace {

// The part of the target's name kept in a temporary file's name, so that the
// longer name still fits the file system's limit.
constexpr std::size_t kMaxTargetNameInTempName = 64;

#ifdef _WIN32

unsigned long ProcessId() { return GetCurrentProcessId(); }

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

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

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

namespace platform_internal {

fs::path TempFileName(const fs::path& target, int attempt) {
  fs::path name{std::string(kTempFilePrefix)};
  name += target.filename().native().substr(0, kMaxTargetNameInTempName);
  name += "." + ThisHostName() + "." + std::to_string(ProcessId()) + "." +
          std::to_string(attempt);
  return name;
}

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

}  // namespace platform_internal

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

int RemoveStaleTempFiles(const fs::path& folder) {
  return SweepStaleTempFiles(folder).removed;
}

}  // namespace cordshift
