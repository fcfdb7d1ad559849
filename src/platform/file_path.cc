#include "platform/file_path.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace cordshift {
namespace fs = std::filesystem;

fs::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
  return fs::path(std::u8string_view(
      reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
#else
  return fs::path(std::string(utf8));
#endif
}

std::string PathToUtf8(const fs::path& path) {
#ifdef _WIN32
  const std::u8string utf8 = path.u8string();
  return std::string(reinterpret_cast<const char*>(utf8.data()), utf8.size());
#else
  return path.native();
#endif
}

}  // namespace cordshift
