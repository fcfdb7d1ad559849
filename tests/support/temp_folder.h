#ifndef CORDSHIFT_TESTS_SUPPORT_TEMP_FOLDER_H_
#define CORDSHIFT_TESTS_SUPPORT_TEMP_FOLDER_H_

// A fresh folder under the system's temporary folder, removed with
// everything in it when the test ends.

#include <unistd.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/folder_path.h"

namespace cordshift::testing {

class TempFolder {
 public:
  // Process ids are reused quickly (under Wine especially), so the time
  // goes into the name as well.
  TempFolder() {
    static std::atomic<int> counter{0};
    const auto stamp =
        std::chrono::system_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("cordshift-test-" + std::to_string(::getpid()) + "-" +
             std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // `name` is UTF-8, as every text of the program is.
  std::filesystem::path operator/(std::string_view name) const {
    return path_ /
           std::filesystem::path(std::u8string(name.begin(), name.end()));
  }

 private:
#ifdef _WIN32
  // The C runtime's status call under std::filesystem refuses paths longer
  // than MAX_PATH, and some tests build deeper trees than that, so the tree
  // goes with the system's calls on the path's "\\?\" form.
  static void RemoveTree(const std::filesystem::path& folder) {
    RemoveFolder(L"\\\\?\\" + folder.native());
  }
  static void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        // Tests may leave read-only files.
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
          RemoveFolder(path);
        } else {
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(search, &entry));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }
#else
  static void RemoveTree(const std::filesystem::path& folder) {
    std::error_code ignored;
    // Tests may leave read-only files; make them removable first.
    for (auto it =
             std::filesystem::recursive_directory_iterator(folder, ignored);
         it != std::filesystem::recursive_directory_iterator();
         it.increment(ignored)) {
      std::filesystem::permissions(it->path(),
                                   std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(folder, ignored);
  }
#endif

  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file,
                       std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

// A path as the program spells paths: UTF-8 with the native separators,
// so that "/" in a test's relative path becomes a backslash on Windows.
inline std::string PathText(std::filesystem::path path) {
  path.make_preferred();
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

// A relative path written with "/" in the native separators.
inline std::string NativeSeparators(std::string relative) {
  std::replace(relative.begin(), relative.end(), '/', kFolderSeparator);
  return relative;
}

// Hides a file whose name begins with ".": POSIX hides such a name by
// itself, Windows by the hidden attribute.
inline void MakeHidden([[maybe_unused]] const std::filesystem::path& file) {
#ifdef _WIN32
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
}

// Marks a file read-only: no write bits on POSIX, the read-only attribute
// on Windows.
inline void MakeReadOnly(const std::filesystem::path& file) {
  using std::filesystem::perms;
  std::filesystem::permissions(
      file, perms::owner_write | perms::group_write | perms::others_write,
      std::filesystem::perm_options::remove);
}

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_SUPPORT_TEMP_FOLDER_H_
