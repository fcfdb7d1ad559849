#ifndef CORDSHIFT_PLATFORM_FILE_PATH_H_
#define CORDSHIFT_PLATFORM_FILE_PATH_H_

// Paths are kept as UTF-8 texts everywhere but at the file-system boundary.

#include <filesystem>
#include <string>
#include <string_view>

namespace cordshift {

// The path for a UTF-8 path text (the file-system boundary).
std::filesystem::path PathFromUtf8(std::string_view utf8);
// The UTF-8 text of a path.
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_FILE_PATH_H_
