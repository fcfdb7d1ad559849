#ifndef CORDSHIFT_PLATFORM_FOLDER_SCAN_H_
#define CORDSHIFT_PLATFORM_FOLDER_SCAN_H_

// Enumeration of folders and files, in name order so that results do not
// depend on the file system's order. Paths and names are UTF-8 texts.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace cordshift {

// The order of names in listings: ASCII letters folded to upper case, every
// other character by code point (so "_" sorts after the letters, as NTFS
// orders names); names equal but for letter case in exact-name order.
// Bytes that are not valid UTF-8 sort after every character, among
// themselves by byte value.
bool NameOrderLess(std::string_view a, std::string_view b);

// The names of the subfolders of a folder, sorted by NameOrderLess. Symbolic
// links to folders (on Windows any reparse point: junctions too) are not
// followed (not listed); hidden folders are listed. No value when the folder
// does not exist, is not a folder, or cannot be read.
std::optional<std::vector<std::string>> ListSubfolders(std::string_view folder);

struct FoundFile {
  std::string name;       // the file name without the extension
  std::string extension;  // the extension as spelled on disk (".lvd", ".LVD")
};

// The files of a folder whose name ends in `extension` (letter case
// ignored), sorted by NameOrderLess of the whole name. On POSIX, taken are
// regular files and links to them whose name does not begin with "." (a
// hidden file). On Windows, taken are the entries whose attribute set is
// exactly archive, archive and read-only, normal, or not content-indexed:
// no folders, hidden, system or temporary files, links or other
// combinations. A folder that does not exist gives an empty list; no value
// when the folder cannot be read.
std::optional<std::vector<FoundFile>> ListFilesWithExtension(
    std::string_view folder, std::string_view extension);

// True when a file or folder of that path exists.
bool PathExists(std::string_view path);
// True when a folder of that path exists.
bool FolderExists(std::string_view path);
// Why a folder could not be made.
enum class FolderCreateError {
  kNone,                // the folder exists
  kReadOnlyFileSystem,  // the file system (or medium) takes no writes
  kPermissionDenied,    // the user may not create folders there
  kFileInTheWay,        // a file, not a folder, has that name
  kNoParent,            // the folder above it does not exist
  kPathTooLong,         // the path or a name in it is longer than allowed
  kOther,               // any other refusal of the system
};

// The cause for a refusal of the system, as std::filesystem reports it.
FolderCreateError FolderCreateErrorOf(std::error_code error);
// A short English cause, for reports: "the file system is read-only".
const char* FolderCreateErrorText(FolderCreateError error);

// Creates one folder; kNone when it exists afterwards.
FolderCreateError CreateFolder(std::string_view path);

// What tells files apart on their file system: two paths name the same
// file or folder exactly when their identities are equal (links followed).
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;

  auto operator<=>(const FileIdentity&) const = default;
};

// The identity of an existing file or folder; no value when there is none
// or it cannot be asked.
std::optional<FileIdentity> IdentityOf(std::string_view path);

// True when both paths name the same existing folder.
bool IsSameFolder(std::string_view a, std::string_view b);
// True when `inner` is `outer` or lies below it (both existing or not;
// compared after making them absolute and normal).
bool IsInsideFolder(std::string_view inner, std::string_view outer);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_FOLDER_SCAN_H_
