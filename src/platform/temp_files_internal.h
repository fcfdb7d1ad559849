#ifndef CORDSHIFT_PLATFORM_TEMP_FILES_INTERNAL_H_
#define CORDSHIFT_PLATFORM_TEMP_FILES_INTERNAL_H_

// Private to src/platform: the making and sweeping of temporary files, for
// staged writes and opened folders.

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/file_system_calls.h"
#include "platform/opened_folder.h"

namespace cordshift::platform_internal {

// How many names a temporary file tries before giving up: another name is
// only needed when a file of an earlier attempt is still there.
inline constexpr int kMaxTempNameAttempts = 100;

// The name of a temporary file beside `target` at attempt `attempt`, in the
// form that TempFileOwner reads.
std::filesystem::path TempFileName(const std::filesystem::path& target,
                                   int attempt);

// Creates the temporary file beside the target under the first free name;
// `spot` is its place then.
FileHandle CreateTempFile(const FileSpot& target, FileSpot& spot);

struct TempFileSweep {
  int removed = 0;
  // The name of every entry; none when the folder could not be looked
  // through to its end.
  std::optional<std::vector<std::filesystem::path::string_type>> names;
};

// As RemoveStaleTempFiles, also noting the names the folder holds.
TempFileSweep SweepStaleTempFiles(const std::filesystem::path& folder);

}  // namespace cordshift::platform_internal

#endif  // CORDSHIFT_PLATFORM_TEMP_FILES_INTERNAL_H_
