#ifndef CORDSHIFT_PLATFORM_OPENED_FOLDER_H_
#define CORDSHIFT_PLATFORM_OPENED_FOLDER_H_

// Folders opened once for the many files named within them.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <unordered_set>
#include <vector>

#include "platform/folder_scan.h"

namespace cordshift {

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
// What a look through a folder found: how many temporary files of ended
// runs it removed, and the names the folder held (POSIX, where names are
// exact bytes; none where the look did not reach the end). A write that
// keeps an existing file need not look for its target first when the name
// was not among them, since the link that names the staged file refuses a
// file made since.
struct FolderLook {
  int removed = 0;
  std::optional<std::unordered_set<std::filesystem::path::string_type>> names;

  // False when `name` was not among the names: it did not exist when the
  // folder was looked through. True when it was, or none were noted.
  bool MayHold(const std::filesystem::path& name) const {
    return !names || names->contains(name.native());
  }
};

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

  // As the free function RemoveStaleTempFiles, for this folder, with what
  // the same look through the folder found. Called from the thread that
  // writes the files.
  FolderLook RemoveStaleTempFiles();

  // True when the folder's file system takes names that differ only in
  // letter case for one name (FAT, exFAT, SMB shares; always on Windows).
  // Found out once, by making a temporary file of this program's own there
  // and looking it up under its name in capitals.
  bool IgnoresCase();
  // Takes the folder for one that ignores letter case without asking it:
  // for tests, which stand in such a folder with a second name for a file
  // (a hard link).
  void TreatAsIgnoringCase() { ignores_case_ = true; }

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

// The identity of file `name` of an opened folder, links followed; no value
// when there is none.
std::optional<FileIdentity> IdentityIn(OpenedFolder& folder,
                                       const std::filesystem::path& name);

// Removes file `name` of an opened folder, if it can.
void RemoveFileIn(OpenedFolder& folder, const std::filesystem::path& name);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_OPENED_FOLDER_H_
