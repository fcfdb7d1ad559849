#ifndef CORDSHIFT_PLATFORM_INI_ACCESS_H_
#define CORDSHIFT_PLATFORM_INI_ACCESS_H_

// Single values of INI files: the settings file and the companion comment
// files of wiring data. Values are code page 932 bytes as stored.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace cordshift {

// The stored text that the tester family's INI reader uses as the "missing"
// marker: a key whose value is literally this reads as missing.
inline constexpr std::string_view kMissingIniValue = "ERR";

// The value of `key` in `section` of `ini_path`, up to its first NUL byte;
// no value when the file, section or key is missing or the value is "ERR".
// A key present with an empty value gives an empty text.
std::optional<std::string> ReadIniValue(const std::filesystem::path& ini_path,
                                        std::string_view section,
                                        std::string_view key);

// As ReadIniValue, on the text of an INI file already read, so that a caller
// that reads several values reads the file once.
std::optional<std::string> FindProfileValue(
    std::string_view content, std::string_view section, std::string_view key,
    IniEncoding encoding = IniEncoding::kCp932);

// As ReadIniValue, for a file named by the caller (a companion comment
// file); any failure inside gives no value.
std::optional<std::string> ReadIniValueFrom(const std::filesystem::path& file,
                                            std::string_view section,
                                            std::string_view key);

// As ReadIniValueFrom, telling a file that cannot be read (or is larger
// than kMaxIniFileSize) from a missing key.
IniFileLookup LookUpIniValue(const std::filesystem::path& file,
                             std::string_view section, std::string_view key);

// Writes `key`=`value` into `section` of `file`, creating the file, section
// or key when missing; the file is replaced atomically. False on any
// failure, and the file then stays as it was.
bool WriteIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_INI_ACCESS_H_
