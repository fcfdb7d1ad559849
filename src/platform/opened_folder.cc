#include "platform/opened_folder.h"

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#endif

#include "platform/file_system_calls.h"
#include "platform/temp_files_internal.h"

namespace cordshift {
namespace fs = std::filesystem;

using platform_internal::CloseFile;
using platform_internal::CreateTempFile;
using platform_internal::CreateUnnamedFile;
using platform_internal::FileHandle;
using platform_internal::HandleToInt;
using platform_internal::IdentityAt;
using platform_internal::IdentityOfHandle;
using platform_internal::IntToHandle;
using platform_internal::kCurrentFolder;
using platform_internal::kNoFile;
using platform_internal::RemoveFile;
using platform_internal::SweepStaleTempFiles;
using platform_internal::TempFileSweep;

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
  std::transform(
      capitals.begin(), capitals.end(), capitals.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      });
  struct stat info {};
  ignores_case_ =
      fstatat(handle_, capitals.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
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

// Windows compares names without regard to case, so none are noted there.
FolderLook OpenedFolder::RemoveStaleTempFiles() {
  TempFileSweep sweep = SweepStaleTempFiles(path_);
  FolderLook look;
  look.removed = sweep.removed;
#ifndef _WIN32
  if (sweep.names && handle_ != kCurrentFolder) {
    look.names.emplace(std::make_move_iterator(sweep.names->begin()),
                       std::make_move_iterator(sweep.names->end()));
  }
#endif
  return look;
}

}  // namespace cordshift
