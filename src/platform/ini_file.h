#ifndef CORDSHIFT_PLATFORM_INI_FILE_H_
#define CORDSHIFT_PLATFORM_INI_FILE_H_

// INI files read and written the way the Windows profile API does for
// GetPrivateProfileStringA and WritePrivateProfileStringA, on code page 932
// bytes. The tester packages read and write the same files, so every byte
// that a write does not have to change stays as it was.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_file.h"

namespace cordshift {

// How the bytes of an INI text are walked. Code page 932 is the tester
// family's; UTF-8 serves settings that code page 932 cannot hold.
enum class IniEncoding { kCp932, kUtf8 };

// The value of `key` in the first section named `section` of an INI text;
// no value when the section or key is missing. Names are compared without
// regard to the case of single-byte letters; surrounding blanks are removed
// and one pair of matching quotes is taken off. The value is returned whole.
std::optional<std::string> FindIniValue(
    std::string_view content, std::string_view section, std::string_view key,
    IniEncoding encoding = IniEncoding::kCp932);

// The INI text with `key`=`value` set in `section`, changing as few bytes as
// possible (see the write rules of WriteIniFileValue). `value` is in the
// text's encoding.
std::string SetIniValue(std::string_view content, std::string_view section,
                        std::string_view key, std::string_view value,
                        IniEncoding encoding = IniEncoding::kCp932);

// The largest INI file that is read: settings and comment files are a few
// hundred bytes, and a larger file is taken as unreadable rather than read
// into memory whole.
inline constexpr std::uint64_t kMaxIniFileSize = std::uint64_t{16} << 20;

// A value looked up in an INI file, and whether the file could be read.
struct IniFileLookup {
  ReadError error = ReadError::kNone;  // the file's; kNone when it was read
  std::optional<std::string> value;    // no value when the key is missing
};

IniFileLookup LookUpIniFileValue(const std::filesystem::path& file,
                                 std::string_view section,
                                 std::string_view key);

// Reads a value from an INI file; no value when the file cannot be read or
// the section or key is missing.
std::optional<std::string> ReadIniFileValue(const std::filesystem::path& file,
                                            std::string_view section,
                                            std::string_view key);

// Writes a value into an INI file as one atomic replacement of the file,
// creating the file when it does not exist (its folder must exist). False
// when the file cannot be read or written; the file then stays as it was.
bool WriteIniFileValue(const std::filesystem::path& file,
                       std::string_view section, std::string_view key,
                       std::string_view value);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_INI_FILE_H_
