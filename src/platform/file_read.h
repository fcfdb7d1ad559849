#ifndef CORDSHIFT_PLATFORM_FILE_READ_H_
#define CORDSHIFT_PLATFORM_FILE_READ_H_

// Whole-file reading, by path or within an opened folder.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/opened_folder.h"

namespace cordshift {

// Why a file could not be read whole.
enum class ReadError {
  kNone,
  kMissing,     // no file of that name
  kNotAFile,    // a folder, device or pipe has that name
  kCannotRead,  // opening or reading failed
  kTooLarge,    // larger than the caller's limit, or than memory allows
};

struct FileRead {
  std::string content;
  ReadError error = ReadError::kNone;
  std::uint64_t size = 0;  // the size found, also when it was too large

  bool ok() const { return error == ReadError::kNone; }
};

// The whole content of a regular file of at most `max_size` bytes. Pipes and
// devices are not read: they would block or never end.
FileRead ReadFileUpTo(const std::filesystem::path& path,
                      std::uint64_t max_size);

// As ReadFileUpTo, for file `name` of an opened folder.
FileRead ReadFileUpTo(OpenedFolder& folder, const std::filesystem::path& name,
                      std::uint64_t max_size);

// The whole content of a regular file; no value when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_FILE_READ_H_
