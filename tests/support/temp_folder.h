#ifndef CORDSHIFT_TESTS_SUPPORT_TEMP_FOLDER_H_
#define CORDSHIFT_TESTS_SUPPORT_TEMP_FOLDER_H_

// A fresh folder under the system's temporary folder, removed with
// everything in it when the test ends.

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace cordshift::testing {

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("cordshift-test-" + std::to_string(::getpid()) + "-" +
             std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    // Tests may leave read-only files; make them removable first.
    for (auto it =
             std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator();
         it.increment(ignored)) {
      std::filesystem::permissions(it->path(),
                                   std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const {
    return path_ / name;
  }

 private:
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

inline void MakeReadOnly(const std::filesystem::path& file) {
  using std::filesystem::perms;
  std::filesystem::permissions(
      file, perms::owner_write | perms::group_write | perms::others_write,
      std::filesystem::perm_options::remove);
}

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_SUPPORT_TEMP_FOLDER_H_
