#ifndef CORDSHIFT_PLATFORM_TEXT_FILE_H_
#define CORDSHIFT_PLATFORM_TEXT_FILE_H_

// Whole-file reading, line splitting by the wiring files' rule, and atomic
// replacement of a file. Paths are UTF-8 texts.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace cordshift {

// The path for a UTF-8 path text (the file-system boundary).
std::filesystem::path PathFromUtf8(std::string_view utf8);
// The UTF-8 text of a path.
std::string PathToUtf8(const std::filesystem::path& path);

// The whole content of a regular file; no value when it cannot be opened or
// read, or is no regular file (a pipe or device would block or never end).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Walks the lines of a text: CR LF or a lone CR ends a line, a lone LF stays
// inside the line. A last line without a line end counts; a text that ends
// with a line end has no empty line after it. Yields views into the text,
// without allocating.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}

  // The next line, or no value at the end of the text.
  std::optional<std::string_view> Next();
  bool AtEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

// True when the file exists and is marked read-only (no write permission bit
// for anyone on POSIX, the read-only attribute on Windows). Checked by the
// program itself, so that it holds even for a superuser.
bool IsReadOnlyFile(const std::filesystem::path& path);

// Why an atomic write failed; kNone on success.
enum class WriteError {
  kNone,
  kReadOnlyTarget,   // the target exists and is read-only
  kTargetIsFolder,   // the target is a folder
  kNoFolder,         // the folder of the target does not exist
  kCreateFailed,     // the temporary file could not be created
  kWriteFailed,      // writing or flushing the temporary file failed
  kReplaceFailed,    // renaming the temporary file over the target failed
};

// Prefix of the temporary files that atomic writes create beside their
// target; a file with this prefix is never a user's file.
inline constexpr std::string_view kTempFilePrefix = ".cordshift-tmp-";

// Writes `content` to a temporary file in the target's folder and renames it
// over the target once it is complete and flushed. On failure no temporary
// file remains and an existing target is untouched.
WriteError WriteFileAtomically(const std::filesystem::path& target,
                               std::string_view content);

// The process id in the name of a temporary file of an atomic write:
// kTempFilePrefix, the target's name (cut to 64 bytes), ".", the writer's
// process id, ".", the attempt number. No value for any other name.
std::optional<unsigned long> TempFileOwner(std::string_view file_name);

// Removes the temporary files that atomic writes of processes no longer
// running have left in `folder` (a run killed between creating a temporary
// file and renaming it). Only regular files whose whole name is a temporary
// file's name are looked at; those of a running process, this one included,
// stay. Returns how many were removed; failures are passed over.
int RemoveStaleTempFiles(const std::filesystem::path& folder);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_TEXT_FILE_H_
