#ifndef CORDSHIFT_TESTS_PLATFORM_FOLDER_LISTING_H_
#define CORDSHIFT_TESTS_PLATFORM_FOLDER_LISTING_H_

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace cordshift::testing {

// Names of the entries of a folder, to check that nothing was left behind.
inline std::vector<std::string> FolderEntries(
    const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(PathText(entry.path().filename()));
  }
  return names;
}

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_PLATFORM_FOLDER_LISTING_H_
