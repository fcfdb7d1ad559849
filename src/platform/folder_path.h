#ifndef CORDSHIFT_PLATFORM_FOLDER_PATH_H_
#define CORDSHIFT_PLATFORM_FOLDER_PATH_H_

// Folder paths kept as texts (settings, labels, folder lists) always end in
// the native separator, so that a file path is the folder followed by a name.

#include <string>
#include <string_view>

namespace cordshift {

#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr char kFolderSeparator = '/';
#endif

inline bool EndsWithSeparator(std::string_view folder) {
  return !folder.empty() && folder.back() == kFolderSeparator;
}

// The folder with the native separator appended when it does not end in one.
inline std::string WithTrailingSeparator(std::string folder) {
  if (!EndsWithSeparator(folder)) folder.push_back(kFolderSeparator);
  return folder;
}

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_FOLDER_PATH_H_
