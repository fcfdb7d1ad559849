#include "platform/ini_access.h"

#include <exception>

#include "platform/ini_file.h"

namespace cordshift {

std::optional<std::string> ReadIniValue(const std::filesystem::path& ini_path,
                                        std::string_view section,
                                        std::string_view key) {
  std::optional<std::string> value = ReadIniFileValue(ini_path, section, key);
  if (value && *value == kMissingIniValue) return std::nullopt;
  return value;
}

std::optional<std::string> ReadIniValueFrom(const std::filesystem::path& file,
                                            std::string_view section,
                                            std::string_view key) {
  try {
    return ReadIniValue(file, section, key);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool WriteIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value) {
  try {
    return WriteIniFileValue(file, section, key, value);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace cordshift
