#ifndef CORDSHIFT_PLATFORM_TEMP_FILES_H_
#define CORDSHIFT_PLATFORM_TEMP_FILES_H_

// The temporary files of atomic writes: their names, which tell the writer,
// and the removal of those that a run killed midway left behind.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace cordshift {

// Prefix of the temporary files that atomic writes create beside their
// target; a file with this prefix is never a user's file.
inline constexpr std::string_view kTempFilePrefix = ".cordshift-tmp-";

// The writer named in a temporary file of an atomic write.
struct TempFileOwnerId {
  std::string host;  // the writer's host name, as kept in the name
  unsigned long pid = 0;

  bool operator==(const TempFileOwnerId&) const = default;
};

// This machine's host name as temporary file names hold it: letters, digits
// and "-" only, at most 32 of them ("host" when the name is unknown).
const std::string& ThisHostName();

// The writer of a temporary file of an atomic write, from its name:
// kTempFilePrefix, the target's name (cut to 64 bytes), ".", the writer's
// host name, ".", its process id, ".", the attempt number. No value for any
// other name.
std::optional<TempFileOwnerId> TempFileOwner(std::string_view file_name);

// How old another machine's temporary file must be before it counts as
// left over: its writer cannot be asked whether it still runs.
inline constexpr std::chrono::hours kForeignTempFileAge{24};

// Removes the temporary files that atomic writes of processes no longer
// running have left in `folder` (a run killed between creating a temporary
// file and putting it in place). Only regular files whose whole name is a
// temporary file's name are looked at. Those of this machine go when their
// process no longer runs; those of another machine (a shared network
// folder) only when unchanged for kForeignTempFileAge. Returns how many were
// removed; failures are passed over.
int RemoveStaleTempFiles(const std::filesystem::path& folder);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_TEMP_FILES_H_
