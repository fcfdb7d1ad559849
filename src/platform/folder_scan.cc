#include "platform/folder_scan.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/text_file.h"
#include "platform/utf8.h"

#ifdef _WIN32
#include <windows.h>

#include <iterator>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#endif

namespace cordshift {
namespace fs = std::filesystem;

namespace {

// Sort keys of bytes that are not part of valid UTF-8: after every code
// point, ordered among themselves by byte value, so that any byte string has
// one fixed place in the order.
constexpr char32_t kInvalidByteKeyBase = 0x110000;

// The sort key of the character at `index` and the bytes it takes.
std::pair<char32_t, std::size_t> SortKeyAt(std::string_view text,
                                           std::size_t index) {
  const Utf8Char c = DecodeUtf8At(text, index);
  if (!c.valid) {
    return {kInvalidByteKeyBase + static_cast<unsigned char>(text[index]), 1};
  }
  return {c.code_point, c.length};
}

char32_t FoldAsciiLetter(char32_t key) {
  return (key >= U'a' && key <= U'z') ? key - (U'a' - U'A') : key;
}

// -1, 0 or 1 as `a` sorts before, with or after `b` when letter case of
// ASCII letters is ignored.
int CompareFolded(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    // Names are mostly ASCII: compare those bytes without decoding.
    const auto byte_a = static_cast<unsigned char>(a[i]);
    const auto byte_b = static_cast<unsigned char>(b[j]);
    if (byte_a < 0x80 && byte_b < 0x80) {
      const char32_t folded_a = FoldAsciiLetter(byte_a);
      const char32_t folded_b = FoldAsciiLetter(byte_b);
      if (folded_a != folded_b) return folded_a < folded_b ? -1 : 1;
      ++i;
      ++j;
      continue;
    }
    const auto [key_a, length_a] = SortKeyAt(a, i);
    const auto [key_b, length_b] = SortKeyAt(b, j);
    const char32_t folded_a = FoldAsciiLetter(key_a);
    const char32_t folded_b = FoldAsciiLetter(key_b);
    if (folded_a != folded_b) return folded_a < folded_b ? -1 : 1;
    i += length_a;
    j += length_b;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

char FoldAsciiByte(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view tail) {
  if (text.size() < tail.size()) return false;
  const std::string_view end = text.substr(text.size() - tail.size());
  return std::equal(
      end.begin(), end.end(), tail.begin(), tail.end(),
      [](char x, char y) { return FoldAsciiByte(x) == FoldAsciiByte(y); });
}

// The type of what a path names, following links; file_type::none when it
// cannot be determined for another reason than its absence. A file used as
// a folder on the way is such a reason: "file/" is not a missing folder.
fs::file_type TypeOf(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error && error != std::errc::no_such_file_or_directory) {
    return fs::file_type::none;
  }
  return status.type();
}

#ifdef _WIN32

// One search of the Windows file search API, closed when the object goes.
class FileSearch {
 public:
  explicit FileSearch(const fs::path& pattern)
      : handle_(FindFirstFileW(pattern.c_str(), &entry_)),
        start_error_(handle_ == INVALID_HANDLE_VALUE ? GetLastError()
                                                     : ERROR_SUCCESS) {}
  ~FileSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FileSearch(const FileSearch&) = delete;
  FileSearch& operator=(const FileSearch&) = delete;

  // Finding nothing is a search that starts without an entry; any other
  // failure to start is a folder that cannot be read.
  bool FoundNothing() const { return start_error_ == ERROR_FILE_NOT_FOUND; }
  bool Started() const { return handle_ != INVALID_HANDLE_VALUE; }

  const WIN32_FIND_DATAW& Entry() const { return entry_; }

  // Moves to the next entry; false at the end and on a fault.
  bool Next() {
    if (FindNextFileW(handle_, &entry_)) return true;
    failed_ = GetLastError() != ERROR_NO_MORE_FILES;
    return false;
  }
  bool Failed() const { return failed_; }

 private:
  WIN32_FIND_DATAW entry_{};
  HANDLE handle_;
  DWORD start_error_;
  bool failed_ = false;
};

// Calls `take` for every entry that a search on `pattern` returns. False
// when the search fails to start for another reason than finding nothing,
// or stops on a fault.
template <typename Take>
bool ForEachFound(const fs::path& pattern, Take take) {
  FileSearch search(pattern);
  if (!search.Started()) return search.FoundNothing();
  do {
    take(search.Entry());
  } while (search.Next());
  return !search.Failed();
}

std::string NameOf(const WIN32_FIND_DATAW& entry) {
  return PathToUtf8(fs::path(entry.cFileName));
}

// The tester packages take a file only when its attribute set is exactly
// one of these: archive, archive and read-only, normal, not
// content-indexed. Folders, hidden and system files, links, temporary and
// compressed files and every other combination are left alone.
constexpr DWORD kTakenAttributeSets[] = {
    FILE_ATTRIBUTE_ARCHIVE,
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY,
    FILE_ATTRIBUTE_NORMAL,
    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
};

bool HasTakenAttributeSet(const WIN32_FIND_DATAW& entry) {
  return std::find(std::begin(kTakenAttributeSets),
                   std::end(kTakenAttributeSets),
                   entry.dwFileAttributes) != std::end(kTakenAttributeSets);
}

// Links to folders (junctions, symbolic links) are not followed.
bool IsFolderOfItsOwn(const WIN32_FIND_DATAW& entry) {
  const DWORD attributes = entry.dwFileAttributes;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool IsDotEntry(const WIN32_FIND_DATAW& entry) {
  const std::wstring_view name = entry.cFileName;
  return name == L"." || name == L"..";
}

bool CollectSubfolderNames(const fs::path& folder,
                           std::vector<std::string>& names) {
  return ForEachFound(folder / L"*", [&](const WIN32_FIND_DATAW& entry) {
    if (IsFolderOfItsOwn(entry) && !IsDotEntry(entry)) {
      names.push_back(NameOf(entry));
    }
  });
}

// The search also matches a name whose short 8.3 form has the extension
// ("c.lvdx" is "C~1.LVD"), so the long name is checked again.
bool CollectFileNames(const fs::path& folder, std::string_view extension,
                      std::vector<std::string>& names) {
  const fs::path pattern = folder / PathFromUtf8("*" + std::string(extension));
  return ForEachFound(pattern, [&](const WIN32_FIND_DATAW& entry) {
    if (!HasTakenAttributeSet(entry)) return;
    std::string name = NameOf(entry);
    if (name.size() > extension.size() &&
        EndsWithIgnoringAsciiCase(name, extension)) {
      names.push_back(std::move(name));
    }
  });
}

#else  // !_WIN32

// POSIX hides a name by its leading dot; Windows marks hidden files by
// attribute instead, which belongs to its own enumeration.
bool IsHiddenName(std::string_view name) {
  return !name.empty() && name.front() == '.';
}

enum class EntryKind {
  kFolder,      // a folder of its own, not a link to one
  kFile,        // a regular file or a link to one
  kOther,       // anything else, including links that lead nowhere
  kUnreadable,  // its type could not be determined
};

// An entry that vanished since the folder was read is simply not there; any
// other failure means the folder's content cannot be told.
EntryKind KindOnError(int error) {
  return error == ENOENT ? EntryKind::kOther : EntryKind::kUnreadable;
}

EntryKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryKind::kFolder;
  if (S_ISREG(mode)) return EntryKind::kFile;
  return EntryKind::kOther;
}

// Uses the type the folder reading delivered where the file system gives
// one, and otherwise asks within the opened folder, so that an entry whose
// full path is too long to look up is still classified.
EntryKind KindOf(int folder, const dirent& entry) {
  unsigned char type = entry.d_type;
  if (type == DT_UNKNOWN) {
    struct stat info {};
    if (fstatat(folder, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
      return KindOnError(errno);
    }
    if (!S_ISLNK(info.st_mode)) return KindOfMode(info.st_mode);
    type = DT_LNK;
  }
  if (type == DT_LNK) {
    struct stat target {};
    const bool to_file = fstatat(folder, entry.d_name, &target, 0) == 0 &&
                         S_ISREG(target.st_mode);
    return to_file ? EntryKind::kFile : EntryKind::kOther;
  }
  if (type == DT_DIR) return EntryKind::kFolder;
  if (type == DT_REG) return EntryKind::kFile;
  return EntryKind::kOther;
}

struct FolderCloser {
  void operator()(DIR* folder) const { closedir(folder); }
};

// Calls `take(name, kind)` for every entry of an existing folder but "."
// and "..", where `kind()` classifies the entry only when asked: a large
// folder's names are read straight from the system, without a path object
// or a status call per entry. False when the folder cannot be opened, the
// reading stops on an error or `take` refuses an entry.
template <typename Take>
bool ForEachEntry(const fs::path& folder, Take take) {
  const std::unique_ptr<DIR, FolderCloser> opened(opendir(folder.c_str()));
  if (!opened) return false;
  const int descriptor = dirfd(opened.get());
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(opened.get());
    if (entry == nullptr) return errno == 0;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!take(name, [&] { return KindOf(descriptor, *entry); })) return false;
  }
}

bool CollectSubfolderNames(const fs::path& folder,
                           std::vector<std::string>& names) {
  return ForEachEntry(folder, [&](std::string_view name, auto kind_of) {
    const EntryKind kind = kind_of();
    if (kind == EntryKind::kFolder) names.emplace_back(name);
    return kind != EntryKind::kUnreadable;
  });
}

bool CollectFileNames(const fs::path& folder, std::string_view extension,
                      std::vector<std::string>& names) {
  return ForEachEntry(folder, [&](std::string_view name, auto kind_of) {
    if (name.size() <= extension.size() || IsHiddenName(name) ||
        !EndsWithIgnoringAsciiCase(name, extension)) {
      return true;
    }
    const EntryKind kind = kind_of();
    if (kind == EntryKind::kFile) names.emplace_back(name);
    return kind != EntryKind::kUnreadable;
  });
}

#endif  // _WIN32

// MinGW's file status call fails on a folder path that ends in a separator.
fs::path WithoutTrailingSeparator(fs::path path) {
  if (!path.has_filename() && path.has_relative_path()) {
    path = path.parent_path();
  }
  return path;
}

// The path without a trailing separator, made absolute and normal with
// links resolved where the path exists; empty when that fails.
fs::path ComparablePath(std::string_view text) {
  if (text.empty()) return {};
  std::error_code error;
  fs::path path = fs::weakly_canonical(PathFromUtf8(text), error);
  if (error) {
    path = fs::absolute(PathFromUtf8(text), error);
    if (error) return {};
  }
  path = path.lexically_normal();
  if (!path.has_filename() && path != path.root_path()) {
    path = path.parent_path();
  }
  return path;
}

}  // namespace

bool NameOrderLess(std::string_view a, std::string_view b) {
  const int folded = CompareFolded(a, b);
  if (folded != 0) return folded < 0;
  // Equal apart from letter case: exact bytes decide, so that the order is
  // total and stable whatever order the file system returns.
  return a < b;
}

std::optional<std::vector<std::string>> ListSubfolders(
    std::string_view folder) {
  const fs::path path = PathFromUtf8(folder);
  if (TypeOf(path) != fs::file_type::directory) return std::nullopt;
  std::vector<std::string> names;
  if (!CollectSubfolderNames(path, names)) return std::nullopt;
  std::sort(names.begin(), names.end(), NameOrderLess);
  return names;
}

std::optional<std::vector<FoundFile>> ListFilesWithExtension(
    std::string_view folder, std::string_view extension) {
  const fs::path path = PathFromUtf8(folder);
  const fs::file_type type = TypeOf(path);
  if (type == fs::file_type::not_found) return std::vector<FoundFile>{};
  if (type != fs::file_type::directory) return std::nullopt;

  std::vector<std::string> names;
  if (!CollectFileNames(path, extension, names)) return std::nullopt;
  // FAT and network drives return names in no particular order.
  std::sort(names.begin(), names.end(), NameOrderLess);

  std::vector<FoundFile> files;
  files.reserve(names.size());
  for (std::string& name : names) {
    const std::size_t stem_length = name.size() - extension.size();
    std::string spelled_extension = name.substr(stem_length);
    name.resize(stem_length);
    files.push_back({std::move(name), std::move(spelled_extension)});
  }
  return files;
}

bool PathExists(std::string_view path) {
  const fs::file_type type = TypeOf(PathFromUtf8(path));
  return type != fs::file_type::not_found && type != fs::file_type::none;
}

bool FolderExists(std::string_view path) {
  return TypeOf(PathFromUtf8(path)) == fs::file_type::directory;
}

FolderCreateError FolderCreateErrorOf(std::error_code error) {
  if (!error) return FolderCreateError::kNone;
#ifdef _WIN32
  // MinGW's library maps only some Windows codes to portable conditions.
  if (error.category() == std::system_category()) {
    switch (error.value()) {
      case ERROR_WRITE_PROTECT:
        return FolderCreateError::kReadOnlyFileSystem;
      case ERROR_ACCESS_DENIED:
      case ERROR_NETWORK_ACCESS_DENIED:
        return FolderCreateError::kPermissionDenied;
      case ERROR_ALREADY_EXISTS:
      case ERROR_FILE_EXISTS:
        return FolderCreateError::kFileInTheWay;
      case ERROR_PATH_NOT_FOUND:
      case ERROR_BAD_NETPATH:
      case ERROR_BAD_NET_NAME:
        return FolderCreateError::kNoParent;
      case ERROR_FILENAME_EXCED_RANGE:
        return FolderCreateError::kPathTooLong;
      default:
        return FolderCreateError::kOther;
    }
  }
#endif
  if (error == std::errc::read_only_file_system) {
    return FolderCreateError::kReadOnlyFileSystem;
  }
  if (error == std::errc::permission_denied ||
      error == std::errc::operation_not_permitted) {
    return FolderCreateError::kPermissionDenied;
  }
  if (error == std::errc::file_exists || error == std::errc::not_a_directory) {
    return FolderCreateError::kFileInTheWay;
  }
  if (error == std::errc::no_such_file_or_directory) {
    return FolderCreateError::kNoParent;
  }
  if (error == std::errc::filename_too_long) {
    return FolderCreateError::kPathTooLong;
  }
  return FolderCreateError::kOther;
}

const char* FolderCreateErrorText(FolderCreateError error) {
  switch (error) {
    case FolderCreateError::kNone:
      return "no error";
    case FolderCreateError::kReadOnlyFileSystem:
      return "the file system is read-only";
    case FolderCreateError::kPermissionDenied:
      return "permission denied";
    case FolderCreateError::kFileInTheWay:
      return "a file has that name";
    case FolderCreateError::kNoParent:
      return "the folder above it does not exist";
    case FolderCreateError::kPathTooLong:
      return "the path is too long";
    case FolderCreateError::kOther:
      break;
  }
  return "the system refused to create it";
}

FolderCreateError CreateFolder(std::string_view path) {
  std::error_code error;
  fs::create_directory(PathFromUtf8(path), error);
  if (FolderExists(path)) return FolderCreateError::kNone;
  // A name taken by a file is no error to create_directory.
  if (!error) return FolderCreateError::kFileInTheWay;
  return FolderCreateErrorOf(error);
}

#ifdef _WIN32
std::optional<FileIdentity> IdentityOf(std::string_view path) {
  // Backup semantics let a folder be opened at all; no access right is
  // needed to ask for its identity.
  const HANDLE file =
      CreateFileW(PathFromUtf8(path).c_str(), 0,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!known) return std::nullopt;
  return FileIdentity{
      info.dwVolumeSerialNumber,
      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}
#else
std::optional<FileIdentity> IdentityOf(std::string_view path) {
  struct stat info {};
  if (stat(std::string(path).c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}
#endif

bool IsSameFolder(std::string_view a, std::string_view b) {
  if (!FolderExists(a) || !FolderExists(b)) return false;
  std::error_code error;
  const bool same =
      fs::equivalent(WithoutTrailingSeparator(PathFromUtf8(a)),
                     WithoutTrailingSeparator(PathFromUtf8(b)), error);
  return same && !error;
}

bool IsInsideFolder(std::string_view inner, std::string_view outer) {
  const fs::path inner_path = ComparablePath(inner);
  const fs::path outer_path = ComparablePath(outer);
  if (inner_path.empty() || outer_path.empty()) return false;
  // Component by component, so that "/a/bc" is not taken to lie in "/a/b".
  const auto mismatch = std::mismatch(outer_path.begin(), outer_path.end(),
                                      inner_path.begin(), inner_path.end());
  return mismatch.first == outer_path.end();
}

}  // namespace cordshift
