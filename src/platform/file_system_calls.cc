#include "platform/file_system_calls.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include "platform/file_path.h"
#else
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#endif

#include "platform/folder_scan.h"

namespace cordshift::platform_internal {
namespace fs = std::filesystem;

namespace {

// The largest piece handed to one write call; the loop writes the rest.
constexpr std::size_t kMaxWriteChunk = std::size_t{1} << 30;

#ifndef _WIN32
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

std::optional<FileIdentity> IdentityFrom(const struct stat& info) {
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}
#endif

}  // namespace

FileSpot SiblingOf(const FileSpot& spot, const fs::path& name) {
  return {spot.folder, spot.relative.parent_path() / name,
          spot.whole.empty() ? fs::path() : spot.whole.parent_path() / name,
          spot.opened};
}

fs::path FolderOf(const fs::path& target) {
  const fs::path folder = target.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

FileSpot FolderSpotOf(const FileSpot& spot) {
  return {spot.folder, FolderOf(spot.relative),
          spot.whole.empty() ? fs::path() : FolderOf(spot.whole), spot.opened};
}

#ifdef _WIN32

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

void RemoveFile(const FileSpot& spot) { DeleteFileW(spot.whole.c_str()); }

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

#else  // !_WIN32

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

#endif  // _WIN32

}  // namespace cordshift::platform_internal
