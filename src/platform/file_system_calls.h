#ifndef CORDSHIFT_PLATFORM_FILE_SYSTEM_CALLS_H_
#define CORDSHIFT_PLATFORM_FILE_SYSTEM_CALLS_H_

// Private to src/platform: the system's calls on files named by a FileSpot,
// defined once per system, so that opened folders, staged writes and
// temporary files share one account of each system's behaviour.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#endif

#include "platform/folder_scan.h"
#include "platform/opened_folder.h"

namespace cordshift::platform_internal {

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
inline const FileHandle kNoFile = INVALID_HANDLE_VALUE;
// Windows names every file by its whole path.
inline constexpr int kCurrentFolder = -1;

// INVALID_HANDLE_VALUE is -1 as an integer, as the classes keep "no file".
inline std::intptr_t HandleToInt(FileHandle file) {
  return reinterpret_cast<std::intptr_t>(file);
}
inline FileHandle IntToHandle(std::intptr_t file) {
  return reinterpret_cast<FileHandle>(file);
}

#else  // !_WIN32

using FileHandle = int;
inline constexpr FileHandle kNoFile = -1;
inline constexpr int kCurrentFolder = AT_FDCWD;

inline std::intptr_t HandleToInt(FileHandle file) { return file; }
inline FileHandle IntToHandle(std::intptr_t file) {
  return static_cast<FileHandle>(file);
}

#endif  // _WIN32

// The spot of another file in the same folder.
FileSpot SiblingOf(const FileSpot& spot, const std::filesystem::path& name);
// The folder of a path; "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& target);
// The spot of the folder that a file is in.
FileSpot FolderSpotOf(const FileSpot& spot);

// Returns kNoFile when the file cannot be created; `name_taken` tells whether
// that was because the name exists already.
FileHandle CreateExclusively(const FileSpot& spot, bool& name_taken);

// Writes all of `data` at byte `offset`, piece by piece.
bool WriteAllAt(FileHandle file, std::uint64_t offset, std::string_view data);

// A file without a name in `folder`, to be named later by LinkUnnamedFile;
// kNoFile where none can be made.
FileHandle CreateUnnamedFile(const FileSpot& folder);
// Gives a file made by CreateUnnamedFile the target's name.
// `empty_path_refused` is the folder's note of which way its kernel takes.
bool LinkUnnamedFile(FileHandle file, const FileSpot& target,
                     bool& empty_path_refused);

bool FlushToDisk(FileHandle file);
bool CloseFile(FileHandle file);

std::optional<FileIdentity> IdentityOfHandle(FileHandle file);
// The identity of the file at the spot, links followed.
std::optional<FileIdentity> IdentityAt(const FileSpot& spot);

// Renames `from` to `to`, replacing a file there.
bool RenameOver(const FileSpot& from, const FileSpot& to);
void RemoveFile(const FileSpot& spot);
#ifndef _WIN32
// True when anything has that name, a link not followed.
bool Exists(const FileSpot& spot);
#endif

// What is at the spot now, links followed.
TargetStatus StatusOf(const FileSpot& spot);

// Gives a new file the permission bits of the file it is to replace (POSIX;
// Windows keeps none).
void CopyPermissions(FileHandle file, unsigned permissions);

}  // namespace cordshift::platform_internal

#endif  // CORDSHIFT_PLATFORM_FILE_SYSTEM_CALLS_H_
