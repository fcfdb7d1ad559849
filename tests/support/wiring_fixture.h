#ifndef CORDSHIFT_TESTS_SUPPORT_WIRING_FIXTURE_H_
#define CORDSHIFT_TESTS_SUPPORT_WIRING_FIXTURE_H_

// Helpers for tests that summarise and convert folders of wiring files.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/folder_path.h"
#include "support/temp_folder.h"
#include "wiring/wiring_file_list.h"

namespace cordshift::testing {

// The .lvd files of a folder in name order, as the folder listing gives them.
inline WiringFileList ListFolder(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == ".lvd") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  WiringFileList list;
  for (const auto& file : files) {
    list.push_back({PathText(file.stem()),
                    WithTrailingSeparator(PathText(folder)),
                    ".lvd",
                    {}});
  }
  return list;
}

// One field of every file of a list, to compare a list at a glance.
template <typename Field>
auto EachFile(const WiringFileList& files, Field field) {
  std::vector<std::decay_t<decltype(field(files.front()))>> values;
  for (const WiringFile& file : files) values.push_back(field(file));
  return values;
}
inline std::vector<std::string> Names(const WiringFileList& files) {
  return EachFile(files, [](const WiringFile& file) { return file.name; });
}
inline std::vector<std::int32_t> Circuits(const WiringFileList& files) {
  return EachFile(files,
                  [](const WiringFile& file) { return file.summary.circuits; });
}

// Every file below a folder with its bytes, keyed by relative path (with
// the native separators).
inline std::map<std::string, std::string> Snapshot(
    const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[PathText(std::filesystem::relative(entry.path(), folder))] =
          ReadBytes(entry.path());
    }
  }
  return files;
}

// Copies a folder of test data into a temporary folder.
inline std::filesystem::path CopyTestData(const TempFolder& temp,
                                          const std::string& name) {
  const std::filesystem::path target = temp / name;
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy(std::filesystem::path(CORDSHIFT_TEST_DATA_DIR) / name,
                        target, std::filesystem::copy_options::recursive);
  return target;
}

// A wiring file from its lines, each ended with CR LF.
inline void WriteLines(const std::filesystem::path& file,
                       const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  WriteBytes(file, bytes);
}

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_SUPPORT_WIRING_FIXTURE_H_
