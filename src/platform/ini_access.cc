#include "platform/ini_access.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/ini_file.h"

namespace cordshift {
namespace {

std::optional<std::string> AsProfileValue(std::optional<std::string> value) {
  if (!value) return value;
  // The tester family's reader hands the value over as a NUL-terminated
  // text, so nothing after a NUL byte is part of it; a path that went on
  // past one would name another file than the text shows.
  value->resize(std::min(value->size(), value->find('\0')));
  if (*value == kMissingIniValue) return std::nullopt;
  return value;
}

}  // namespace

IniFileLookup LookUpIniValue(const std::filesystem::path& file,
                             std::string_view section, std::string_view key) {
  IniFileLookup lookup = LookUpIniFileValue(file, section, key);
  lookup.value = AsProfileValue(std::move(lookup.value));
  return lookup;
}

std::optional<std::string> FindProfileValue(std::string_view content,
                                            std::string_view section,
                                            std::string_view key,
                                            IniEncoding encoding) {
  return AsProfileValue(FindIniValue(content, section, key, encoding));
}

std::optional<std::string> ReadIniValue(const std::filesystem::path& ini_path,
                                        std::string_view section,
                                        std::string_view key) {
  return LookUpIniValue(ini_path, section, key).value;
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
